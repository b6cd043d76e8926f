#include "songfile/SongFileMenu.h"

#include "songfile/SongFileCommands.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace tq {

namespace {

QAction* MakeAction(QMenu& menu, QAction* before, const char* name, const QString& text,
                    const QKeySequence& key) {
    auto* action = new QAction(text, &menu);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    menu.insertAction(before, action);
    return action;
}

} // namespace

SongFileMenu::SongFileMenu(QMenu& fileMenu, SongFileCommands& commands, Handlers handlers)
    : QObject(&fileMenu), commands_(commands) {
    QAction* first = fileMenu.actions().value(0);
    NewAction = MakeAction(fileMenu, first, "NewAction", QStringLiteral("&New"),
                           QKeySequence(Qt::CTRL | Qt::Key_N));
    OpenAction = MakeAction(fileMenu, first, "OpenAction", QStringLiteral("&Open..."),
                            QKeySequence(Qt::CTRL | Qt::Key_O));
    RecentMenu = new QMenu(QStringLiteral("Open &Recent"), &fileMenu);
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    RecentMenu->setToolTipsVisible(true);
    fileMenu.insertMenu(first, RecentMenu);
    SaveAction = MakeAction(fileMenu, first, "SaveAction", QStringLiteral("&Save"),
                            QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAsAction = MakeAction(fileMenu, first, "SaveAsAction", QStringLiteral("Save &As..."),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    if (first != nullptr) {
        fileMenu.insertSeparator(first);
    }
    fileMenu.addSeparator();
    QuitAction = MakeAction(fileMenu, nullptr, "QuitAction", QStringLiteral("&Quit"),
                            QKeySequence(Qt::CTRL | Qt::Key_Q));

    connect(NewAction, &QAction::triggered, this, [newSong = handlers.newSong] { newSong(); });
    connect(OpenAction, &QAction::triggered, this, [this] { commands_.Open(); });
    connect(SaveAction, &QAction::triggered, this, [this] { commands_.Save(); });
    connect(SaveAsAction, &QAction::triggered, this, [this] { commands_.SaveAs(); });
    connect(QuitAction, &QAction::triggered, this, [quit = handlers.quit] { quit(); });
    connect(RecentMenu, &QMenu::aboutToShow, this, &SongFileMenu::FillRecentMenu);
    FillRecentMenu();
}

void SongFileMenu::FillRecentMenu() {
    RecentMenu->clear();
    const QStringList paths = commands_.RecentPaths();
    int number = 0;
    for (const QString& path : paths) {
        ++number;
        QAction* action = RecentMenu->addAction(
            QStringLiteral("&%1 %2").arg(number).arg(QFileInfo(path).fileName()));
        action->setToolTip(path);
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { commands_.OpenRecent(path); });
    }
    RecentMenu->setEnabled(!paths.isEmpty());
}

} // namespace tq
