#include "core/NonLockingSleep.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"

namespace tq {

namespace {

int32_t TickNow(Clock& clock) {
    return static_cast<int32_t>(clock.TickCount());
}

} // namespace

int32_t NonLockingSleep::AddWrapping(int32_t a, int32_t b) {
    // When the signed sum overflows, it is formed as ((a + 2^31) + b) + 2^31 (a > 0) or
    // ((a - 2^31) + b) - 2^31 (otherwise), which is the sum modulo 2^32: the deadline
    // wraps like the tick count itself.
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t NonLockingSleep::SubtractWrapping(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

bool NonLockingSleep::HasExpired(int32_t remainingMs, int32_t intervalMs) {
    // Same sign: more left than the whole interval means the count has passed the
    // deadline and wrapped past the interval. Different sign: expired once negative.
    if ((remainingMs ^ intervalMs) > 0) {
        return remainingMs > intervalMs;
    }
    return remainingMs < 0;
}

int32_t NonLockingSleep::MsgWaitObj(int32_t intervalMs) {
    const bool infinite = intervalMs == kInfinite;
    const int32_t deadline = infinite ? 0 : AddWrapping(TickNow(clock_), intervalMs);
    const uint64_t stops = StopRequests();
    for (;;) {
        int32_t remaining = kSliceMs;
        if (!infinite) {
            remaining = SubtractWrapping(deadline, TickNow(clock_));
            if (HasExpired(remaining, intervalMs)) {
                return kTimeout;
            }
        }
        const int32_t slice = remaining > kSliceMs ? kSliceMs : remaining;
        const bool inputArrived = pump_.WaitForInput(slice);
        pump_.ProcessPendingEvents();
        if (StopRequests() != stops) {
            return kTimeout;
        }
        if (!inputArrived && slice == remaining && !infinite) {
            return kTimeout;
        }
    }
}

void NonLockingSleep::LetEventsIn(int32_t maxMs) {
    pump_.WaitForInput(maxMs);
    pump_.ProcessPendingEvents();
}

} // namespace tq
