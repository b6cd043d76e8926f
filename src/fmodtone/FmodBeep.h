#pragma once

#include "fmodtone/engine/SoundEngine.h"
#include "playback/ToneOutputs.h"

#include <cstdint>
#include <functional>

namespace tq {

class FmodOptions;
class LogSink;
class MessageBoxes;
class NonLockingSleep;

// The soundcard beep: one oscillator runs for ever on a paused channel, and a tone
// retunes the channel's playback rate and unpauses it for the tone's time. Owned by the
// main window, which hands it to the tone dispatcher as its soundcard output.
class FmodBeep final : public FmodToneOutput {
public:
    static constexpr float kBeepVolume = 0.18f;

    FmodBeep(snd::SoundEngine& engine, LogSink& log, MessageBoxes& boxes, NonLockingSleep& sleep,
             OutputSwitches& switches);

    // Start-up: the availability test (an audio output opens), then the system, the
    // oscillator and its paused channel. Returns FMODAvailable; when it is true the
    // main window enables UseFMODCheck and UseVoiceCheck.
    bool SetUp();
    // Shut-down: closes and releases the system if it was created.
    void CloseSystem();

    void FMODBeep(int32_t frequency, double durationMs, bool noStop, bool noWait) override;
    void FMODBeepStop();
    void ChangeDSPType(int32_t code);
    // The output's buffering in milliseconds, with the figures written to the debug log.
    int32_t GetFMODBufferLength();

    // UseFMODCheck's click handler.
    void UseFMODCheckClicked(bool ticked);

    void SetOptions(FmodOptions* options) { options_ = options; }
    // What FMODBeepStop sends to the motor when the motor mod is on.
    void SetMotorNeutral(std::function<void()> send) { motorNeutral_ = std::move(send); }

    bool FMODAvailable() const { return available_; }
    snd::Handle System() const { return system_; }
    snd::Handle BeepDSP() const { return beepDsp_; }
    snd::Handle BeepChannel() const { return beepChannel_; }
    double DSPBaseRate() const { return dspBaseRate_; }
    int32_t DSPType() const { return dspType_; }
    snd::SoundEngine& Engine() { return engine_; }

private:
    bool Check(int32_t result);

    snd::SoundEngine& engine_;
    LogSink& log_;
    MessageBoxes& boxes_;
    NonLockingSleep& sleep_;
    OutputSwitches& switches_;
    FmodOptions* options_ = nullptr;
    std::function<void()> motorNeutral_;

    bool available_ = false;
    snd::Handle system_ = 0;
    snd::Handle beepDsp_ = 0;
    snd::Handle beepChannel_ = 0;
    double dspBaseRate_ = 0.0;
    int32_t dspType_ = 0;
    int32_t result_ = 0;
};

} // namespace tq
