#pragma once

#include <QObject>

class QKeyEvent;
class QMouseEvent;

namespace tq {

class MainForm;
class MainWindow;

// Ties the editing comforts to the main window: the Edit menu and its undo texts, the
// song's name and unsaved-changes marker in the title, Shift+click and Shift+arrows stretching a
// range of lines in the list, and the computer keyboard as a piano.
class EditingBinding final : public QObject {
    Q_OBJECT
public:
    EditingBinding(MainForm& form, MainWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectMenus();
    void ShowHistory();
    void ShowTitle();
    void ShowLineCommands();
    bool JumpToAnEnd(const QKeyEvent& key);
    bool StretchRangeByKey(const QKeyEvent& key);
    bool StretchRangeByClick(const QMouseEvent& mouse, bool press);

    MainForm& form_;
    MainWindow& w_;
    // A Shift+click stretched the range: its release is not a click on the line.
    bool rangeClick_ = false;
};

} // namespace tq
