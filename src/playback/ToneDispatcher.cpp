#include "playback/ToneDispatcher.h"

#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "core/NoteFrequencies.h"
#include "core/NoteLengths.h"
#include "core/Rounding.h"
#include "platform/MessageBoxes.h"
#include "platform/Speaker.h"

#include <algorithm>

namespace tq {

namespace {

QString TrueFalse(bool b) {
    return b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

int32_t FrequencyOfText(const QString& text) {
    return RoundToInt32(LeadingNumber(text));
}

// Boxes that go to the debug log only, for reports already shown once.
class LoggedOnlyBoxes final : public MessageBoxes {
public:
    explicit LoggedOnlyBoxes(LogSink& log) : log_(log) {}
    MsgAnswer Show(const QString& title, const QString& text, MsgButtons, MsgIcon) override {
        QString oneLine = text;
        oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
        log_.LogText(EffectiveTitle(title) + QStringLiteral(" (shown before in this play): ") +
                     oneLine);
        return MsgAnswer::Ok;
    }

private:
    LogSink& log_;
};

} // namespace

void ToneDispatcher::SetSpeaker(Speaker& speaker) {
    speaker_ = &speaker;
    speaker_->SetToneWait(&sleep_);
}

void ToneDispatcher::BeginPlay() {
    if (playDepth_++ == 0) {
        reportedNotes_.clear();
    }
}

void ToneDispatcher::EndPlay() {
    if (playDepth_ > 0) {
        --playDepth_;
    }
}

int ToneDispatcher::NoteNumOf(const QString& noteString) {
    if (playDepth_ > 0 && reportedNotes_.contains(noteString)) {
        LoggedOnlyBoxes quiet(log_);
        return LetterToNoteNum(noteString, quiet);
    }
    const int noteNum = LetterToNoteNum(noteString, boxes_);
    if (noteNum < 0 && playDepth_ > 0) {
        reportedNotes_.insert(noteString);
    }
    return noteNum;
}

QString ToneDispatcher::BeepCodeLine(int32_t frequency, double duration, const QString& noteString,
                                     bool noteIsFrequency) {
    QString line = QStringLiteral("Beep       ") + NumPad(frequency, QLatin1Char(' '), 5) +
                   QStringLiteral(", ") + NumPad(NumText(duration), QLatin1Char(' '), 6) +
                   QStringLiteral("     '") + noteString;
    if (noteIsFrequency) {
        line += QStringLiteral(" Hz [no note]");
    }
    return line;
}

QString ToneDispatcher::WaitCodeLine(double milliseconds) {
    return QStringLiteral("MsgWaitObj        ") +
           NumPad(NumText(milliseconds), QLatin1Char(' '), 6);
}

int ToneDispatcher::MidiNoteOf(const QString& noteString, bool noteIsFrequency) {
    QString midiNoteString = noteString;
    if (noteIsFrequency) {
        const int32_t f = FrequencyOfText(noteString);
        midiNoteString = f == 1000  ? QStringLiteral("B5")
                         : f == 500 ? QStringLiteral("B4")
                                    : QStringLiteral("C3");
    }
    const int noteNum = NoteNumOf(midiNoteString);
    return midi_->NoteToMIDI(noteNum, OctaveOfNoteString(midiNoteString));
}

void ToneDispatcher::UniBeep(QString& noteString, double duration, bool noteIsFrequency,
                             bool specificContinuous, bool specificStop, bool fmodNoWait) {
    log_.LogIndentInc(
        QStringLiteral("UniBeep(NOTESTRING:") + noteString + QStringLiteral(", DURATION:") +
        NumText(duration) + QStringLiteral(", NOTEISFREQUENCY:") + TrueFalse(noteIsFrequency) +
        QStringLiteral(", SPECIFICCONTINUOUS:") + TrueFalse(specificContinuous) +
        QStringLiteral(", SPECIFICSTOP:") + TrueFalse(specificStop) +
        QStringLiteral(", FMODNOWAIT:") + TrueFalse(fmodNoWait) + QStringLiteral(") - START"));
    if (noteString.isEmpty()) {
        log_.LogText(QStringLiteral("NoteString not set - setting to C4"));
        noteString = QStringLiteral("C4");
    }

    bool noteOnSent = false;
    if (switches_.UseMIDIOut && midi_) {
        log_.LogIndentInc(QStringLiteral("UseMIDIOut section 1 START"));
        midi_->MIDINoteOn(MidiNoteOf(noteString, noteIsFrequency));
        noteOnSent = true;
        log_.LogIndentDec(QStringLiteral("UseMIDIOut section 1 END"));
    }

    int32_t frequency = 0;
    int noteNum = 0;
    int octave = 0;
    if (noteIsFrequency) {
        frequency = FrequencyOfText(noteString);
    } else {
        noteNum = NoteNumOf(noteString);
        octave = OctaveOfNoteString(noteString);
        frequency = RoundToInt32(NoteNumToFrequency(noteNum, octave));
    }
    log_.WriteCode(BeepCodeLine(frequency, duration, noteString, noteIsFrequency));

    PlayOnOneOutput(frequency, duration, noteNum, octave, noteIsFrequency, specificContinuous,
                    specificStop, fmodNoWait);

    if (noteOnSent && switches_.UseMIDIOut && midi_) {
        midi_->MIDINoteOff(MidiNoteOf(noteString, noteIsFrequency), -1);
    }
    log_.LogIndentDec(QStringLiteral("UniBeep() - END"));
}

void ToneDispatcher::PlayOnOneOutput(int32_t frequency, double duration, int noteNum, int octave,
                                     bool noteIsFrequency, bool specificContinuous,
                                     bool specificStop, bool fmodNoWait) {
    if (switches_.UseMotor && motor_) {
        motor_->PlayMotorNote(NoteNumToNoteString(noteNum, octave, false, switches_.MotorOctave),
                              duration);
    } else if (switches_.UseFMOD && fmod_) {
        bool noStop = switches_.DoNotShutUpFMOD;
        if (noteIsFrequency || specificStop) {
            noStop = false;
        } else if (specificContinuous) {
            noStop = true;
        }
        fmod_->FMODBeep(frequency, duration, noStop, fmodNoWait);
    } else if (switches_.MutePCSpeaker) {
        log_.LogText(QStringLiteral("MsgWaitObj ") + NumText(duration));
        // A negative time would be taken for the infinite interval; it waits nothing.
        const int32_t ms = std::max(RoundToInt32(duration), 0);
        sleep_.MsgWaitObj(ms);
        log_.WriteCode(WaitCodeLine(ms));
    } else if (switches_.UsePortamento && portamento_) {
        log_.LogText(QStringLiteral("PC Speaker - Piptone Portamento - WantedPitch -> ") +
                     QString::number(frequency));
        portamento_->SetWantedPitch(frequency);
        portamento_->StartSound();
    } else {
        log_.LogText(QStringLiteral("PC Speaker Beep ") + QString::number(frequency) +
                     QStringLiteral(", ") + NumText(duration) + QStringLiteral(" - BEFORE"));
        speaker_->Beep(frequency, RoundToInt32(duration));
        log_.LogText(QStringLiteral("PC Speaker Beep - AFTER"));
        ReportSpeakerFailure();
    }
}

// A speaker whose sound output went away keeps the song's time, silently; the user is told
// once, without the song waiting for the message to be closed.
void ToneDispatcher::ReportSpeakerFailure() {
    const QString why = speaker_->TakeFailure();
    if (why.isEmpty()) {
        return;
    }
    log_.LogText(QStringLiteral("PC speaker output lost: ") + why);
    boxes_.Notify(QStringLiteral("PC speaker"),
                  QStringLiteral("The sound output of the PC speaker stopped working:\r\n") +
                      why +
                      QStringLiteral("\r\n\r\nPlaying goes on silently. Restart Tonquill to "
                                     "hear the speaker again."),
                  MsgIcon::Exclamation);
}

void ToneDispatcher::MutePiptoneClicked(bool ticked) {
    switches_.MutePCSpeaker = ticked;
    log_.LogText(QStringLiteral("MutePiptone clicked - MutePCSpeaker -> ") + TrueFalse(ticked));
}

} // namespace tq
