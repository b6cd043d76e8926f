// libFuzzer target for the song reader. Every question is answered so that reading goes
// as deep as it can. Besides crashes it catches a value the main window must never get,
// and a music list that does not survive being saved and read again.
#include "FakeSongTarget.h"
#include "core/LogSink.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessageBoxes.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tq;
    NullLog log;
    NullLoadProgress progress;
    ScriptedMessageBoxes boxes;
    boxes.SetDefaultAnswer(MsgAnswer::Yes);
    ScriptedFileDialogs dialogs;

    FakeSongTarget target;
    SongFile(target, progress, boxes, dialogs, log)
        .LoadSongBytes(QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                               static_cast<qsizetype>(size)));
    if (target.broken) {
        __builtin_trap();
    }

    FakeSongTarget again;
    SongFile(again, progress, boxes, dialogs, log).LoadSongBytes(SongText(target));
    if (again.broken || again.lines != target.lines) {
        __builtin_trap();
    }
    return 0;
}
