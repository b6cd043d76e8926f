#pragma once

#include "playback/PollingWait.h"

#include <functional>

namespace tq {

class LogSink;
class NonLockingSleep;
class ToneDispatcher;
struct PlaySettings;
struct PlayerState;

// Clicks the tempo: a 20 ms tone every beat on the absolute clock, 1000 Hz on the accent
// (the second click and then every TimeSig clicks), 500 Hz otherwise. A click of the
// button while a run waits starts a new run; the older one ends when it resumes, because
// the generation number changed.
class Metronome {
public:
    struct Deps {
        const PlaySettings& settings;
        PlayerState& state;
        ToneDispatcher& tones;
        NonLockingSleep& sleep;
        LogSink& log;
        std::function<void(bool)> setBeepLabelVisible;
        std::function<void(bool)> setButtonLit;
    };
    explicit Metronome(Deps deps) : d_(std::move(deps)), wait_(d_.sleep, d_.log, d_.state) {}

    void MetronomeButton_Click();
    // A new tempo restarts the time base of a running metronome.
    void RestartTimeBase();

private:
    void RunLoop();

    Deps d_;
    PollingWait wait_;
};

} // namespace tq
