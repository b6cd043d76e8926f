#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

namespace tq {

class HeldNotesPanel;
class MIDIInForm;

// The "Live MIDI Input Settings" window: mirrors MIDIInForm and forwards the choices.
class MIDIInWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MIDIInWindow(MIDIInForm& form, QWidget* parent = nullptr);

    QComboBox* cmbMIDIInDevice;
    QPushButton* cmdRefresh;
    HeldNotesPanel* HeldNotes;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Mirror();

    MIDIInForm& form_;
};

} // namespace tq
