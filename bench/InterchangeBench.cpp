// Export and import: a 10,000-note MIDI file imported, a 100,000-line song exported to a
// MIDI file, and a 3-minute song rendered to a WAV file.
#include "FakeSongTarget.h"
#include "MidiFileBytes.h"
#include "core/LogSink.h"
#include "interchange/MidiExport.h"
#include "interchange/MidiImport.h"
#include "interchange/SongWavRenderer.h"
#include "platform/ScriptedMessageBoxes.h"
#include "songfile/SongFormat.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace tq {
namespace {

const char* const kNotes[] = {"C4", "D#5", "", "A#4", "G3", "F5", "C#4"};

// Lines of every kind: plain, dotted and triplet lengths, one note, two notes, silence.
void FillSong(FakeSongTarget& song, int lines) {
    static const char* const kLengths[] = {"Quarter", "1/8", "1/16", "Half", "1/8"};
    static const char* const kMods[] = {"", "", "Dot", "", "Tri", "Tri", "Tri"};
    song.lines.clear();
    song.lines.reserve(size_t(lines));
    for (int i = 0; i < lines; ++i) {
        song.lines.push_back(
            {kLengths[i % 5], kNotes[i % 7], i % 3 ? kNotes[(i / 3) % 7] : "", kMods[i % 7]});
    }
}

// 10,000 notes on four tracks and channels: a melody, a bass, three-note chords; a
// conductor track with a tempo change every 64 beats.
QByteArray TenThousandNoteFile() {
    using namespace smf;
    QByteArray conductor;
    for (int i = 0; i < 40; ++i) {
        conductor += Tempo(i == 0 ? 0 : 64 * 96, 500000 + 1000 * uint32_t(i));
    }
    std::vector<QByteArray> tracks = {conductor + EndOfTrack()};
    const struct {
        int channel, keys, notes, ticks;
    } parts[] = {{0, 1, 4000, 48}, {1, 1, 3000, 64}, {2, 3, 1000, 192}};
    for (const auto& p : parts) {
        QByteArray track;
        for (int n = 0; n < p.notes; ++n) {
            for (int k = 0; k < p.keys; ++k) {
                track += Ev(0, {0x90 | p.channel, 48 + (n * 5 + k * 4) % 36, 90});
            }
            for (int k = 0; k < p.keys; ++k) {
                track += Ev(k == 0 ? uint32_t(p.ticks - 4) : 0,
                            {0x80 | p.channel, 48 + (n * 5 + k * 4) % 36, 0});
            }
            track += Ev(4, {0xB0 | p.channel, 7, 100}); // a controller between the notes
        }
        tracks.push_back(track + EndOfTrack());
    }
    return File(1, 96, tracks);
}

void BM_ImportMidi10kNotes(benchmark::State& state) {
    FakeSongTarget song;
    FillSong(song, 7000); // about 6,000 and 4,000 notes in two voices, as the export writes them
    const QByteArray file = state.range(0) == 0 ? TenThousandNoteFile() : ExportMidi(song).bytes;
    size_t lines = 0;
    for (auto _ : state) {
        const MidiImport in = ImportMidi(file);
        lines = in.lines.size();
        benchmark::DoNotOptimize(in.lines.data());
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_ImportMidi10kNotes)
    ->ArgName("exported")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9);

void BM_ExportMidi100kLines(benchmark::State& state) {
    FakeSongTarget song;
    FillSong(song, 100000);
    for (auto _ : state) {
        const MidiExport out = ExportMidi(song);
        benchmark::DoNotOptimize(out.bytes.data());
    }
}
BENCHMARK(BM_ExportMidi100kLines)->Unit(benchmark::kMillisecond)->Repetitions(9);

// 3 minutes at 120 BPM, two notes alternating on two lines in three.
void BM_ExportWav3Minutes(benchmark::State& state) {
    FakeSongTarget song;
    FillSong(song, 0);
    for (int i = 0; i < 360; ++i) {
        song.lines.push_back({"Quarter", kNotes[i % 7], i % 3 ? kNotes[(i + 2) % 7] : "", ""});
    }
    song.bpm = 120;
    song.noteSilenceRatio = 80;
    const QByteArray file = SongText(song);
    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    NullLog log;
    for (auto _ : state) {
        QString why;
        if (SongWavRenderer::RenderSong(file, dir.filePath("song.wav"), boxes, log, {}, &why) !=
            SongWavRenderer::Outcome::Written) {
            state.SkipWithError(qPrintable(why));
        }
    }
}
BENCHMARK(BM_ExportWav3Minutes)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace
} // namespace tq

BENCHMARK_MAIN();
