#include "platform/QtNamedTimers.h"

#include "platform/VirtualClock.h"

#include <QTimer>

#include <algorithm>

namespace tq {

namespace {

int AtLeastOneMs(int intervalMs) {
    // A 0 ms timer would tick on every pass of the event loop and spin a core.
    return std::max(intervalMs, 1);
}

} // namespace

QtNamedTimers::QtNamedTimers() = default;
QtNamedTimers::~QtNamedTimers() = default;

void QtNamedTimers::Add(const QString& key, int intervalMs, bool enabled) {
    auto timer = std::make_shared<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(AtLeastOneMs(intervalMs));
    QObject::connect(timer.get(), &QTimer::timeout, [this, key] { Tick(key); });
    timers_.insert(key, timer);
    SetEnabled(key, enabled);
}

void QtNamedTimers::SetInterval(const QString& key, int intervalMs) {
    if (const auto it = timers_.constFind(key); it != timers_.constEnd()) {
        (*it)->setInterval(AtLeastOneMs(intervalMs)); // restarts a running timer
    }
}

void QtNamedTimers::SetEnabled(const QString& key, bool enabled) {
    if (const auto it = timers_.constFind(key); it != timers_.constEnd()) {
        if (!enabled) {
            (*it)->stop();
        } else if (!(*it)->isActive()) {
            (*it)->start();
        }
    }
}

bool QtNamedTimers::IsEnabled(const QString& key) const {
    const auto it = timers_.constFind(key);
    return it != timers_.constEnd() && (*it)->isActive();
}

int QtNamedTimers::Interval(const QString& key) const {
    const auto it = timers_.constFind(key);
    return it != timers_.constEnd() ? (*it)->interval() : 0;
}

void QtNamedTimers::TickSoon(const QString& key) {
    const auto it = timers_.constFind(key);
    if (it == timers_.constEnd()) {
        return;
    }
    QTimer::singleShot(0, it->get(), [this, key] {
        if (IsEnabled(key)) {
            Tick(key);
        }
    });
}

void VirtualNamedTimers::Add(const QString& key, int intervalMs, bool enabled) {
    timers_.insert(key, Timer{AtLeastOneMs(intervalMs), false, 0});
    SetEnabled(key, enabled);
}

void VirtualNamedTimers::SetInterval(const QString& key, int intervalMs) {
    const auto it = timers_.find(key);
    if (it == timers_.end()) {
        return;
    }
    it->intervalMs = AtLeastOneMs(intervalMs);
    if (it->enabled) {
        ++it->generation;
        Schedule(key);
    }
}

void VirtualNamedTimers::SetEnabled(const QString& key, bool enabled) {
    const auto it = timers_.find(key);
    if (it == timers_.end() || it->enabled == enabled) {
        return;
    }
    it->enabled = enabled;
    ++it->generation;
    if (enabled) {
        Schedule(key);
    }
}

bool VirtualNamedTimers::IsEnabled(const QString& key) const {
    const auto it = timers_.constFind(key);
    return it != timers_.constEnd() && it->enabled;
}

int VirtualNamedTimers::Interval(const QString& key) const {
    const auto it = timers_.constFind(key);
    return it != timers_.constEnd() ? it->intervalMs : 0;
}

void VirtualNamedTimers::TickSoon(const QString& key) {
    pump_.Post([this, key] {
        if (IsEnabled(key)) {
            Tick(key);
        }
    });
}

void VirtualNamedTimers::Schedule(const QString& key) {
    const Timer& t = timers_[key];
    const int generation = t.generation;
    pump_.ScheduleAtNs(clock_.NowNs() + int64_t{t.intervalMs} * 1'000'000, [this, key, generation] {
        const auto it = timers_.find(key);
        if (it == timers_.end() || !it->enabled || it->generation != generation) {
            return;
        }
        Schedule(key); // periodic, from this tick's time
        Tick(key);
    });
}

} // namespace tq
