// Opening a MIDI file of 65535 tracks in the shown MIDI file window, against parsing and
// decoding the same bytes headless: the window's progress texts must not cost much more
// than the decoding itself. Prints the median of each over the runs.
//
//   midifile_window_decode_bench [runs]   (QT_QPA_PLATFORM=xcb under xvfb-run for a real window)
#include "MidiFileBytes.h"
#include "core/FileGate.h"
#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "editor/MainForm.h"
#include "midifile/SmfReader.h"
#include "midiin/MIDIFileForm.h"
#include "midiin/MidiFileDecoder.h"
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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kTracks = 65535;

class SilentSpeaker final : public tq::Speaker {
public:
    QString Name() const override { return QStringLiteral("none"); }
    bool Beep(int32_t, int32_t) override { return true; }
    void Silence() override {}
};

// Every track holds one short note at its own time, so the merge has work in every track.
QByteArray MakeFile() {
    using namespace tq::smf;
    std::vector<QByteArray> tracks;
    tracks.reserve(kTracks);
    for (int t = 0; t < kTracks; ++t) {
        const int note = 36 + t % 60;
        tracks.push_back(Ev(static_cast<uint32_t>(t % 500), {0x90 | t % 16, note, 100}) +
                         Ev(20, {0x80 | t % 16, note, 0}) + EndOfTrack());
    }
    return File(1, 480, tracks);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QByteArray bytes = MakeFile();
    QTemporaryDir dir;
    QFile file(dir.filePath("many-tracks.mid"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return 1;
    }
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
    midiFile.SetReaderProvider([&reader] { return &reader; });
    tq::MIDIFileWindow window(midiFile);
    midiFile.UseMIDIFileCheck_Click(true);
    window.show();
    QApplication::processEvents();

    std::vector<double> headless;
    std::vector<double> shown;
    int texts = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        tq::SmfReader own;
        QString why;
        if (!own.Parse(tq::ReadWhole(file.fileName(), tq::kMaxMidiFileBytes).bytes, &why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return 1;
        }
        texts = 0;
        const tq::DecodedMidiFile song = tq::DecodeMidiFile(
            own, [&texts](const QString&) { ++texts; }, [&clock] { return clock.TickCount(); });
        headless.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (song.TotalEvents() < 2 * kTracks) {
            std::fprintf(stderr, "events lost\n");
            return 1;
        }

        timer.restart();
        if (!midiFile.OpenFile(file.fileName())) {
            return 1;
        }
        shown.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        QApplication::processEvents();
    }
    const double a = Median(headless);
    const double b = Median(shown);
    std::printf("%d tracks, %lld bytes, %d runs: headless %.1f ms (%d progress texts), "
                "window %.1f ms, ratio %.2f\n",
                kTracks, static_cast<long long>(bytes.size()), runs, a, texts, b, b / a);
    return 0;
}
