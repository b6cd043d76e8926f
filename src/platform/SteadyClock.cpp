#include "platform/SteadyClock.h"

#include <chrono>

namespace tq {

int64_t SteadyClock::PerformanceCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t SteadyClock::TickCount() {
    return static_cast<uint32_t>(PerformanceCounter() / 1'000'000);
}

} // namespace tq
