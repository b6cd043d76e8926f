#pragma once

#include "interchange/ToneSequence.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace tq {

// The file name suffix of a beep script.
inline const QString kBeepScriptSuffix = QStringLiteral("sh");

// A shell script (POSIX sh) that plays the sequence on the PC speaker with Linux's beep
// command: one beep per line of the song, its tones chained, and sleep for silence. Every
// tone starts within a millisecond of where the speaker played it (see ToneSteps).
QByteArray BeepScript(const ToneSequence& sequence, const QString& songName);

// The permissions that make a written script runnable: execute wherever it may be read.
QFileDevice::Permissions ExecutablePermissions(QFileDevice::Permissions permissions);

} // namespace tq
