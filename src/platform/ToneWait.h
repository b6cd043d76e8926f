#pragma once

#include <cstdint>

namespace tq {

// What a tone does while it sounds for longer than a moment: it lets the window's events
// in, so that Stop, closing and signals are seen, and ends early once a stop is asked.
class ToneWait {
public:
    virtual ~ToneWait() = default;
    // A count that grows with every stop request (Stop, shut-down, a signal). A wait
    // notes it when it starts and ends once it has changed.
    virtual uint64_t StopRequests() const = 0;
    // Lets events in for at most maxMs, returning sooner when one arrives.
    virtual void LetEventsIn(int32_t maxMs) = 0;
};

} // namespace tq
