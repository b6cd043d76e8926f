// A 200,000-event, 16-track MIDI file with a hundred tempo changes: parsed, and parsed and
// decoded with the progress texts made and the clock read as the window does.
#include "MidiFileBytes.h"
#include "midifile/SmfReader.h"
#include "midiin/MidiFileDecoder.h"
#include "platform/SteadyClock.h"

#include <benchmark/benchmark.h>

namespace tq {
namespace {

constexpr int kTracks = 16;
constexpr int kEventsPerTrack = 12500;

QByteArray MakeFile() {
    using namespace smf;
    std::vector<QByteArray> tracks;
    for (int t = 0; t < kTracks; ++t) {
        QByteArray track;
        bool statusWritten = false;
        for (int i = 0; i < kEventsPerTrack; ++i) {
            if (t == 0 && i % 125 == 0) {
                track += Tempo(0, 400000 + 1000 * static_cast<uint32_t>(i / 125));
                statusWritten = false;
                continue;
            }
            const int note = 36 + (i * 7 + t) % 60;
            const int velocity = i % 2 ? 0 : 100; // a Note On of velocity 0 ends the note
            track += statusWritten ? Ev(static_cast<uint32_t>(i % 3) * 40, {note, velocity})
                                   : Ev(0, {0x90 | t, note, velocity});
            statusWritten = true;
        }
        tracks.push_back(track);
    }
    return File(1, 480, tracks);
}

void BM_ParseMidiFile(benchmark::State& state) {
    const QByteArray bytes = MakeFile();
    for (auto _ : state) {
        SmfReader reader;
        QString why;
        if (!reader.Parse(bytes, &why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        benchmark::DoNotOptimize(reader.EventCount(kTracks));
    }
}
BENCHMARK(BM_ParseMidiFile)->Unit(benchmark::kMillisecond)->Repetitions(9);

void BM_ParseAndDecodeMidiFile(benchmark::State& state) {
    const QByteArray bytes = MakeFile();
    SteadyClock clock;
    int shown = 0;
    for (auto _ : state) {
        SmfReader reader;
        QString why;
        if (!reader.Parse(bytes, &why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        const DecodedMidiFile song = DecodeMidiFile(
            reader, [&shown](const QString& text) { shown += static_cast<int>(text.size()) > 0; },
            [&clock] { return clock.TickCount(); });
        // Every track's position 0, its events and twenty empty positions after them.
        if (song.TotalEvents() != kTracks * (1 + kEventsPerTrack + 20)) {
            state.SkipWithError("events lost");
            return;
        }
        benchmark::DoNotOptimize(song.times.data());
    }
    state.counters["progress texts"] =
        benchmark::Counter(shown, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ParseAndDecodeMidiFile)->Unit(benchmark::kMillisecond)->Repetitions(9);

} // namespace
} // namespace tq

BENCHMARK_MAIN();
