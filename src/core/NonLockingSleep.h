#pragma once

#include <cstdint>

namespace tq {

class Clock;
class EventPump;

// A wait of a number of milliseconds that keeps the user interface alive: input, paint,
// timers and the program's own handlers run while it waits, so a Stop click becomes
// visible to the waiting player at its next check.
class NonLockingSleep {
public:
    static constexpr int32_t kInfinite = -1;
    static constexpr int32_t kTimeout = 258;

    NonLockingSleep(Clock& clock, EventPump& pump) : clock_(clock), pump_(pump) {}

    // Waits intervalMs (kInfinite: until an event ends it, which never happens without
    // handles) on the wrapping 32-bit tick count and returns kTimeout when it has run out.
    int32_t MsgWaitObj(int32_t intervalMs);

    Clock& TheClock() { return clock_; }
    EventPump& Pump() { return pump_; }

    // Two's-complement arithmetic on the 32-bit tick count, wrapping like the count.
    static int32_t AddWrapping(int32_t a, int32_t b);
    static int32_t SubtractWrapping(int32_t a, int32_t b);
    // Whether a wait of intervalMs with remainingMs left has run out.
    static bool HasExpired(int32_t remainingMs, int32_t intervalMs);

private:
    Clock& clock_;
    EventPump& pump_;
};

} // namespace tq
