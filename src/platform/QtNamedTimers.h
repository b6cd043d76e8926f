#pragma once

#include "platform/NamedTimers.h"

#include <QHash>

#include <memory>

class QTimer;

namespace tq {

// Named timers on precise Qt timers.
class QtNamedTimers final : public NamedTimers {
public:
    QtNamedTimers();
    ~QtNamedTimers() override;
    void Add(const QString& key, int intervalMs, bool enabled) override;
    void SetInterval(const QString& key, int intervalMs) override;
    void SetEnabled(const QString& key, bool enabled) override;
    bool IsEnabled(const QString& key) const override;
    int Interval(const QString& key) const override;
    void TickSoon(const QString& key) override;

private:
    QHash<QString, std::shared_ptr<QTimer>> timers_;
};

// Named timers on the virtual clock: each tick is an event of the virtual event pump at
// its virtual time, so timed behaviour can be tested and rendered exactly.
class VirtualEventPump;
class VirtualClock;
class VirtualNamedTimers final : public NamedTimers {
public:
    VirtualNamedTimers(VirtualClock& clock, VirtualEventPump& pump) : clock_(clock), pump_(pump) {}
    void Add(const QString& key, int intervalMs, bool enabled) override;
    void SetInterval(const QString& key, int intervalMs) override;
    void SetEnabled(const QString& key, bool enabled) override;
    bool IsEnabled(const QString& key) const override;
    int Interval(const QString& key) const override;
    void TickSoon(const QString& key) override;

private:
    struct Timer {
        int intervalMs = 1;
        bool enabled = false;
        int generation = 0; // a tick scheduled under an older generation is dropped
    };
    void Schedule(const QString& key);

    VirtualClock& clock_;
    VirtualEventPump& pump_;
    QHash<QString, Timer> timers_;
};

} // namespace tq
