// The main window's menu bar.
#include "editor/view/MainWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tq {

namespace {

QAction* MakeAction(QMenu* menu, const char* name, const QString& text,
                    const QList<QKeySequence>& keys = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    return action;
}

} // namespace

void MainWindow::BuildMenus() {
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    EditMenu = MenuBar->addMenu(QStringLiteral("&Edit"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    // The texts name the step ("Undo Erase line 12") once the history has one.
    UndoAction = MakeAction(EditMenu, "UndoAction", QStringLiteral("&Undo"), {QKeySequence::Undo});
    RedoAction = MakeAction(
        EditMenu, "RedoAction", QStringLiteral("&Redo"),
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    UndoAction->setEnabled(false);
    RedoAction->setEnabled(false);
    EditMenu->addSeparator();
    CutAction =
        MakeAction(EditMenu, "CutAction", QStringLiteral("Cu&t lines"), {QKeySequence::Cut});
    CopyAction =
        MakeAction(EditMenu, "CopyAction", QStringLiteral("&Copy lines"), {QKeySequence::Copy});
    PasteAction =
        MakeAction(EditMenu, "PasteAction", QStringLiteral("&Paste lines"), {QKeySequence::Paste});
    const QString rangeTip = QStringLiteral(
        "The selected line, and with Shift+click or Shift+Up/Down the lines up to another one");
    CutAction->setToolTip(rangeTip);
    CopyAction->setToolTip(rangeTip);
    EditMenu->addSeparator();
    ClearListAction = MakeAction(EditMenu, "ClearListAction", QStringLiteral("C&lear list"));
    EditMenu->setToolTipsVisible(true);
}

} // namespace tq
