#include "platform/RealtimeUrgency.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QVariant>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tq {

namespace {

// The service only grants threads of processes whose real-time CPU time is limited, so a
// runaway real-time thread is stopped; 200 ms of CPU without a pause is far beyond ours.
constexpr rlim_t kRealtimeCpuLimitUs = 200'000;

// The highest priority the process may set itself: any as root, else its limit.
int AllowedPriority() {
    if (geteuid() == 0) {
        return sched_get_priority_max(SCHED_FIFO);
    }
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) {
        return 0;
    }
    return limit.rlim_cur == RLIM_INFINITY ? sched_get_priority_max(SCHED_FIFO)
                                           : static_cast<int>(limit.rlim_cur);
}

} // namespace

bool RealtimeUrgency::Raise(QString* how) {
    if (raised_) {
        return true;
    }
    oldPolicy_ = sched_getscheduler(0);
    sched_getparam(0, &oldParam_);
    const int allowed = AllowedPriority();
    if (allowed >= 1) {
        const sched_param param{std::min(kPriority, allowed)};
        // Applies to the calling thread alone.
        if (sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0) {
            raised_ = true;
            *how = QStringLiteral("real-time scheduling, priority %1").arg(param.sched_priority);
            return true;
        }
    }
    const QString direct = allowed >= 1 ? QString::fromLocal8Bit(std::strerror(errno))
                                        : QStringLiteral("no real-time priority limit");
    QString why;
    if (AskTheRealtimeService(kPriority, &why)) {
        raised_ = true;
        *how = QStringLiteral("real-time scheduling, granted by the desktop's real-time service");
        return true;
    }
    *how = QStringLiteral("no real-time scheduling (%1; the real-time service: %2)")
               .arg(direct, why);
    return false;
}

bool RealtimeUrgency::AskTheRealtimeService(int priority, QString* why) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        *why = QStringLiteral("no system bus");
        return false;
    }
    QDBusInterface kit(QStringLiteral("org.freedesktop.RealtimeKit1"),
                       QStringLiteral("/org/freedesktop/RealtimeKit1"),
                       QStringLiteral("org.freedesktop.RealtimeKit1"), bus);
    if (!kit.isValid()) {
        *why = QStringLiteral("not running");
        return false;
    }
    const QVariant most = kit.property("MaxRealtimePriority");
    if (most.isValid()) {
        priority = std::min(priority, most.toInt());
    }
    rlimit cpu{};
    if (getrlimit(RLIMIT_RTTIME, &cpu) == 0 &&
        (cpu.rlim_max == RLIM_INFINITY || cpu.rlim_max > kRealtimeCpuLimitUs)) {
        cpu.rlim_cur = cpu.rlim_max = kRealtimeCpuLimitUs;
        setrlimit(RLIMIT_RTTIME, &cpu);
    }
    const auto thread = static_cast<qulonglong>(syscall(SYS_gettid));
    const QDBusReply<void> reply =
        kit.call(QStringLiteral("MakeThreadRealtime"), thread, static_cast<uint>(priority));
    if (!reply.isValid()) {
        *why = reply.error().message();
        return false;
    }
    return true;
}

void RealtimeUrgency::Lower() {
    if (!raised_) {
        return;
    }
    // Giving real-time scheduling back is always allowed.
    sched_setscheduler(0, oldPolicy_, &oldParam_);
    raised_ = false;
}

} // namespace tq
