// Onset accuracy of the sequencer on the real clock and the real Qt event loop: a song of
// 2,000 lines of 1/16 at 600 BPM (25 ms each, ratio 50) played through a speaker that
// records when each tone starts and then sleeps like a device. Reports the error of each
// tone's start against StartTickTime + beats x 60 / BPM, the drift at the end, and the
// CPU time per second of playback.
//
//   onset_accuracy [lines] [--no-update] [--triplets] [--window] [--beat] [--circuit-bent]
//
// --window shows the main window (offscreen) and resizes it every 50 ms during play.
// --beat plays the beat sound on every beat; --circuit-bent runs BendTimer in circuit-bent
// mode, whose bursts of 15 blocking tones of 15 ms fall between the song's lines. Their
// tones (15 ms) are not counted as the song's.
#include "core/NonLockingSleep.h"
#include "core/NoteFrequencies.h"
#include "core/NoteLengths.h"
#include "diag/DebugLog.h"
#include "editor/MainForm.h"
#include "editor/view/MainFormBinding.h"
#include "editor/view/MainWindow.h"
#include "platform/DeviceSpeaker.h"
#include "platform/QtEventPump.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/SteadyClock.h"
#include "playback/ToneDispatcher.h"

#include <QApplication>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class TimestampingSpeaker final : public tq::Speaker {
public:
    explicit TimestampingSpeaker(tq::Clock& clock) : clock_(clock) {}
    QString Name() const override { return QStringLiteral("timestamping"); }
    bool Beep(int32_t frequency, int32_t durationMs) override {
        if (durationMs == 15) {
            ++extraTones; // a beat or circuit-bent tone
        } else {
            starts.push_back(clock_.PerformanceCounter());
        }
        return null_.Beep(frequency, durationMs);
    }
    void Silence() override {}
    std::vector<int64_t> starts;
    int extraTones = 0;

private:
    tq::Clock& clock_;
    tq::NullSpeaker null_;
};

double CpuSeconds() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    int lineCount = 2000;
    bool noUpdate = false;
    bool triplets = false;
    bool withWindow = false;
    bool beat = false;
    bool bent = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0) {
            withWindow = true;
            continue;
        }
        if (std::strcmp(argv[i], "--no-update") == 0) {
            noUpdate = true;
        } else if (std::strcmp(argv[i], "--triplets") == 0) {
            triplets = true;
        } else if (std::strcmp(argv[i], "--beat") == 0) {
            beat = true;
        } else if (std::strcmp(argv[i], "--circuit-bent") == 0) {
            bent = true;
        } else {
            lineCount = std::atoi(argv[i]);
        }
    }

    tq::SteadyClock clock;
    tq::QtEventPump pump;
    tq::NonLockingSleep sleep(clock, pump);
    tq::ScriptedMessageBoxes boxes;
    tq::NullLog log;
    TimestampingSpeaker speaker(clock);
    tq::OutputSwitches switches;
    tq::ToneDispatcher tones(log, boxes, sleep, speaker, switches);
    tq::MainForm form({log, boxes, sleep, tones, switches});
    form.SetBPMText(QStringLiteral("600"));
    form.SetNoteSilenceRatio(50);
    form.SetNoUpdateCheck(noUpdate);
    const char* notes[] = {"C4", "E4", "G4", "C5"};
    std::vector<tq::MusicLine> lines;
    for (int i = 0; i < lineCount; ++i) {
        // Triplet 1/16 lines (8.33 ms) make the display recount the song after each.
        lines.push_back({triplets ? QStringLiteral("1/8") : QStringLiteral("1/16"),
                         QString::fromLatin1(notes[i % 4]),
                         {},
                         triplets ? QStringLiteral("Tri") : QString()});
    }
    form.List().AppendLines(std::move(lines));
    if (beat) {
        form.SetUseBeatCheck(true);
    }
    QTimer bendTimer;
    if (bent) {
        form.SetMIDIToNoteString(
            [](int note) { return tq::NoteNumToLetter(note % 12) + QString::number(note / 12); });
        form.SetUseCircuitBentCheck(true);
        QObject::connect(&bendTimer, &QTimer::timeout, [&form] { form.BendTimer_Timer(); });
        bendTimer.setTimerType(Qt::PreciseTimer);
        bendTimer.start(15);
    }

    std::unique_ptr<tq::MainWindow> window;
    QTimer resizer;
    if (withWindow) {
        window = std::make_unique<tq::MainWindow>();
        new tq::MainFormBinding(form, *window);
        window->resize(1280, 800);
        window->show();
        int step = 0;
        QObject::connect(&resizer, &QTimer::timeout, [&window, &step] {
            ++step;
            window->resize(1280 - (step % 10) * 10, 800 - (step % 7) * 10);
        });
        if (!qEnvironmentVariableIsSet("ONSET_NO_RESIZE")) {
            resizer.start(50);
        }
    }

    // Stop after the last line, before the song starts again.
    int played = 0;
    QObject::connect(&form.List(), &tq::MusicList::SelectionChanged, [&](int line, bool) {
        if (line == lineCount && ++played == 1) {
            QTimer::singleShot(10, [&form] { form.StopPlayButton_Click(); });
        }
    });
    const double cpu0 = CpuSeconds();
    const int64_t wall0 = clock.PerformanceCounter();
    form.PlayAllButton_Click();
    const double wall = static_cast<double>(clock.PerformanceCounter() - wall0) / 1e9;
    const double cpu = CpuSeconds() - cpu0;

    // Each tone is matched to the line whose scheduled start is nearest, so a line that
    // was skipped (its sound end passed before it could start) does not shift the rest.
    const int64_t start = form.State().StartTickTime.Raw() * 100'000; // 0.1 ms -> ns
    const tq::Decimal4 lineBeats =
        tq::LineBeats(triplets ? QStringLiteral("1/8") : QStringLiteral("1/16"),
                      triplets ? QStringLiteral("Tri") : QString());
    auto scheduledNs = [&](int64_t line) {
        const tq::Decimal4 beats = lineBeats * tq::Decimal4::FromInt(line);
        return start +
               (beats * tq::Decimal4::FromInt(60) / tq::Decimal4::FromInt(600)).Raw() * 100'000;
    };
    const double lineNs = lineBeats.ToDouble() * 60.0 / 600.0 * 1e9;
    std::vector<double> errors;
    for (int64_t t : speaker.starts) {
        const auto line =
            static_cast<int64_t>(std::llround(static_cast<double>(t - start) / lineNs));
        if (line < lineCount) {
            errors.push_back(static_cast<double>(t - scheduledNs(line)) / 1e6);
        }
    }
    std::vector<double> absErrors;
    for (double e : errors) {
        absErrors.push_back(std::fabs(e));
    }
    if (withWindow) {
        std::printf("window shown%s; ", resizer.isActive() ? " and resized every 50 ms" : "");
    }
    std::printf("lines %d%s%s, tones %zu (%zu skipped), played %.2f s\n", lineCount,
                triplets ? " (triplets)" : "", noUpdate ? ", display frozen" : ", display on",
                errors.size(), static_cast<size_t>(lineCount) - errors.size(), wall);
    std::printf("onset error (ms): median %.3f  p99 %.3f  worst %.3f  drift at end %.3f\n",
                Percentile(absErrors, 0.5), Percentile(absErrors, 0.99), Percentile(absErrors, 1.0),
                errors.empty() ? 0.0 : errors.back());
    if (beat || bent) {
        std::printf("%s%s: %d tones of 15 ms besides the song's\n", beat ? "beat sound" : "",
                    bent ? (beat ? " and circuit-bent" : "circuit-bent") : "",
                    speaker.extraTones);
    }
    std::printf("cpu: %.2f%% of one core\n", 100.0 * cpu / wall);
    return 0;
}
