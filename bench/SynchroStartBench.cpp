// Precision of a synchronized start on the real clock and Qt event loop: 20 waits, each for
// the next-but-one wall-clock second, through the synchronized-play logic and the sequencer
// to a speaker that reads the wall clock when its first tone starts. Reports the error of
// that instant against the second.
//
//   synchro_start_bench [starts] [--busy] [--no-realtime]
//
// --busy keeps a 1 ms timer running in the event loop during the waits. --no-realtime
// leaves the wait at ordinary scheduling, as where real-time scheduling is not allowed.
#include "CapturingLog.h"
#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "editor/MainForm.h"
#include "mods/SynchroForm.h"
#include "platform/DeviceSpeaker.h"
#include "platform/QtEventPump.h"
#include "platform/QtNamedTimers.h"
#include "platform/RealtimeUrgency.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/SteadyClock.h"
#include "playback/ToneDispatcher.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class WallClockSpeaker final : public tq::Speaker {
public:
    explicit WallClockSpeaker(tq::Clock& clock) : clock_(clock) {}
    QString Name() const override { return QStringLiteral("wall clock"); }
    bool Beep(int32_t frequency, int32_t durationMs) override {
        starts.push_back(clock_.LocalWallClockNs());
        return null_.Beep(frequency, durationMs);
    }
    void Silence() override {}
    std::vector<int64_t> starts;

private:
    tq::Clock& clock_;
    tq::NullSpeaker null_;
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int starts = 20;
    bool busy = false;
    bool realtime = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--busy") == 0) {
            busy = true;
        } else if (std::strcmp(argv[i], "--no-realtime") == 0) {
            realtime = false;
        } else {
            starts = std::max(1, std::atoi(argv[i]));
        }
    }

    tq::SteadyClock clock;
    tq::QtEventPump pump;
    tq::NonLockingSleep sleep(clock, pump);
    tq::ScriptedMessageBoxes boxes;
    tq::CapturingLog log;
    tq::RealtimeUrgency urgency;
    WallClockSpeaker speaker(clock);
    tq::OutputSwitches switches;
    tq::ToneDispatcher tones(log, boxes, sleep, speaker, switches);
    tq::MainForm form({log, boxes, sleep, tones, switches});
    form.State().TickFreq = clock.PerformanceFrequency();
    form.SetBPMText(QStringLiteral("600"));
    form.List().AppendLines({{QStringLiteral("1/16"), QStringLiteral("A4"), {}, {}}});
    form.TheSequencer().SetPassLimit(1);
    tq::QtNamedTimers timers;
    std::vector<int64_t> playCalls; // when the wait hands over to the sequencer
    tq::SynchroForm synchro({clock, sleep, timers, log, [] { return 0; },
                             [&] {
                                 playCalls.push_back(clock.LocalWallClockNs());
                                 form.PlayAllButton_Click();
                             },
                             [&form] { form.PlayFromLineButton_Click(); },
                             realtime ? &urgency : nullptr});
    form.SetSynchroHooks({nullptr, [&synchro] { synchro.ReenableWaitButton(); },
                          [&synchro] { synchro.AfterPlayButtons(); }});
    QTimer busyTimer;
    busyTimer.setTimerType(Qt::PreciseTimer);
    if (busy) {
        QObject::connect(&busyTimer, &QTimer::timeout, [] {});
        busyTimer.start(1);
    }

    std::vector<double> errorsMs;
    std::vector<double> wakeMs;
    for (int i = 0; i < starts; ++i) {
        synchro.ReadCurrentTime();
        const int32_t target =
            (synchro.CurrentHour * 3600 + synchro.CurrentMinute * 60 + synchro.CurrentSecond + 2) %
            86400;
        if (target < 2) {
            break; // no waiting over midnight
        }
        synchro.SetTxtHour(QString::number(target / 3600));
        synchro.SetTxtMinute(QString::number(target / 60 % 60));
        synchro.SetTxtSecond(QString::number(target % 60));
        const size_t before = speaker.starts.size();
        synchro.btnWait_Click();
        if (speaker.starts.size() == before) {
            std::fprintf(stderr, "start %d played nothing\n", i + 1);
            return 1;
        }
        const int64_t ns = speaker.starts[before];
        const int64_t expected = int64_t{target} * 1'000'000'000;
        const int64_t ofDay = ns % (int64_t{86400} * 1'000'000'000);
        errorsMs.push_back(static_cast<double>(ofDay - expected) / 1e6);
        wakeMs.push_back(
            static_cast<double>(playCalls.back() % (int64_t{86400} * 1'000'000'000) - expected) /
            1e6);
        std::printf("start %2d: first tone %+.3f ms (play called at %+.3f ms)\n", i + 1,
                    errorsMs.back(), wakeMs.back());
    }
    const auto report = [](const char* what, const std::vector<double>& errors) {
        std::vector<double> absolute;
        for (double e : errors) {
            absolute.push_back(std::fabs(e));
        }
        const auto withinMs = std::count_if(absolute.begin(), absolute.end(),
                                            [](double e) { return e <= 1.0; });
        std::printf("%zu starts, %s against the second: median %.3f ms, worst %.3f ms "
                    "(|error|), %td within 1 ms, earliest %+.3f ms, latest %+.3f ms\n",
                    errors.size(), what, Percentile(absolute, 0.5), Percentile(absolute, 1.0),
                    withinMs,
                    *std::min_element(errors.begin(), errors.end()),
                    *std::max_element(errors.begin(), errors.end()));
    };
    for (const QString& line : log.lines) {
        if (line.contains(QLatin1String("Synchronized start: ")) &&
            !line.contains(QLatin1String("ordinary"))) {
            std::printf("%s\n", qPrintable(line.trimmed()));
            break;
        }
    }
    report("end of the wait", wakeMs);
    report("first tone", errorsMs);
    return 0;
}
