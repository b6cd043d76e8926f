#include "platform/QtEventPump.h"
#include "core/NonLockingSleep.h"
#include "platform/SteadyClock.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(QtEventPump, TimersAndPostedEventsRunDuringAWaitThatStillLastsItsInterval) {
    SteadyClock clock;
    QtEventPump pump;
    NonLockingSleep sleep(clock, pump);
    int timerRuns = 0;
    QTimer repeating;
    repeating.setInterval(2);
    QObject::connect(&repeating, &QTimer::timeout, [&timerRuns] { ++timerRuns; });
    repeating.start();
    bool posted = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&posted] { posted = true; }, Qt::QueuedConnection);
    const uint32_t start = clock.TickCount();
    EXPECT_EQ(sleep.MsgWaitObj(30), NonLockingSleep::kTimeout);
    EXPECT_GE(clock.TickCount() - start, 30u);
    EXPECT_TRUE(posted);
    EXPECT_GE(timerRuns, 2);
}

TEST(QtEventPump, AZeroWaitProcessesWhatIsPending) {
    SteadyClock clock;
    QtEventPump pump;
    NonLockingSleep sleep(clock, pump);
    bool posted = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&posted] { posted = true; }, Qt::QueuedConnection);
    EXPECT_EQ(sleep.MsgWaitObj(0), NonLockingSleep::kTimeout);
    EXPECT_TRUE(posted);
}

} // namespace
} // namespace tq
