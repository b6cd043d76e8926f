#pragma once

#include "platform/ThreadUrgency.h"

#include <sched.h>

namespace tq {

// Real-time (first-in, first-out) scheduling for the calling thread: taken directly where
// the process may (root, or a real-time priority limit from limits.conf or the audio
// group), otherwise asked of the desktop's real-time service over the system bus. Children
// started while it is raised run at the ordinary class.
class RealtimeUrgency final : public ThreadUrgency {
public:
    // Modest: above every ordinary thread, below the sound servers' own threads.
    static constexpr int kPriority = 10;

    bool Raise(QString* how) override;
    void Lower() override;

private:
    bool AskTheRealtimeService(int priority, QString* why);

    bool raised_ = false;
    int oldPolicy_ = SCHED_OTHER;
    sched_param oldParam_{};
};

} // namespace tq
