#include "mods/MotorModModule.h"

#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "core/Rounding.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "playback/PlayerState.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tq {

namespace {

const QString kTitle = QStringLiteral("Motor-speed mod");

// Higher notes take shorter pulses: a faster motor whines higher.
constexpr std::array<std::pair<const char*, int32_t>, 31> kPulses = {{
    {"C1", 1350},  {"C#1", 1340}, {"D1", 1335},  {"D#1", 1330}, {"E1", 1327},  {"F1", 1320},
    {"F#1", 1315}, {"G1", 1310},  {"G#1", 1300}, {"A1", 1294},  {"A#1", 1283}, {"B1", 1275},
    {"C2", 1260},  {"C#2", 1250}, {"D2", 1238},  {"D#2", 1230}, {"E2", 1217},  {"F2", 1203},
    {"F#2", 1191}, {"G2", 1178},  {"G#2", 1167}, {"A2", 1151},  {"A#2", 1131}, {"B2", 1117},
    {"C3", 1097},  {"C#3", 1075}, {"D3", 1058},  {"D#3", 1037}, {"E3", 1015},  {"F3", 1000},
    {"-", 1500},
}};

} // namespace

int32_t MotorModModule::PulseOf(const QString& noteString) {
    const auto found = std::find_if(kPulses.begin(), kPulses.end(), [&](const auto& entry) {
        return noteString == QLatin1String(entry.first);
    });
    return found == kPulses.end() ? 0 : found->second;
}

void MotorModModule::PlayMotorNote(const QString& noteString, double waitTime) {
    SetSpeed(PulseOf(noteString), waitTime);
}

void MotorModModule::SetSpeed(int32_t pulse, double waitTime) {
    d_.log.LogIndentInc(QStringLiteral("MotorModModule.SetSpeed(PULSE:") + QString::number(pulse) +
                        QStringLiteral(", WAITTIME:") + NumText(waitTime) +
                        QStringLiteral(") - START"));
    SendString(QStringLiteral("#0P") + QString::number(pulse));
    const int32_t t = RoundToInt32(waitTime + 15);
    d_.log.LogText(QStringLiteral("MsgWaitObj ") + QString::number(t));
    // A negative wait would be taken for the infinite one.
    d_.sleep.MsgWaitObj(std::max(t, 0));
    if (d_.settings.NoteSilenceRatio < 100) {
        SendString(QStringLiteral("#0P") + QString::number(kStopPulse));
    }
    d_.log.LogIndentDec(QStringLiteral("MotorModModule.SetSpeed() - END"));
}

void MotorModModule::SendString(const QString& text) {
    d_.log.LogText(QStringLiteral("MotorModModule.SendString(") + text + QLatin1Char(')'));
    if (!d_.switches.UseMotor) {
        return;
    }
    if (!d_.port.Write(text.toLatin1() + '\r')) {
        PortLost();
    }
}

void MotorModModule::SendNeutral() {
    if (d_.switches.UseMotor) {
        SendString(QStringLiteral("#0p") + QString::number(kStopPulse));
    }
}

bool MotorModModule::UseMotorCheckClicked(bool ticked) {
    if (ticked && !d_.port.IsOpen()) {
        QString why;
        if (!d_.port.Open(&why)) {
            d_.log.LogText(QStringLiteral("Can't open the com port: ") + why);
            d_.switches.UseMotor = false;
            d_.boxes.Show(kTitle,
                          QStringLiteral("The serial port of the motor controller can't be "
                                         "opened:\n") +
                              why,
                          MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
    }
    if (!ticked) {
        // The motor keeps its last speed otherwise; a port that is gone cannot be told.
        SendNeutral();
        d_.port.Close();
    }
    d_.switches.UseMotor = ticked;
    d_.log.LogText(QStringLiteral("UseMotorCheck clicked - UseMotor -> ") +
                   (ticked ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
    return ticked;
}

void MotorModModule::PortLost() {
    const QString name = d_.port.PortName();
    d_.switches.UseMotor = false;
    d_.port.Close();
    d_.log.LogText(QStringLiteral("The com port stopped taking commands - UseMotor -> FALSE"));
    if (switchedOff_) {
        switchedOff_();
    }
    d_.boxes.Notify(kTitle,
                    QStringLiteral("The serial port ") + name +
                        QStringLiteral(" stopped taking commands (was it unplugged?), so the "
                                       "motor-speed mod has been switched off."),
                    MsgIcon::Exclamation);
}

} // namespace tq
