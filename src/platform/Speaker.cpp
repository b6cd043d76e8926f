#include "platform/Speaker.h"

#include "platform/ToneWait.h"

namespace tq {

bool Speaker::WaitOutTone(int64_t deadlineNs, const ToneClock& clock,
                          const std::function<void()>& resume) {
    constexpr int64_t kMsNs = 1'000'000;
    if (toneWait_) {
        const uint64_t stops = toneWait_->StopRequests();
        for (int64_t left = deadlineNs - clock.nowNs(); left > (kSliceMs + kPreciseTailMs) * kMsNs;
             left = deadlineNs - clock.nowNs()) {
            const uint64_t started = tonesStarted_;
            toneWait_->LetEventsIn(kSliceMs);
            if (toneWait_->StopRequests() != stops) {
                return false;
            }
            if (tonesStarted_ != started && resume) {
                resume();
            }
        }
    }
    clock.sleepUntilNs(deadlineNs);
    return true;
}

} // namespace tq
