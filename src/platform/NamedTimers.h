#pragma once

#include <QString>

#include <functional>

namespace tq {

// A timer object holding timers by name, each with its own interval and enable switch,
// whose ticks arrive on the user interface's thread with the timer's name. An interval
// below 1 ms runs as 1 ms. Setting the interval of a running timer starts its period
// anew, so a handler that re-arms its timer gets the next tick one interval later.
class NamedTimers {
public:
    virtual ~NamedTimers() = default;
    virtual void Add(const QString& key, int intervalMs, bool enabled) = 0;
    virtual void SetInterval(const QString& key, int intervalMs) = 0;
    virtual void SetEnabled(const QString& key, bool enabled) = 0;
    virtual bool IsEnabled(const QString& key) const = 0;
    virtual int Interval(const QString& key) const = 0;
    // One extra tick of an enabled timer as soon as the event loop comes round, for a
    // tick that is due now: an interval cannot be shorter than 1 ms.
    virtual void TickSoon(const QString& key) = 0;
    void SetTickHandler(std::function<void(const QString&)> handler) { tick_ = std::move(handler); }

protected:
    void Tick(const QString& key) {
        if (tick_) {
            tick_(key);
        }
    }

private:
    std::function<void(const QString&)> tick_;
};

} // namespace tq
