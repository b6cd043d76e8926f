// CPU of the cycling player while a MIDI file holds ten notes: the MIDI file window shown
// with its grid updating, on the real clock, timers and event loop, the speaker silent
// but timed. Prints the program's user + system time per second of playback.
//
//   cycling_cpu_bench [seconds]     (QT_QPA_PLATFORM=xcb under xvfb-run for a real window)
#include "MidiFileBytes.h"
#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "editor/MainForm.h"
#include "midifile/SmfReader.h"
#include "midiin/MIDIFileForm.h"
#include "midiin/MIDIFileWindow.h"
#include "platform/QtEventPump.h"
#include "platform/QtNamedTimers.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/Speaker.h"
#include "platform/SteadyClock.h"
#include "platform/StreamMessageBoxes.h"
#include "playback/ToneDispatcher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <thread>

namespace {

class SilentSpeaker final : public tq::Speaker {
public:
    QString Name() const override { return QStringLiteral("none"); }
    bool Beep(int32_t, int32_t durationMs) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
        return true;
    }
    void Silence() override {}
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    using namespace tq::smf;
    QByteArray notes;
    for (int n = 0; n < 10; ++n) {
        notes += Ev(0, {0x90, 60 + n, 100});
    }
    // Held for a minute at 120 BPM (480 ticks a beat).
    notes += Ev(480 * 120, {0x80, 60, 0});
    QTemporaryDir dir;
    QFile file(dir.filePath("ten.mid"));
    file.open(QIODevice::WriteOnly);
    file.write(File(1, 480, {Tempo(0, 500000) + EndOfTrack(), notes + EndOfTrack()}));
    file.close();

    tq::SteadyClock clock;
    tq::QtEventPump pump;
    tq::NonLockingSleep sleep(clock, pump);
    SilentSpeaker speaker;
    tq::NullLog log;
    tq::StreamMessageBoxes boxes;
    tq::OutputSwitches switches;
    tq::ToneDispatcher tones(log, boxes, sleep, speaker, switches);
    tq::MainForm form({log, boxes, sleep, tones, switches});
    tq::QtNamedTimers timers;
    tq::ScriptedFileDialogs dialogs;
    tq::SmfReader reader;
    tq::MIDIFileForm midiFile(form, timers, clock, dialogs);
    timers.SetTickHandler([&midiFile](const QString& key) { midiFile.cTmr_Timer(key); });
    midiFile.SetReaderProvider([&reader] { return &reader; });
    tq::MIDIFileWindow window(midiFile);
    midiFile.UseMIDIFileCheck_Click(true);
    if (!midiFile.OpenFile(file.fileName())) {
        return 1;
    }
    midiFile.cmdPlay_Click();
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < seconds * 1000) {
        sleep.MsgWaitObj(100);
    }
    const double cpu = CpuSeconds() - cpuStart;
    std::printf("10 held notes, %d s: CPU %.1f%% of a core; AlternateTime %d ms\n", seconds,
                100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0),
                form.Settings().AlternateTime);
    midiFile.cmdStop_Click();
    return 0;
}
