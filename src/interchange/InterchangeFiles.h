#pragma once

#include <QByteArray>
#include <QString>

namespace tq {

class LogSink;
class MessageBoxes;
class SongTarget;

// Loads the song file at path with the program's reader. False when the file is not a
// readable song: the reader (or, for a missing file, a line on stderr) has said why, and
// a file that is no song at all has changed nothing.
bool LoadSongFile(const QString& path, SongTarget& target, MessageBoxes& boxes, LogSink& log);

// Replaces the file at path with the bytes in one step: they go to a temporary file in the
// same folder, which is then renamed over it, so a failed write leaves no half-written
// file. A path naming a device or a pipe is written directly.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* why);

} // namespace tq
