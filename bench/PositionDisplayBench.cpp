// Cost of the position display per played line on a 20,000-line all-triplet song: during
// play every triplet line recounts the position from the first line (WorkOutPlayPos) and
// redraws the labels (ShowPlayPos).
#include "core/LogSink.h"
#include "editor/MusicList.h"
#include "playback/PlayPositionDisplay.h"
#include "playback/PlayerState.h"

#include <benchmark/benchmark.h>

namespace {

void FillTriplets(tq::MusicList& list, int lines) {
    std::vector<tq::MusicLine> song;
    for (int i = 0; i < lines; ++i) {
        song.push_back({QStringLiteral("1/16"), QStringLiteral("C4"), {}, QStringLiteral("Tri")});
    }
    list.AppendLines(std::move(song));
}

// As played: line after line, each recounting the position up to it.
void BM_TripletLineDuringPlay(benchmark::State& state) {
    tq::MusicList list;
    FillTriplets(list, 20000);
    tq::PlaySettings settings;
    tq::NullLog log;
    tq::PlayPositionDisplay display(list, settings, log);
    list.SetEditObserver([&display](int line) { display.Sums().InvalidateFrom(line); });
    int line = 1;
    for (auto _ : state) {
        display.ShowPlayPos(display.WorkOutPlayPosOf(line + 1));
        line = line % 20000 + 1;
    }
}
BENCHMARK(BM_TripletLineDuringPlay);

// The same after an edit near the start of the song, which drops the running sums.
void BM_TripletLineAfterEachEdit(benchmark::State& state) {
    tq::MusicList list;
    FillTriplets(list, 20000);
    tq::PlaySettings settings;
    tq::NullLog log;
    tq::PlayPositionDisplay display(list, settings, log);
    list.SetEditObserver([&display](int line) { display.Sums().InvalidateFrom(line); });
    bool dotted = false;
    for (auto _ : state) {
        dotted = !dotted;
        list.SetCell(2, tq::MusicList::ModColumn, dotted ? "Dot" : "Tri");
        display.ShowPlayPos(display.WorkOutPlayPosOf(20000));
    }
}
BENCHMARK(BM_TripletLineAfterEachEdit)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
