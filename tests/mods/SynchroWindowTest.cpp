#include "mods/SynchroWindow.h"
#include "CapturingLog.h"
#include "core/NonLockingSleep.h"
#include "mods/SynchroForm.h"
#include "platform/QtNamedTimers.h"
#include "platform/VirtualClock.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(SynchroWindowTest, TypingAndClicksReachTheFormAndAPassedTargetShowsPlaying) {
    VirtualClock clock;
    VirtualEventPump pump{clock};
    NonLockingSleep sleep{clock, pump};
    VirtualNamedTimers timers{clock, pump};
    CapturingLog log;
    QStringList shown; // the wait label while the play runs
    SynchroWindow* window = nullptr;
    clock.SetLocalWallClockNs(int64_t{10 * 3600 + 30} * 1'000'000'000);
    SynchroForm form{{clock, sleep, timers, log, [] { return 0; },
                      [&] {
                          shown << window->findChild<QLabel*>("lblWaiting")->text()
                                << window->findChild<QPushButton*>("btnWait")->text();
                      },
                      nullptr}};
    form.WindowShown(true); // a soundcard with an output: the delay box can be ticked
    SynchroWindow w(form);
    window = &w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Synchronized Play Settings"));
    EXPECT_EQ(w.findChild<QLineEdit*>("txtMinute")->text(), QStringLiteral("1"));

    auto* hour = w.findChild<QLineEdit*>("txtHour");
    hour->clear();
    QTest::keyClicks(hour, "9");
    QTest::mouseClick(w.findChild<QCheckBox*>("chkStartInDelay"), Qt::LeftButton);
    EXPECT_EQ(form.txtHour, QStringLiteral("9"));
    EXPECT_TRUE(form.chkStartInDelay);

    QTest::mouseClick(w.findChild<QPushButton*>("btnWait"), Qt::LeftButton);
    EXPECT_EQ(shown, (QStringList{"Playing", "Stop waiting"}));
}

} // namespace
} // namespace tq
