#include "editor/view/ComputerKeyboardPiano.h"

#include "editor/ComputerKeyboard.h"
#include "editor/view/PianoKeyboard.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tq {

bool IsTextInput(const QWidget* widget) {
    if (widget == nullptr) {
        return false;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->isEditable();
    }
    return qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget);
}

ComputerKeyboardPiano::ComputerKeyboardPiano(QWidget& window, PianoKeyboard& keys)
    : QObject(&window), window_(window), keys_(keys) {
    // Key events go to the focused control first, and a list or a combo box would take
    // letters for itself: only the application sees them before any control does.
    qApp->installEventFilter(this);
}

bool ComputerKeyboardPiano::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowDeactivate) {
        // Its key's release goes to another window: no key stays held down.
        for (int i = 0; i < PianoKeyboard::KeyCount; ++i) {
            keys_.Key(i)->setDown(false);
        }
        repeats_.Reset();
        return false;
    }
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::KeyRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &window_ ||
        QApplication::activePopupWidget() != nullptr) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const int index = PianoKeyForComputerKey(key->key());
    if (index < 0 || key->modifiers() != Qt::NoModifier || IsTextInput(widget) ||
        IsTextInput(QApplication::focusWidget())) {
        return false;
    }
    QAbstractButton* button = keys_.Key(index);
    if (!press) {
        if (!key->isAutoRepeat()) {
            repeats_.Release(key->key(), key->timestamp());
            button->setDown(false);
        }
    } else if (repeats_.Press(key->key(), key->timestamp(), key->isAutoRepeat())) {
        button->click(); // nothing while the keys are greyed out, as for the mouse
        button->setDown(button->isEnabled());
    } else {
        button->setDown(button->isEnabled()); // a repeat: still held, one note entered
    }
    return true;
}

} // namespace tq
