#pragma once

#include "core/Decimal4.h"

#include <functional>
#include <optional>

namespace tq {

class Clock;
class LogSink;
class NonLockingSleep;
struct PlayerState;

// Waits for an absolute tick time the way the players do: in steps of MsgWaitObj that
// keep the window alive, re-reading the clock after each. Steps are 15 ms; the last one
// is shortened to end at the target, and the fraction of a millisecond that whole-
// millisecond waits cannot reach is slept precisely. Each MsgWaitObj step writes its
// tone-code line with the interval it really waited.
class PollingWait {
public:
    static constexpr int32_t kStepMs = 15;
    // The last stretch slept precisely, without servicing the window.
    static constexpr int32_t kPreciseMs = 1;

    PollingWait(NonLockingSleep& sleep, LogSink& log, PlayerState& state)
        : sleep_(sleep), log_(log), state_(state) {}

    // Waits while CurrentTickTime + margin < target. After every step, stopRequested()
    // is asked (true ends the wait: returns false) and then the clock is read into
    // CurrentTickTime and afterRead() runs.
    bool Until(Decimal4 target, Decimal4 margin, const std::function<bool()>& stopRequested,
               const std::function<void()>& afterRead = {}) {
        return UntilMoving([target] { return target; }, margin, stopRequested, afterRead);
    }
    // The same with a target that is worked out afresh before every step, for a wait on
    // fields that a handler running inside the wait may change.
    bool UntilMoving(const std::function<Decimal4()>& target, Decimal4 margin,
                     const std::function<bool()>& stopRequested,
                     const std::function<void()>& afterRead = {});

    // Reads the clock into CurrentTickTime; returns the raw counter.
    int64_t ReadClock();
    // The next wait's tone-code lines count from this time rather than from the wait's
    // first reading, when it is earlier: the nominal end of the tone logged before the
    // wait, so that the time between the two is not lost from the log.
    void CountNextWaitFrom(Decimal4 time) { countFrom_ = time; }

private:
    NonLockingSleep& sleep_;
    LogSink& log_;
    PlayerState& state_;
    std::optional<Decimal4> countFrom_;
};

} // namespace tq
