#include "platform/SteadyClock.h"

#include <cerrno>
#include <chrono>
#include <ctime>

namespace tq {

int64_t SteadyClock::PerformanceCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t SteadyClock::TickCount() {
    return static_cast<uint32_t>(PerformanceCounter() / 1'000'000);
}

void SteadyClock::SleepUntilCounter(int64_t counter) {
    // steady_clock is CLOCK_MONOTONIC on Linux, so the counter is its nanoseconds.
    const timespec deadline{static_cast<time_t>(counter / 1'000'000'000),
                            static_cast<long>(counter % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

int64_t SteadyClock::LocalWallClockNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return (static_cast<int64_t>(now.tv_sec) + local.tm_gmtoff) * 1'000'000'000 + now.tv_nsec;
}

} // namespace tq
