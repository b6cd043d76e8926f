#pragma once

#include "editor/ComputerKeyboard.h"

#include <QObject>

class QWidget;

namespace tq {

class PianoKeyboard;

// Plays the on-screen piano from the computer keyboard while the main window has the
// keyboard: a key press clicks the piano key (so it sounds, enters and logs exactly as a
// mouse click does) and holds it down until the key is let go. Keys typed into a text
// box, keys with Ctrl, Alt or Shift are left alone, and a held key enters one note
// however its repeats arrive.
class ComputerKeyboardPiano final : public QObject {
    Q_OBJECT
public:
    ComputerKeyboardPiano(QWidget& window, PianoKeyboard& keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    PianoKeyboard& keys_;
    KeyRepeatFilter repeats_;
};

// True for a widget the user types text into.
bool IsTextInput(const QWidget* widget);

} // namespace tq
