#pragma once

#include "interchange/RtttlImport.h"

#include <QString>

namespace tq {

class LogSink;
class MessageBoxes;
class SongTarget;

// Whether the file's extension is one that ringtone text is shared under: .rtttl, .rtx
// or .txt.
bool IsRingtonePath(const QString& path);

// Whether the file is to be read as ringtone text: by its extension, or, for a file that is
// not a MIDI file, by its first line.
bool IsRingtoneFile(const QString& path);

// Whether the file is a MIDI file or ringtone text rather than a song file: one to import.
bool IsImportable(const QString& path);

// The ringtone text in the file; a file that can't be read is refused with the reason.
RtttlText ReadRingtoneFile(const QString& path);

// Loads the song file at path with the program's reader, or, when the file is ringtone
// text (by its extension or its first line), the tune that tune picks (see FindTune).
// False when the file is neither a readable song nor a tune: the reader or a box has said
// why, and a file that is no song at all has changed nothing.
bool LoadSongFile(const QString& path, SongTarget& target, MessageBoxes& boxes, LogSink& log,
                  const QString& tune = QString());

} // namespace tq
