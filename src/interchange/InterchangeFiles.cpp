#include "interchange/InterchangeFiles.h"

#include "core/FileGate.h"
#include "platform/ScriptedFileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

namespace tq {

bool LoadSongFile(const QString& path, SongTarget& target, MessageBoxes& boxes, LogSink& log) {
    bool byteByByte = false;
    const bool isSong =
        AtStartOfString(DecodeSongBytes(ReadStart(path, 64), &byteByByte), kFormatText);
    NullLoadProgress progress;
    ScriptedFileDialogs noDialogs;
    SongFile songs(target, progress, boxes, noDialogs, log);
    // The reader reports an unreadable file or a foreign one itself.
    return songs.ActuallyLoadMusic(path) && isSong;
}

} // namespace tq
