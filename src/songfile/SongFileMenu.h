#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;

namespace tq {

class SongFileCommands;

// The song commands at the top of the File menu (New, Open..., the recent songs, Save,
// Save As...) and Quit at its end; what the menu held already stays between them.
class SongFileMenu final : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void()> newSong;
        std::function<void()> quit;
    };
    SongFileMenu(QMenu& fileMenu, SongFileCommands& commands, Handlers handlers);

    QAction* NewAction;
    QAction* OpenAction;
    QMenu* RecentMenu;
    QAction* SaveAction;
    QAction* SaveAsAction;
    QAction* QuitAction;

    // Lists the recent songs; run each time the submenu opens (a file deleted since is left
    // out) and whenever the song gets a file.
    void FillRecentMenu();

private:
    SongFileCommands& commands_;
};

} // namespace tq
