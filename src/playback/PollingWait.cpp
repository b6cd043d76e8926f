#include "playback/PollingWait.h"

#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "core/TickTime.h"
#include "platform/Clock.h"
#include "playback/PlayerState.h"
#include "playback/ToneDispatcher.h"

#include <algorithm>

namespace tq {

int64_t PollingWait::ReadClock() {
    const TickReading r = ReadTickTime(sleep_.TheClock(), state_.TickFreq);
    state_.CurrentTickTime = r.seconds;
    return r.counter;
}

bool PollingWait::UntilMoving(const std::function<Decimal4()>& targetNow, Decimal4 margin,
                              const std::function<bool()>& stopRequested,
                              const std::function<void()>& afterRead) {
    // Each step's tone-code line gives the time it really took, from one reading of the
    // clock to the next, so the lines add up to the whole wait however late a step ends.
    ReadClock();
    Decimal4 counted =
        std::min(countFrom_.value_or(state_.CurrentTickTime), state_.CurrentTickTime);
    countFrom_.reset();
    for (Decimal4 target = targetNow(); state_.CurrentTickTime + margin < target;
         target = targetNow()) {
        const Decimal4 left = target - margin - state_.CurrentTickTime;
        // Whole milliseconds left (the clock reads to 0.1 ms), less one: the event loop
        // may wake a little late, and the rest is slept precisely.
        const int64_t wholeMs = left.Raw() / 10 - kPreciseMs;
        if (wholeMs >= 1) {
            sleep_.MsgWaitObj(wholeMs >= kStepMs ? kStepMs : static_cast<int32_t>(wholeMs));
        } else {
            const int64_t counter = static_cast<int64_t>(
                (static_cast<__int128>((target - margin).Raw()) * state_.TickFreq) / 10000);
            sleep_.TheClock().SleepUntilCounter(counter);
        }
        const bool stop = stopRequested();
        ReadClock();
        log_.WriteCode(ToneDispatcher::WaitCodeLine(
            (Decimal4::FromInt(1000) * (state_.CurrentTickTime - counted)).ToDouble()));
        counted = state_.CurrentTickTime;
        if (stop) {
            return false;
        }
        if (afterRead) {
            afterRead();
        }
    }
    return true;
}

} // namespace tq
