#pragma once

#include "platform/Speaker.h"
#include "platform/VirtualClock.h"

#include <utility>
#include <vector>

namespace tq {

// A speaker on the virtual clock: each beep advances the clock by its duration (less when a
// stop ends it early) and is recorded with its start time. Beeps the real speaker would refuse are
// recorded too, marked as not sounded, and take no time.
class RecordingSpeaker final : public Speaker {
public:
    struct Tone {
        int64_t startNs;
        int32_t frequency;
        int32_t durationMs;
        bool sounded;
    };

    explicit RecordingSpeaker(VirtualClock& clock) : clock_(clock) {}

    QString Name() const override { return QStringLiteral("recording"); }
    bool Beep(int32_t frequency, int32_t durationMs) override;
    void Silence() override { ++silences_; }
    QString TakeFailure() override { return std::exchange(failure_, QString()); }
    // The next TakeFailure gives why, as a speaker whose sound output went away.
    void Fail(const QString& why) { failure_ = why; }

    const std::vector<Tone>& Tones() const { return tones_; }
    std::vector<Tone> SoundedTones() const;
    int Silences() const { return silences_; }
    // Tones that a stop request ended before their time.
    int CutShort() const { return cutShort_; }
    void Clear() { tones_.clear(); }

private:
    VirtualClock& clock_;
    std::vector<Tone> tones_;
    int silences_ = 0;
    int cutShort_ = 0;
    QString failure_;
};

} // namespace tq
