#pragma once

#include <QWidget>

class QLabel;
class QRadioButton;

namespace tq {

class BeatForm;

// "Beat Settings": mirrors BeatForm and forwards clicks to it. Its close box only hides it.
class BeatWindow final : public QWidget {
    Q_OBJECT
public:
    explicit BeatWindow(BeatForm& form, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Mirror();

    BeatForm& form_;
    QRadioButton* optBeatAll_;
    QRadioButton* option1_;
    QLabel* lblDisabled_;
};

} // namespace tq
