#pragma once

#include <cstdint>

namespace tq {

// The program's time sources: a high-resolution counter with its frequency (read together
// they give seconds) and a millisecond tick count that wraps around every 2^32 ms.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t PerformanceCounter() = 0;
    virtual int64_t PerformanceFrequency() = 0;
    virtual uint32_t TickCount() = 0;
    // Blocks without servicing anything until the counter reaches the value. Used only
    // for the last fraction of a millisecond of a wait.
    virtual void SleepUntilCounter(int64_t counter) = 0;
    // The wall clock in local time: nanoseconds since 1970-01-01 00:00 of the local zone,
    // so its remainder by a day is the time of day.
    virtual int64_t LocalWallClockNs() = 0;
};

} // namespace tq
