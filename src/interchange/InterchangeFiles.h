#pragma once

#include <QString>

namespace tq {

class LogSink;
class MessageBoxes;
class SongTarget;

// Loads the song file at path with the program's reader. False when the file is not a
// readable song: the reader has said why, and a file that is no song at all has changed
// nothing.
bool LoadSongFile(const QString& path, SongTarget& target, MessageBoxes& boxes, LogSink& log);

} // namespace tq
