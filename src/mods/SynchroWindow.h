#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tq {

class SynchroForm;

// The "Synchronized Play Settings" window: mirrors SynchroForm and forwards the user's
// typing and clicks. Closing it hides it and tells the main window, which unticks its box.
class SynchroWindow final : public QWidget {
    Q_OBJECT
public:
    explicit SynchroWindow(SynchroForm& form, QWidget* parent = nullptr);
    void SetOnClosed(std::function<void()> closed) { closed_ = std::move(closed); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Mirror(const QString& name);

    SynchroForm& form_;
    std::function<void()> closed_;
    QLineEdit* txtHour;
    QLineEdit* txtMinute;
    QLineEdit* txtSecond;
    QLabel* lblCurrentTime;
    QRadioButton* optStart;
    QRadioButton* optCurrent;
    QCheckBox* chkStartInDelay;
    QPushButton* btnWait;
    QLabel* lblWaiting;
};

} // namespace tq
