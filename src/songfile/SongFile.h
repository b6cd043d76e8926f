#pragma once

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
    // Above this a file is refused unread: a song of 100,000 lines takes about 2 MB.
    static constexpr qint64 kMaxSongBytes = qint64{64} * 1024 * 1024;

    SongFile(SongTarget& target, LoadProgress& progress, MessageBoxes& boxes, FileDialogs& dialogs,
             LogSink& log)
        : target_(target), progress_(progress), boxes_(boxes), dialogs_(dialogs), log_(log) {}

    void SaveMusic();
    // Reads the file at path, replacing the settings the file holds and the whole music
    // list. A file that cannot be read is reported and nothing is changed.
    void ActuallyLoadMusic(const QString& path);
    // The reader after the file has been read: decoding, the format check, the settings
    // and the music list. False when the song was left as it was.
    bool LoadSongBytes(const QByteArray& bytes);
    // Asks whether to go on after a music-list line with fewer than two blanks.
    MsgAnswer LoadMusicListLineError(const QString& line);

private:
    // Replaces the file with the song in one step: the text goes to a temporary file in
    // the same folder, which is then renamed over the target, so a failed save leaves
    // the old file as it was.
    void WriteSong(const QString& path);
    bool ReadSong(const QString& path, QByteArray& bytes);
    void CantRead(const QString& path);
    bool AskToLoadForeignFile();
    // Applies the settings before the music list; returns the index of its first line.
    qsizetype ApplySettings(const QStringList& lines);
    void CheckRevision(const QString& line);
    void LoadMusicList(const QStringList& lines, qsizetype listStart);
    void ApplySetting(const QString& name, const QString& line);

    SongTarget& target_;
    LoadProgress& progress_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    LogSink& log_;
};

} // namespace tq
