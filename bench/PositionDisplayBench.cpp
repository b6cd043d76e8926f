// Cost of the position display per played line on a 20,000-line all-triplet song: during
// play every triplet line recounts the position from the first line (WorkOutPlayPos) and
// redraws the labels (ShowPlayPos).
#include "core/LogSink.h"
#include "editor/MusicList.h"
#include "playback/PlayPositionDisplay.h"
#include "playback/PlayerState.h"

#include <benchmark/benchmark.h>

namespace {

// A song of 20,000 triplet lines with its position display, the sums kept up to date with
// edits as the main window does.
struct TripletSong {
    tq::MusicList list;
    tq::PlaySettings settings;
    tq::NullLog log;
    tq::PlayPositionDisplay display{list, settings, log};

    TripletSong() {
        std::vector<tq::MusicLine> song(
            20000,
            tq::MusicLine{QStringLiteral("1/16"), QStringLiteral("C4"), {}, QStringLiteral("Tri")});
        list.AppendLines(std::move(song));
        list.SetEditObserver([this](int line) { display.Sums().InvalidateFrom(line); });
    }
};

// As played: line after line, each recounting the position up to it.
void BM_TripletLineDuringPlay(benchmark::State& state) {
    TripletSong s;
    int line = 1;
    for (auto _ : state) {
        s.display.ShowPlayPos(s.display.WorkOutPlayPosOf(line + 1));
        line = line % 20000 + 1;
    }
}
BENCHMARK(BM_TripletLineDuringPlay);

// The same after an edit near the start of the song, which drops the running sums.
void BM_TripletLineAfterEachEdit(benchmark::State& state) {
    TripletSong s;
    bool dotted = false;
    for (auto _ : state) {
        dotted = !dotted;
        s.list.SetCell(2, tq::MusicList::ModColumn, dotted ? "Dot" : "Tri");
        s.display.ShowPlayPos(s.display.WorkOutPlayPosOf(20000));
    }
}
BENCHMARK(BM_TripletLineAfterEachEdit)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
