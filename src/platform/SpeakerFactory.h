#pragma once

#include "platform/Speaker.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace tq {

struct SpeakerOptions {
    // "auto", "evdev", "console", "emulated" or "none".
    QString wanted = QStringLiteral("auto");
    QString evdevPath = QString::fromLatin1(EvdevSpeakerDefaultPath());
    QStringList consolePaths = {QStringLiteral("/dev/tty0"), QStringLiteral("/dev/console")};
    // Makes the emulated speaker (a square wave through the sound engine); returns null
    // with a reason when no audio output opens. Not set: the back end is skipped.
    std::function<std::unique_ptr<Speaker>(QString* why)> makeEmulated;

    static const char* EvdevSpeakerDefaultPath();
    // TONQUILL_SPEAKER picks the back end, TONQUILL_EVDEV_DEVICE the input device.
    static SpeakerOptions FromEnvironment();
};

struct SpeakerChoice {
    std::unique_ptr<Speaker> speaker; // never null: "none" always opens
    QStringList notes;                // one line per back end tried, for the debug log
};

// Opens the wanted back end, or on failure the next one in the order evdev, console,
// emulated, none. "auto" starts with evdev.
SpeakerChoice OpenSpeaker(const SpeakerOptions& options);

} // namespace tq
