#include "songfile/SongFileCommands.h"

#include "songfile/RecentSongs.h"
#include "songfile/SaveLoadForm.h"

namespace tq {

void SongFileCommands::Open() {
    saveLoad_.LoadMusic();
}

void SongFileCommands::OpenRecent(const QString& path) {
    if (!saveLoad_.OpenFile(path)) {
        recent_.Remove(path);
    }
}

void SongFileCommands::Save() {
    const QString path = songPath_();
    if (path.isEmpty()) {
        SaveAs();
    } else {
        saveLoad_.Songs().SaveMusicTo(path);
    }
}

void SongFileCommands::SaveAs() {
    // The dialog starts at the song's own file, so a copy lands beside it.
    saveLoad_.Songs().SaveMusic(songPath_());
}

QStringList SongFileCommands::RecentPaths() {
    return recent_.Paths();
}

} // namespace tq
