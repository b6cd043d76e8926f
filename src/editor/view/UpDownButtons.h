#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tq {

// An up-down control attached to a text box. It holds no value: the text box is the control,
// and the arrows (or the Up/Down keys in the text box) only ask for a step, which the owner
// applies to the text within Minimum()..Maximum().
class UpDownButtons final : public QWidget {
    Q_OBJECT
public:
    UpDownButtons(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent = nullptr);

    QLineEdit* Buddy() const { return buddy_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int Step() const { return step_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void StepUp();
    void StepDown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* buddy_;
    int minimum_;
    int maximum_;
    int step_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace tq
