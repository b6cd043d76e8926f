#include "platform/RecordingSpeaker.h"

namespace tq {

bool RecordingSpeaker::Beep(int32_t frequency, int32_t durationMs) {
    const bool ok = IsBeepableFrequency(frequency);
    tones_.push_back({clock_.NowNs(), frequency, durationMs, ok});
    if (ok && durationMs > 0) {
        ToneStarting();
        const ToneClock clock{[this] { return clock_.NowNs(); },
                              [this](int64_t ns) { clock_.SleepUntilCounter(ns); }};
        if (!WaitOutTone(clock_.NowNs() + int64_t{durationMs} * 1'000'000, clock, {})) {
            ++cutShort_;
        }
    }
    return ok;
}

std::vector<RecordingSpeaker::Tone> RecordingSpeaker::SoundedTones() const {
    std::vector<Tone> out;
    for (const Tone& t : tones_) {
        if (t.sounded) {
            out.push_back(t);
        }
    }
    return out;
}

} // namespace tq
