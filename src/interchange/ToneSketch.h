#pragma once

#include "interchange/ToneSequence.h"

#include <QByteArray>
#include <QString>

namespace tq {

// The file name suffix of a sketch; the Arduino IDE opens NAME.ino from a folder NAME.
inline const QString kToneSketchSuffix = QStringLiteral("ino");

// An Arduino sketch that plays the sequence once on a speaker at pin, with tone() and
// delay(), from a table in program memory: every tone starts within a millisecond of where
// the speaker played it (see ToneSteps).
QByteArray ToneSketch(const ToneSequence& sequence, const QString& songName, int pin = 8);

} // namespace tq
