#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tq {

class RecentSongs;
class SaveLoadForm;

// The File menu's song commands. They go through the Save/Load window's reader, writer and
// question about unsaved changes, so a song opened or saved here is the same as there.
class SongFileCommands {
public:
    // songPath: the song's current file, empty while it is untitled.
    SongFileCommands(SaveLoadForm& saveLoad, RecentSongs& recent, std::function<QString()> songPath)
        : saveLoad_(saveLoad), recent_(recent), songPath_(std::move(songPath)) {}

    void Open();
    // A file of the recent list; one that has gone since is dropped from the list.
    void OpenRecent(const QString& path);
    // Writes the song's own file without a dialog; an untitled song is saved as.
    void Save();
    void SaveAs();
    QStringList RecentPaths();

private:
    SaveLoadForm& saveLoad_;
    RecentSongs& recent_;
    std::function<QString()> songPath_;
};

} // namespace tq
