#pragma once

#include "platform/Clock.h"
#include "platform/EventPump.h"

#include <functional>
#include <map>

namespace tq {

// A clock that only moves when something waits on it, so timing can be tested exactly.
// Its counter runs in nanoseconds (frequency 1e9). The tick count is the elapsed
// milliseconds plus an offset, so a test can place the 32-bit wrap where it likes. The wall
// clock is the counter plus an offset, so a test can set the time of day.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(int64_t startNs = 1'000'000'000, uint32_t tickOffset = 0)
        : nowNs_(startNs), tickOffset_(tickOffset) {}

    int64_t PerformanceCounter() override {
        nowNs_ += readCostNs_;
        return nowNs_;
    }
    int64_t PerformanceFrequency() override { return 1'000'000'000; }
    uint32_t TickCount() override {
        return static_cast<uint32_t>(static_cast<uint64_t>(nowNs_ / 1'000'000) + tickOffset_);
    }

    void SleepUntilCounter(int64_t counter) override {
        if (counter > nowNs_) {
            nowNs_ = counter;
        }
    }

    // The wall clock runs with the counter, from where SetLocalWallClockNs put it.
    int64_t LocalWallClockNs() override { return nowNs_ + wallOffsetNs_; }
    void SetLocalWallClockNs(int64_t ns) { wallOffsetNs_ = ns - nowNs_; }

    int64_t NowNs() const { return nowNs_; }
    double NowMs() const { return static_cast<double>(nowNs_) / 1e6; }
    void AdvanceNs(int64_t ns) { nowNs_ += ns > 0 ? ns : 0; }
    void AdvanceMs(double ms) { AdvanceNs(static_cast<int64_t>(ms * 1e6 + 0.5)); }
    void SetNs(int64_t ns) { nowNs_ = ns; }
    // Each reading of the counter moves it on by this much, as the work between readings
    // would take time on a real clock.
    void SetReadCostNs(int64_t ns) { readCostNs_ = ns; }

private:
    int64_t nowNs_;
    uint32_t tickOffset_;
    int64_t wallOffsetNs_ = 0;
    int64_t readCostNs_ = 0;
};

// An event queue on the virtual clock. Events are scheduled at virtual times; a wait
// advances the clock to the deadline or to the next event, whichever comes first, and
// the event runs when events are processed.
class VirtualEventPump final : public EventPump {
public:
    explicit VirtualEventPump(VirtualClock& clock) : clock_(clock) {}

    // Schedules an event handler to run at the given virtual time (ns).
    void ScheduleAtNs(int64_t timeNs, std::function<void()> handler);
    void ScheduleAtMs(double timeMs, std::function<void()> handler) {
        ScheduleAtNs(static_cast<int64_t>(timeMs * 1e6 + 0.5), std::move(handler));
    }
    // Schedules an event handler to run the next time events are processed.
    void Post(std::function<void()> handler) { ScheduleAtNs(clock_.NowNs(), std::move(handler)); }

    bool WaitForInput(int32_t timeoutMs) override;
    void ProcessPendingEvents() override;

    int WaitCount() const { return waits_; }
    int ProcessCount() const { return passes_; }
    bool HasPendingEvents() const { return !events_.empty(); }

private:
    VirtualClock& clock_;
    std::multimap<int64_t, std::function<void()>> events_;
    int waits_ = 0;
    int passes_ = 0;
};

} // namespace tq
