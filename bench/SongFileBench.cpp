// Load and save of a 100,000-line song through SongFile and a fake main window: the whole
// path from the file on disk to the rows handed over, and back.
#include "FakeSongTarget.h"
#include "core/LogSink.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessageBoxes.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace tq {
namespace {

constexpr int kRows = 100000;

void FillSong(FakeSongTarget& t) {
    static const char* const kNotes[] = {"C4", "D#5", "", "A#6", "G3"};
    t.lines.clear();
    t.lines.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        t.lines.push_back(
            {i % 3 ? "1/8" : "Quarter", kNotes[i % 5], kNotes[(i / 5) % 5], i % 7 ? "" : "Dot"});
    }
}

void BM_LoadSong100k(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.tql");
    FakeSongTarget source;
    FillSong(source);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(SongText(source)) < 0) {
        state.SkipWithError("cannot write the song");
        return;
    }
    f.close();
    NullLog log;
    NullLoadProgress progress;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    for (auto _ : state) {
        FakeSongTarget target;
        SongFile song(target, progress, boxes, dialogs, log);
        song.ActuallyLoadMusic(path);
        if (target.lines.size() != size_t{kRows}) {
            state.SkipWithError("rows lost");
        }
        benchmark::DoNotOptimize(target.lines.data());
    }
}
BENCHMARK(BM_LoadSong100k)->Unit(benchmark::kMillisecond)->Repetitions(10);

void BM_SaveSong100k(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.tql");
    FakeSongTarget target;
    FillSong(target);
    NullLog log;
    NullLoadProgress progress;
    ScriptedMessageBoxes boxes;
    boxes.SetDefaultAnswer(MsgAnswer::Yes); // replace the previous round's file
    ScriptedFileDialogs dialogs;
    SongFile song(target, progress, boxes, dialogs, log);
    for (auto _ : state) {
        dialogs.Answer(path);
        song.SaveMusic();
    }
    if (boxes.Boxes().size() + 1 != size_t(state.iterations())) {
        state.SkipWithError("unexpected message box");
    }
}
BENCHMARK(BM_SaveSong100k)->Unit(benchmark::kMillisecond)->Repetitions(10);

} // namespace
} // namespace tq

BENCHMARK_MAIN();
