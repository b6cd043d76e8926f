#pragma once

#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tq {

class HeldNotesPanel;
class MIDIFileForm;

// The "MIDI File Playback Settings" window: mirrors MIDIFileForm and forwards the clicks.
class MIDIFileWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MIDIFileWindow(MIDIFileForm& form, QWidget* parent = nullptr);

    QLineEdit* txtFile;
    QPushButton* cmdBrowse;
    QFrame* frmInfoText;
    QLabel* lblInfoText;
    QGroupBox* frmPlayback;
    QPushButton* cmdPlay;
    QPushButton* cmdStop;
    QPushButton* cmdRewind;
    QCheckBox* chkLoop;
    QSlider* sldPosition;
    QLabel* lblPosPercent;
    QLabel* lblPosSecs;
    HeldNotesPanel* HeldNotes;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void MakeInfoText();
    QGroupBox* MakePlayback();
    void Mirror();
    void PaintInfoText(const QString& text);
    void PlaceInfoText();

    MIDIFileForm& form_;
};

} // namespace tq
