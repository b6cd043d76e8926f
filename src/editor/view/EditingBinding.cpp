#include "editor/view/EditingBinding.h"

#include "editor/MainForm.h"
#include "editor/view/ComputerKeyboardPiano.h"
#include "editor/view/MainWindow.h"
#include "editor/view/MusicListView.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tq {

EditingBinding::EditingBinding(MainForm& form, MainWindow& window)
    : QObject(&window), form_(form), w_(window) {
    ConnectMenus();
    QUndoStack* history = &form_.History();
    connect(history, &QUndoStack::canUndoChanged, this, &EditingBinding::ShowHistory);
    connect(history, &QUndoStack::canRedoChanged, this, &EditingBinding::ShowHistory);
    connect(history, &QUndoStack::undoTextChanged, this, &EditingBinding::ShowHistory);
    connect(history, &QUndoStack::redoTextChanged, this, &EditingBinding::ShowHistory);
    connect(&form_, &MainForm::WindowTitleChanged, this, &EditingBinding::ShowTitle);
    connect(&form_.List(), &MusicList::SelectionChanged, this, &EditingBinding::ShowLineCommands);
    w_.MainList->installEventFilter(this);
    w_.MainList->viewport()->installEventFilter(this);
    new ComputerKeyboardPiano(w_, *w_.Keyboard);
    ShowHistory();
    if (form_.WindowCaption().isEmpty()) {
        form_.SetWindowCaption(w_.windowTitle());
    }
    ShowTitle();
    ShowLineCommands();
}

void EditingBinding::ConnectMenus() {
    QUndoStack& history = form_.History();
    connect(w_.UndoAction, &QAction::triggered, &history, &QUndoStack::undo);
    connect(w_.RedoAction, &QAction::triggered, &history, &QUndoStack::redo);
    connect(w_.CutAction, &QAction::triggered, this, [this] { form_.CutLines(); });
    connect(w_.CopyAction, &QAction::triggered, this, [this] { form_.CopyLines(); });
    connect(w_.PasteAction, &QAction::triggered, this, [this] { form_.PasteLines(); });
    connect(w_.ClearListAction, &QAction::triggered, this, [this] { form_.ClearList(); });
}

void EditingBinding::ShowHistory() {
    const QUndoStack& history = form_.History();
    const auto show = [](QAction* action, const QString& verb, bool can, const QString& what) {
        action->setEnabled(can);
        action->setText(can ? verb + QLatin1Char(' ') + what : verb);
    };
    show(w_.UndoAction, QStringLiteral("&Undo"), history.canUndo(), history.undoText());
    show(w_.RedoAction, QStringLiteral("&Redo"), history.canRedo(), history.redoText());
}

void EditingBinding::ShowTitle() {
    w_.setWindowTitle(form_.WindowTitle());
}

void EditingBinding::ShowLineCommands() {
    const bool selected = form_.List().HasSelectedLine();
    w_.CutAction->setEnabled(selected);
    w_.CopyAction->setEnabled(selected);
}

bool EditingBinding::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return watched == w_.MainList && (StretchRangeByKey(static_cast<QKeyEvent&>(*event)) ||
                                          JumpToAnEnd(static_cast<QKeyEvent&>(*event)));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return watched == w_.MainList->viewport() &&
               StretchRangeByClick(static_cast<QMouseEvent&>(*event),
                                   event->type() != QEvent::MouseButtonRelease);
    default:
        return false;
    }
}

bool EditingBinding::StretchRangeByKey(const QKeyEvent& key) {
    MusicList& list = form_.List();
    if (key.modifiers() != Qt::ShiftModifier || !list.HasSelectedLine()) {
        return false;
    }
    switch (key.key()) {
    case Qt::Key_Up:
        list.ExtendRangeTo(list.RangeEnd() - 1);
        return true;
    case Qt::Key_Down:
        list.ExtendRangeTo(list.RangeEnd() + 1);
        return true;
    case Qt::Key_Home:
        list.ExtendRangeTo(1);
        return true;
    case Qt::Key_End:
        list.ExtendRangeTo(list.LineCount());
        return true;
    default:
        return false;
    }
}

// Home and End go to the first and last line, as Ctrl+Home and Ctrl+End do: the list's rows
// are its lines, and its columns are not visited one by one.
bool EditingBinding::JumpToAnEnd(const QKeyEvent& key) {
    const int lines = form_.List().LineCount();
    if (key.modifiers() != Qt::NoModifier || lines == 0 ||
        (key.key() != Qt::Key_Home && key.key() != Qt::Key_End)) {
        return false;
    }
    const int row = key.key() == Qt::Key_Home ? 0 : lines - 1;
    w_.MainList->setCurrentIndex(form_.List().index(row, 0));
    return true;
}

bool EditingBinding::StretchRangeByClick(const QMouseEvent& mouse, bool press) {
    if (!press) {
        const bool wasRange = rangeClick_;
        rangeClick_ = false;
        return wasRange;
    }
    const int row = w_.MainList->indexAt(mouse.position().toPoint()).row();
    rangeClick_ = mouse.button() == Qt::LeftButton && mouse.modifiers() == Qt::ShiftModifier &&
                  row >= 0 && form_.List().HasSelectedLine();
    if (rangeClick_) {
        form_.List().ExtendRangeTo(row + 1);
    }
    return rangeClick_;
}

} // namespace tq
