#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tq {

class MIDIOutForm;

// The "MIDI Output Settings" window: mirrors MIDIOutForm and forwards the choices.
class MIDIOutWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MIDIOutWindow(MIDIOutForm& form, QWidget* parent = nullptr);

    QComboBox* cmbMIDIOutDevice;
    QPushButton* cmdRefresh;
    QSpinBox* spnOctaveOffset;
    QComboBox* cmbChannel;
    QComboBox* cmbInstrument;
    QLabel* lblInfoText;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Mirror();
    void PaintInfoText(const QString& text);

    MIDIOutForm& form_;
};

} // namespace tq
