#pragma once

#include <QWidget>

class QLabel;
class QRadioButton;
class QSlider;

namespace tq {

class PortamentoForm;

// "Piptone Portamento Settings": mirrors PortamentoForm and forwards input to it. Its close
// box switches the mod off instead of closing.
class PortamentoWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PortamentoWindow(PortamentoForm& form, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Mirror();

    PortamentoForm& form_;
    QRadioButton* optSoundStops_;
    QRadioButton* optSoundAlways_;
    QSlider* soundLengthSlider_;
    QLabel* lblSoundLength_;
    QSlider* pitchMultipleSlider_;
};

} // namespace tq
