#pragma once

#include "core/Decimal4.h"
#include "platform/Clock.h"

namespace tq {

// A reading of the high-resolution clock: the raw counter and the tick time in seconds
// (counter / frequency, held to four places). Only differences of tick times mean
// anything.
struct TickReading {
    int64_t counter = 0;
    Decimal4 seconds;
};

inline TickReading ReadTickTime(Clock& clock, int64_t tickFreq) {
    const int64_t counter = clock.PerformanceCounter();
    return {counter, Decimal4::FromRatio(counter, tickFreq)};
}

// The counter frequency as the logs show it: stored bit for bit into the four-place
// type, so its text reads as the count divided by 10000.
inline QString RawCountText(int64_t count) {
    return Decimal4::FromRaw(count).ToString();
}

} // namespace tq
