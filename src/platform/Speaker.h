#pragma once

#include <QString>

#include <cstdint>

namespace tq {

// The one-tone PC speaker. Beep blocks until the tone is over.
class Speaker {
public:
    static constexpr int32_t kMinFrequency = 37;
    static constexpr int32_t kMaxFrequency = 32767;

    virtual ~Speaker() = default;
    // The back end's name: "evdev", "console", "emulated" or "none".
    virtual QString Name() const = 0;
    // Sounds the tone for durationMs and returns when it is over. A frequency outside
    // 37..32767 returns false at once, without sound.
    virtual bool Beep(int32_t frequency, int32_t durationMs) = 0;
    // Switches any sounding tone off at once.
    virtual void Silence() = 0;
};

inline bool IsBeepableFrequency(int32_t frequency) {
    return frequency >= Speaker::kMinFrequency && frequency <= Speaker::kMaxFrequency;
}

} // namespace tq
