#pragma once

#include "core/FileGate.h"
#include "platform/MessageBoxes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tq {

class FileDialogs;
class LoadProgress;
class LogSink;
class SongTarget;

// The song writer (SaveMusic, with its own Save dialog and overwrite question) and the
// song reader (ActuallyLoadMusic). Both report their trouble in message boxes and leave
// the main window unchanged when they cannot go on.
class SongFile {
public:
    // Above this a file is refused unread.
    static constexpr qint64 kMaxSongBytes = kMaxSongFileBytes;

    SongFile(SongTarget& target, LoadProgress& progress, MessageBoxes& boxes, FileDialogs& dialogs,
             LogSink& log)
        : target_(target), progress_(progress), boxes_(boxes), dialogs_(dialogs), log_(log) {}

    // initial: the file the dialog starts at (the File menu's Save As gives the song's own).
    void SaveMusic(const QString& initial = QString());
    // Writes the song to path without a dialog or question: Save of a song that has a file.
    void SaveMusicTo(const QString& path);
    // Reads the file at path, replacing the settings the file holds and the whole music
    // list. A file that cannot be read is reported and nothing is changed; false then.
    bool ActuallyLoadMusic(const QString& path);
    // The reader after the file has been read: decoding, the format check, the settings
    // and the music list. False when the song was left as it was.
    bool LoadSongBytes(QByteArray bytes);
    // Asks whether to go on after a music-list line with fewer than two blanks.
    MsgAnswer LoadMusicListLineError(const QString& line);

private:
    // Replaces the file with the song through the one writer: a failed save leaves the old
    // file as it was, and the box gives the system's reason.
    void WriteSong(const QString& path);
    void CantRead(const QString& path, const QString& why);
    bool AskToLoadForeignFile();
    class LineReader;
    // Applies the settings before the music list, reading up to its first line.
    void ApplySettings(LineReader& lines);
    void CheckRevision(const QString& line);
    void LoadMusicList(LineReader& lines);
    // The music-list lines that are not music: the first is asked about alone; at the
    // second the user may choose to skip the rest quietly, and is told their count.
    struct BadLines {
        int count = 0;
        bool quiet = false;
    };
    // False when the user chose to stop reading the list.
    bool SkipBadLine(const QString& line, BadLines& bad);
    void ApplySetting(const QString& name, const QString& line);

    SongTarget& target_;
    LoadProgress& progress_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    LogSink& log_;
};

} // namespace tq
