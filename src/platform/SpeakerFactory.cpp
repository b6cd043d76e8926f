#include "platform/SpeakerFactory.h"

#include "platform/DeviceSpeaker.h"

#include <QProcessEnvironment>

namespace tq {

const char* SpeakerOptions::EvdevSpeakerDefaultPath() {
    return EvdevSpeaker::kDefaultPath;
}

SpeakerOptions SpeakerOptions::FromEnvironment() {
    SpeakerOptions o;
    const auto env = QProcessEnvironment::systemEnvironment();
    if (env.contains(QStringLiteral("TONQUILL_SPEAKER"))) {
        o.wanted = env.value(QStringLiteral("TONQUILL_SPEAKER")).trimmed().toLower();
    }
    if (env.contains(QStringLiteral("TONQUILL_EVDEV_DEVICE"))) {
        o.evdevPath = env.value(QStringLiteral("TONQUILL_EVDEV_DEVICE"));
    }
    return o;
}

SpeakerChoice OpenSpeaker(const SpeakerOptions& options) {
    static const QStringList kOrder = {QStringLiteral("evdev"), QStringLiteral("console"),
                                       QStringLiteral("emulated"), QStringLiteral("none")};
    SpeakerChoice choice;
    qsizetype first = kOrder.indexOf(options.wanted);
    if (first < 0) {
        if (options.wanted != QStringLiteral("auto")) {
            choice.notes << QStringLiteral("Unknown speaker '%1' asked for - trying all")
                                .arg(options.wanted);
        }
        first = 0;
    }
    for (qsizetype i = first; i < kOrder.size() && !choice.speaker; ++i) {
        const QString& name = kOrder[i];
        QString why;
        if (name == QStringLiteral("evdev")) {
            auto s = std::make_unique<EvdevSpeaker>(options.evdevPath, &why);
            if (s->IsOpen()) {
                choice.speaker = std::move(s);
            }
        } else if (name == QStringLiteral("console")) {
            for (const QString& path : options.consolePaths) {
                QString pathWhy;
                auto s = std::make_unique<ConsoleSpeaker>(path, &pathWhy);
                if (s->IsOpen()) {
                    choice.speaker = std::move(s);
                    break;
                }
                why += (why.isEmpty() ? QString() : QStringLiteral("; ")) + pathWhy;
            }
        } else if (name == QStringLiteral("emulated")) {
            if (options.makeEmulated) {
                choice.speaker = options.makeEmulated(&why);
            } else {
                why = QStringLiteral("no sound engine");
            }
        } else {
            choice.speaker = std::make_unique<NullSpeaker>();
        }
        if (choice.speaker) {
            choice.notes << QStringLiteral("Speaker: using '%1'").arg(name);
        } else {
            choice.notes << QStringLiteral("Speaker: '%1' can't be used (%2)").arg(name, why);
        }
    }
    return choice;
}

} // namespace tq
