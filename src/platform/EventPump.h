#pragma once

#include <cstdint>

namespace tq {

// What a non-blocking wait waits on: the user interface's event queue.
class EventPump {
public:
    static constexpr int32_t kInfinite = -1;

    virtual ~EventPump() = default;
    // Blocks until an event arrives or timeoutMs passes (kInfinite: no time-out). Returns
    // true when an event arrived first. Implementations may already dispatch the event
    // that woke them.
    virtual bool WaitForInput(int32_t timeoutMs) = 0;
    // Dispatches every pending event once: input, paint, timers and posted events.
    virtual void ProcessPendingEvents() = 0;
};

} // namespace tq
