#include "platform/VirtualClock.h"

namespace tq {

void VirtualEventPump::ScheduleAtNs(int64_t timeNs, std::function<void()> handler) {
    events_.emplace(timeNs, std::move(handler));
}

bool VirtualEventPump::WaitForInput(int32_t timeoutMs) {
    ++waits_;
    const int64_t now = clock_.NowNs();
    const bool infinite = timeoutMs < 0;
    const int64_t deadline = infinite ? INT64_MAX : now + int64_t{timeoutMs} * 1'000'000;
    if (!events_.empty() && events_.begin()->first <= deadline) {
        clock_.SetNs(std::max(now, events_.begin()->first));
        return true;
    }
    if (infinite) {
        // Nothing will ever arrive: report a time-out rather than hang the test.
        return false;
    }
    clock_.SetNs(deadline);
    return false;
}

void VirtualEventPump::ProcessPendingEvents() {
    ++passes_;
    // Handlers may schedule further events or wait themselves; take one at a time. Only
    // what was due when the pass began runs, as in Qt's loop: a handler that posts
    // another for the time it has reached must not keep one pass going for ever.
    const int64_t due = clock_.NowNs();
    while (!events_.empty() && events_.begin()->first <= due) {
        auto handler = std::move(events_.begin()->second);
        events_.erase(events_.begin());
        handler();
    }
}

} // namespace tq
