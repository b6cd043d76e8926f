#pragma once

#include "core/MidiOctave.h"

#include <QSpinBox>

namespace tq {

// The "Octave offset" spin box of the MIDI windows: -2 to +2, the sign always shown, so
// that "+1" reads as the README writes it.
class OctaveOffsetBox final : public QSpinBox {
public:
    explicit OctaveOffsetBox(QWidget* parent) : QSpinBox(parent) {
        setObjectName(QStringLiteral("spnOctaveOffset"));
        setRange(kMinOctaveOffset, kMaxOctaveOffset);
        setValue(0);
    }

protected:
    QString textFromValue(int value) const override {
        return value > 0 ? QLatin1Char('+') + QString::number(value) : QString::number(value);
    }
};

} // namespace tq
