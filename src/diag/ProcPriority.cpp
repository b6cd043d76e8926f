#include "diag/ProcPriority.h"

#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace tq {

namespace {

int NiceOf(PriorityClass c) {
    switch (c) {
    case PriorityClass::Idle:
        return 19;
    case PriorityClass::BelowNormal:
        return 10;
    case PriorityClass::Normal:
        return 0;
    case PriorityClass::AboveNormal:
        return -5;
    case PriorityClass::High:
        return -10;
    case PriorityClass::Realtime:
        return -20;
    }
    return 0;
}

PriorityClass ClassOf(int nice) {
    if (nice >= 15) {
        return PriorityClass::Idle;
    }
    if (nice >= 5) {
        return PriorityClass::BelowNormal;
    }
    if (nice > -5) {
        return PriorityClass::Normal;
    }
    if (nice > -10) {
        return PriorityClass::AboveNormal;
    }
    if (nice > -20) {
        return PriorityClass::High;
    }
    return PriorityClass::Realtime;
}

} // namespace

uint32_t SetProcessPriority(int32_t processId, PriorityClass priority) {
    const id_t who = processId == 0 ? static_cast<id_t>(getpid()) : static_cast<id_t>(processId);
    setpriority(PRIO_PROCESS, who, NiceOf(priority));
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, who);
    if (nice == -1 && errno != 0) {
        return 0;
    }
    return static_cast<uint32_t>(ClassOf(nice));
}

} // namespace tq
