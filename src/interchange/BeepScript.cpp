#include "interchange/BeepScript.h"

namespace tq {

namespace {

// Tones per row of a beep command, so a line that trills stays readable.
constexpr int kTonesPerRow = 6;
// A pause this short after a line's last tone is the wait after that tone rather than a
// sleep: starting a process takes about as long (the glide leaves 1 ms between its tones).
constexpr int64_t kShortestSleepMs = 20;

QByteArray Header(const QString& songName) {
    const QByteArray name = NameForComment(songName).toUtf8();
    return "#!/bin/sh\n"
           "# " +
           name +
           ", played on the PC speaker as Tonquill plays it.\n"
           "# Run it with: sh '" +
           name + "." + kBeepScriptSuffix.toUtf8() +
           "'\n"
           "# It needs Linux's beep command and permission to use the PC speaker (see beep's\n"
           "# manual). Its pauses are sleeps of fractions of a second, which Linux's sleep takes.\n"
           "set -e\n"
           "command -v beep >/dev/null || { echo 'This needs the beep command.' >&2; exit 1; }\n";
}

QByteArray Seconds(int64_t ms) {
    return QByteArray::number(ms / 1000) + '.' +
           QByteArray::number(ms % 1000).rightJustified(3, '0');
}

// Writes the commands: each line's tones as one beep, each tone with its wait after it
// (-D), and the pauses outside a line's tones as sleeps.
class ScriptWriter {
public:
    explicit ScriptWriter(QByteArray& out) : out_(out) {}

    void Tone(const ToneStep& step) {
        if (step.line != beepLine_) {
            EndBeep();
            Sleep();
            out_ += "beep";
            beepLine_ = step.line;
        } else {
            EndTone();
            out_ += tonesInBeep_ % kTonesPerRow == 0 ? " \\\n    -n" : " -n";
        }
        out_ += " -f " + QByteArray::number(step.frequency) + " -l " + QByteArray::number(step.ms);
        ++tonesInBeep_;
        toneOpen_ = true;
    }

    void Pause(const ToneStep& step) {
        const bool afterTone = toneOpen_ && sleepMs_ == 0;
        if (step.line == beepLine_ || (afterTone && step.ms < kShortestSleepMs)) {
            waitAfterTone_ += step.ms;
        } else {
            sleepMs_ += step.ms;
        }
    }

    void Finish() {
        EndBeep();
        Sleep();
    }

private:
    void EndTone() {
        if (toneOpen_) {
            out_ += " -D " + QByteArray::number(waitAfterTone_);
        }
        toneOpen_ = false;
        waitAfterTone_ = 0;
    }
    void EndBeep() {
        EndTone();
        if (beepLine_ >= 0) {
            out_ += '\n';
        }
        beepLine_ = -1;
        tonesInBeep_ = 0;
    }
    void Sleep() {
        if (sleepMs_ > 0) {
            out_ += "sleep " + Seconds(sleepMs_) + '\n';
        }
        sleepMs_ = 0;
    }

    QByteArray& out_;
    int beepLine_ = -1;
    int tonesInBeep_ = 0;
    bool toneOpen_ = false;
    int64_t waitAfterTone_ = 0;
    int64_t sleepMs_ = 0;
};

} // namespace

QByteArray BeepScript(const ToneSequence& sequence, const QString& songName) {
    QByteArray out = Header(songName);
    ScriptWriter writer(out);
    for (const ToneStep& step : ToneSteps(sequence)) {
        if (step.frequency > 0) {
            writer.Tone(step);
        } else {
            writer.Pause(step);
        }
    }
    writer.Finish();
    return out;
}

QFileDevice::Permissions ExecutablePermissions(QFileDevice::Permissions permissions) {
    const std::pair<QFileDevice::Permission, QFileDevice::Permission> readToExecute[] = {
        {QFileDevice::ReadOwner, QFileDevice::ExeOwner},
        {QFileDevice::ReadUser, QFileDevice::ExeUser},
        {QFileDevice::ReadGroup, QFileDevice::ExeGroup},
        {QFileDevice::ReadOther, QFileDevice::ExeOther}};
    for (const auto& [read, execute] : readToExecute) {
        if (permissions.testFlag(read)) {
            permissions |= execute;
        }
    }
    return permissions;
}

} // namespace tq
