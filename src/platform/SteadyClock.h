#pragma once

#include "platform/Clock.h"

namespace tq {

// The real clock: the monotonic steady clock in nanoseconds (frequency 1e9), and its
// milliseconds as the wrapping 32-bit tick count.
class SteadyClock final : public Clock {
public:
    int64_t PerformanceCounter() override;
    int64_t PerformanceFrequency() override { return 1'000'000'000; }
    uint32_t TickCount() override;
    void SleepUntilCounter(int64_t counter) override;
    int64_t LocalWallClockNs() override;
};

} // namespace tq
