#pragma once

#include "platform/ToneWait.h"

#include <atomic>
#include <cstdint>

namespace tq {

class Clock;
class EventPump;

// A wait of a number of milliseconds that keeps the user interface alive: input, paint,
// timers and the program's own handlers run while it waits, so a Stop click becomes
// visible to the waiting player at its next check. A stop request (Stop, shut-down, a
// signal) ends every wait in progress, here and in the tones that wait through it.
class NonLockingSleep final : public ToneWait {
public:
    static constexpr int32_t kInfinite = -1;
    static constexpr int32_t kTimeout = 258;
    // The longest stretch spent waiting for input without looking at stop requests: a
    // signal does not wake the event loop.
    static constexpr int32_t kSliceMs = 10;

    NonLockingSleep(Clock& clock, EventPump& pump) : clock_(clock), pump_(pump) {}

    // Waits intervalMs (kInfinite: until an event ends it, which never happens without
    // handles) on the wrapping 32-bit tick count and returns kTimeout when it has run out
    // or a stop request came in.
    int32_t MsgWaitObj(int32_t intervalMs);

    // Ends the waits in progress. Safe from any thread.
    void RequestStop() { stops_.fetch_add(1, std::memory_order_relaxed); }

    // ToneWait
    uint64_t StopRequests() const override { return stops_.load(std::memory_order_relaxed); }
    void LetEventsIn(int32_t maxMs) override;

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
    std::atomic<uint64_t> stops_{0};
};

} // namespace tq
