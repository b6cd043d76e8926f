#pragma once

#include "playback/HeldNoteSource.h"

#include <QPalette>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace tq {

class HeldNoteWindow;

// What the live input window and the MIDI file window share: the grid of held notes, the
// player's options and the listened channels, mirrored from a HeldNoteWindow.
class HeldNotesPanel final : public QWidget {
    Q_OBJECT
public:
    // autoTimeCaption: each window states its own cycle length.
    HeldNotesPanel(HeldNoteWindow& form, const QString& autoTimeCaption, QWidget* parent = nullptr);

    std::array<QLabel*, HeldNoteGrid::kLabels> lblOnNotes;
    QLabel* lblMoreOnNotes;
    QLabel* lblHeldCount;
    QCheckBox* SaveCPUCheck;
    QCheckBox* AutoTimeCheck;
    QCheckBox* OnlyOnceCheck;
    std::array<QCheckBox*, 16> ListenChannelCheck;
    QSpinBox* spnOctaveOffset;

private:
    QWidget* MakeGridBox();
    QWidget* MakeChannelBox();
    void Mirror();
    void ShowGrid();

    // What a grid label shows now, so an update touches only the labels that differ.
    struct Shown {
        QString caption;
        bool visible = false;
        bool playing = false;
    };

    HeldNoteWindow& form_;
    std::array<Shown, HeldNoteGrid::kLabels> shown_;
    QPalette held_;
    QPalette playing_;
};

} // namespace tq
