#pragma once

#include "playback/ToneOutputs.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace tq {

class LogSink;
class MessageBoxes;
class NonLockingSleep;
class SerialPort;
struct PlaySettings;

// The motor-speed mod: each note becomes a servo-pulse command to the controller on the
// serial port, whose channel 0 drives a motor speed controller. The port is open exactly
// while the mod is on.
class MotorModModule final : public MotorToneOutput {
public:
    struct Deps {
        LogSink& log;
        MessageBoxes& boxes;
        NonLockingSleep& sleep;
        SerialPort& port;
        OutputSwitches& switches;
        const PlaySettings& settings; // the note/silence ratio
    };
    explicit MotorModModule(Deps deps) : d_(deps) {}

    static constexpr int32_t kStopPulse = 1470;
    // The pulse width in microseconds of a note from C1 to F3 or "-"; 0 for anything else.
    static int32_t PulseOf(const QString& noteString);

    // MotorToneOutput: sounds one note and returns when it is done.
    void PlayMotorNote(const QString& noteString, double waitTime) override;
    void SetSpeed(int32_t pulse, double waitTime);
    // Sends one command, ended by a carriage return; with the mod off it is only logged.
    void SendString(const QString& text);
    // What FMODBeepStop sends whenever playback stops.
    void SendNeutral();

    // UseMotorCheck's click: opens the port when ticked, stops the motor and closes it when
    // cleared. Returns whether the mod is on (a port that does not open leaves it off).
    bool UseMotorCheckClicked(bool ticked);
    // Called when the mod switches itself off because the port stopped taking commands, so
    // the check box can be cleared.
    void SetSwitchedOff(std::function<void()> switchedOff) {
        switchedOff_ = std::move(switchedOff);
    }

private:
    void PortLost();

    Deps d_;
    std::function<void()> switchedOff_;
};

} // namespace tq
