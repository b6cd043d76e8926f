#include "core/NonLockingSleep.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

constexpr int64_t kMs = 1'000'000;

TEST(NonLockingSleep, WrappingArithmeticAndExpiry) {
    EXPECT_EQ(NonLockingSleep::AddWrapping(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(NonLockingSleep::AddWrapping(-1, 16), 15);
    EXPECT_EQ(NonLockingSleep::AddWrapping(INT32_MIN, -1), INT32_MAX);
    EXPECT_EQ(NonLockingSleep::SubtractWrapping(INT32_MIN + 5, INT32_MAX - 4), 10);
    struct Case {
        int32_t remaining;
        int32_t interval;
        bool expired;
    };
    const Case cases[] = {
        {15, 15, false}, {0, 15, false}, {-1, 15, true},        {16, 15, true},
        {0, 0, false},   {-1, 0, true},  {INT32_MIN, 15, true}, {1000, INT32_MAX, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NonLockingSleep::HasExpired(c.remaining, c.interval), c.expired)
            << c.remaining << " of " << c.interval;
    }
}

TEST(NonLockingSleep, WaitsTheIntervalWhileServicingEventsThatKeepArriving) {
    VirtualClock clock;
    VirtualEventPump pump(clock);
    const int64_t start = clock.NowNs();
    int handled = 0;
    // Mouse moves every millisecond, for longer than the wait.
    for (int i = 1; i <= 40; ++i) {
        pump.ScheduleAtNs(start + i * kMs, [&handled] { ++handled; });
    }
    NonLockingSleep sleep(clock, pump);
    EXPECT_EQ(sleep.MsgWaitObj(15), NonLockingSleep::kTimeout);
    EXPECT_EQ(clock.NowNs(), start + 15 * kMs);
    EXPECT_EQ(handled, 15);
}

TEST(NonLockingSleep, AZeroWaitStillProcessesPendingInputOnce) {
    VirtualClock clock;
    VirtualEventPump pump(clock);
    int handled = 0;
    pump.Post([&handled] { ++handled; });
    NonLockingSleep sleep(clock, pump);
    const int64_t start = clock.NowNs();
    EXPECT_EQ(sleep.MsgWaitObj(0), NonLockingSleep::kTimeout);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(clock.NowNs(), start);
}

TEST(NonLockingSleep, ADeadlineAcrossTheTickCountWrapStillExpiresOnTime) {
    for (uint32_t ticksBeforeWrap : {1u, 5u, 14u, 15u, 16u}) {
        // Tick count starts ticksBeforeWrap ms before it wraps to 0.
        VirtualClock clock(0, static_cast<uint32_t>(0x1'0000'0000ULL - ticksBeforeWrap));
        VirtualEventPump pump(clock);
        for (int i = 1; i < 30; i += 3) {
            pump.ScheduleAtNs(i * kMs, [] {});
        }
        NonLockingSleep sleep(clock, pump);
        EXPECT_EQ(sleep.MsgWaitObj(15), NonLockingSleep::kTimeout);
        EXPECT_EQ(clock.NowNs(), 15 * kMs) << ticksBeforeWrap;
    }
}

TEST(NonLockingSleep, AStopRequestedDuringTheWaitIsSeenAfterIt) {
    VirtualClock clock;
    VirtualEventPump pump(clock);
    bool playing = true;
    pump.ScheduleAtNs(clock.NowNs() + 7 * kMs, [&playing] { playing = false; });
    NonLockingSleep sleep(clock, pump);
    sleep.MsgWaitObj(15);
    EXPECT_FALSE(playing);
}

TEST(NonLockingSleep, HandlersMayWaitInsideAWait) {
    VirtualClock clock;
    VirtualEventPump pump(clock);
    NonLockingSleep sleep(clock, pump);
    const int64_t start = clock.NowNs();
    int64_t innerEnd = 0;
    pump.ScheduleAtNs(start + 5 * kMs, [&] {
        sleep.MsgWaitObj(20);
        innerEnd = clock.NowNs();
    });
    sleep.MsgWaitObj(15);
    EXPECT_EQ(innerEnd, start + 25 * kMs);
    // The outer wait had expired while the inner one ran; it returns at once.
    EXPECT_EQ(clock.NowNs(), start + 25 * kMs);
}

} // namespace
} // namespace tq
