#include "fmodtone/FmodErrorCheck.h"

#include "core/LogSink.h"
#include "fmodtone/engine/SoundEngine.h"
#include "fmodtone/engine/SoundResult.h"
#include "platform/MessageBoxes.h"

namespace tq {

namespace {

QString ErrorBoxText(int32_t result) {
    return QStringLiteral("FMOD error! (") + QString::number(result) + QStringLiteral(") ") +
           FMODErrorString(result);
}

} // namespace

QString FMODErrorString(int32_t result) {
    return QString::fromUtf8(snd::ResultText(result));
}

bool ERRCHECK(int32_t result, LogSink& log, MessageBoxes& boxes) {
    if (result == 0) {
        return true;
    }
    log.LogText(QStringLiteral("ERRCHECK() found FMOD error ") + QString::number(result) +
                QStringLiteral(" (") + FMODErrorString(result) + QStringLiteral(")"));
    boxes.Show(QString(), ErrorBoxText(result), MsgButtons::Ok, MsgIcon::None);
    return false;
}

bool VoiceERRCHECK(int32_t result, MessageBoxes& boxes) {
    if (result == 0) {
        return true;
    }
    boxes.Show(QString(), ErrorBoxText(result), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

bool FmodVersionCheck(uint32_t version, MessageBoxes& boxes, bool voiceWording) {
    if (version == snd::SoundEngine::kVersion) {
        return true;
    }
    boxes.Show(QString(),
               QStringLiteral("Error!  You are using an old ") +
                   (voiceWording ? QStringLiteral("version") : QStringLiteral("Version")) +
                   QStringLiteral(" of FMOD ") + QString::number(version, 16).toUpper() +
                   QStringLiteral(". ") + QStringLiteral("This program requires ") +
                   QStringLiteral("40621"),
               MsgButtons::Ok, MsgIcon::None);
    return false;
}

} // namespace tq
