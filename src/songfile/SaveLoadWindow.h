#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace tq {

class SaveLoadForm;

// The "Save / Load" window: mirrors SaveLoadForm and forwards the clicks. Keep it
// without a parent: disabling the main window would disable a child window too.
class SaveLoadWindow : public QWidget {
    Q_OBJECT
public:
    explicit SaveLoadWindow(SaveLoadForm& form, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Sync();

    SaveLoadForm& form_;
    QStackedWidget* pages_;
    QFrame* buttons_;
    QPushButton* saveButton_;
    QPushButton* loadButton_;
    QPushButton* cancelButton_;
    QLabel* infoText_;
};

} // namespace tq
