#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace tq {

class ToneWait;

// The one-tone PC speaker. Beep returns when the tone is over, or sooner when a stop is
// asked while it sounds: a tone longer than a slice lets events in through its ToneWait.
class Speaker {
public:
    static constexpr int32_t kMinFrequency = 37;
    static constexpr int32_t kMaxFrequency = 32767;
    // Events are let in every kSliceMs of a tone; the last stretch of up to
    // kSliceMs + kPreciseTailMs is slept precisely, so short tones keep exact lengths.
    static constexpr int32_t kSliceMs = 10;
    static constexpr int32_t kPreciseTailMs = 5;

    // A clock in nanoseconds and an absolute sleep on it.
    struct ToneClock {
        std::function<int64_t()> nowNs;
        std::function<void(int64_t)> sleepUntilNs;
    };

    virtual ~Speaker() = default;
    // The back end's name: "evdev", "console", "emulated" or "none".
    virtual QString Name() const = 0;
    // Sounds the tone for durationMs and returns when it is over or a stop ended it. A
    // frequency outside 37..32767 returns false at once, without sound.
    virtual bool Beep(int32_t frequency, int32_t durationMs) = 0;
    // Switches any sounding tone off at once.
    virtual void Silence() = 0;
    // Why the speaker has fallen silent for good (its sound output went away), once; empty
    // while it works. Tones still take their time after that.
    virtual QString TakeFailure() { return {}; }

    // Without a ToneWait a tone blocks for its whole length.
    void SetToneWait(ToneWait* wait) { toneWait_ = wait; }

protected:
    // Waits out a tone that was switched on until deadlineNs. After a slice in which an
    // event handler sounded a tone of its own, resume() switches this one on again.
    // Returns false when a stop request ended the wait early; the caller silences.
    bool WaitOutTone(int64_t deadlineNs, const ToneClock& clock,
                     const std::function<void()>& resume);
    // Every Beep that sounds calls this first, so that a tone sounding inside another's
    // wait is noticed.
    void ToneStarting() { ++tonesStarted_; }

private:
    ToneWait* toneWait_ = nullptr;
    uint64_t tonesStarted_ = 0;
};

inline bool IsBeepableFrequency(int32_t frequency) {
    return frequency >= Speaker::kMinFrequency && frequency <= Speaker::kMaxFrequency;
}

} // namespace tq
