#include "mods/SynchroForm.h"
#include "EditorRig.h"
#include "platform/QtNamedTimers.h"
#include "platform/ThreadUrgency.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

constexpr int64_t kSecond = 1'000'000'000;

int64_t At(int hour, int minute, int second, int ms) {
    return ((hour * 3600LL + minute * 60 + second) * 1000 + ms) * 1'000'000;
}

// Notes when the thread is lifted and lowered, on the virtual clock.
class FakeUrgency final : public ThreadUrgency {
public:
    FakeUrgency(EditorRig& rig) : rig_(rig) {}
    bool granted = true;
    QStringList calls;
    bool Raise(QString* how) override {
        calls << QStringLiteral("raise@%1").arg(rig_.ElapsedMs());
        *how = granted ? QStringLiteral("granted") : QStringLiteral("refused");
        return granted;
    }
    void Lower() override { calls << QStringLiteral("lower@%1").arg(rig_.ElapsedMs()); }

private:
    EditorRig& rig_;
};

// The window's logic playing the main window's list through the real sequencer, on the
// virtual clock; the wall clock starts at the given time of day.
struct SynchroRig {
    explicit SynchroRig(int64_t wallNs) {
        rig.clock.SetLocalWallClockNs(wallNs);
        rig.form.SetBPMText("120");
        rig.Load({"Quarter A4 - -"});
        rig.form.SetSynchroHooks({nullptr, [this] { synchro.ReenableWaitButton(); },
                                  [this] { synchro.AfterPlayButtons(); }});
        QObject::connect(&synchro, &SynchroForm::ControlChanged, [this](const QString& name) {
            if (name != QLatin1String("lblCurrentTime")) {
                changes << name;
            }
        });
    }
    QString Snapshot() const {
        const SynchroForm& s = synchro;
        return QStringLiteral("%1 %2|%3 %4|boxes %5|%6")
            .arg(s.btnWaitCaption, s.btnWaitEnabled ? "on" : "off", s.lblWaitingCaption)
            .arg(s.lblWaitingBackColour, 0, 16)
            .arg(s.TimeBoxesEnabled ? "on" : "off", s.lblCurrentTime.left(8)); // no AM/PM
    }

    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump};
    int32_t bufferMs = 0;
    FakeUrgency urgency{rig};
    SynchroForm synchro{{rig.clock, rig.sleep, timers, rig.log, [this] { return bufferMs; },
                         [this] { rig.form.PlayAllButton_Click(); },
                         [this] { rig.form.PlayFromLineButton_Click(); }, &urgency}};
    QStringList changes;
};

TEST(SynchroFormTest, LoadingProposesOneMinuteAheadAtTheCurrentSecond) {
    const struct {
        int64_t wall;
        QStringList boxes;
    } cases[] = {
        {At(10, 20, 5, 300), {"10", "21", "5"}},
        {At(10, 59, 30, 0), {"11", "0", "30"}},
        {At(23, 59, 17, 900), {"0", "0", "17"}},
    };
    for (const auto& c : cases) {
        SynchroRig r(c.wall);
        r.synchro.Form_Load();
        EXPECT_EQ((QStringList{r.synchro.txtHour, r.synchro.txtMinute, r.synchro.txtSecond}),
                  c.boxes);
    }
}

TEST(SynchroFormTest, TheFirstToneStartsWhenTheTargetSecondBegins) {
    const struct {
        const char* what;
        int64_t wall;
        QStringList boxes; // hour, minute, second
        bool inDelay;
        double firstToneMs; // after the wait began
    } cases[] = {
        {"next second", At(10, 0, 58, 400), {"10", "0", "59"}, false, 600},
        {"in delay of a 100 ms buffer", At(10, 0, 58, 400), {"10", "0", "59"}, true, 685},
        {"target passed", At(10, 0, 58, 400), {"9", "30", "0"}, false, 0},
        {"letters count as 0", At(10, 0, 58, 400), {"ab", "0", "0"}, false, 0},
        {"an empty hour is 0", At(0, 0, 58, 400), {"", "0", "59"}, false, 600},
        {"minute 75 goes into the key", At(10, 59, 58, 400), {"10", "75", "0"}, false, 1600},
    };
    for (const auto& c : cases) {
        SynchroRig r(c.wall);
        r.bufferMs = 100;
        r.synchro.SetTxtHour(c.boxes[0]);
        r.synchro.SetTxtMinute(c.boxes[1]);
        r.synchro.SetTxtSecond(c.boxes[2]);
        r.synchro.WindowShown(true);
        r.synchro.SetTxtHour(c.boxes[0]);
        r.synchro.SetTxtMinute(c.boxes[1]);
        r.synchro.SetTxtSecond(c.boxes[2]);
        r.synchro.SetChkStartInDelay(c.inDelay);
        r.rig.At(c.firstToneMs + 100, [&r] { r.rig.form.StopPlayButton_Click(); });
        r.synchro.btnWait_Click();
        ASSERT_FALSE(r.rig.Tones().isEmpty()) << c.what;
        EXPECT_EQ(r.rig.Tones().first(), QStringLiteral("440@%1+250").arg(c.firstToneMs)) << c.what;
    }
}

TEST(SynchroFormTest, AWaitThatPlaysOrIsStoppedShowsItsStatesInOrder) {
    const QString waiting = "Stop waiting on|Currently waiting ff00|boxes off|";
    const QString stopped = "Start waiting on|Currently NOT waiting ff0000|boxes on|";
    const struct {
        double stopWaitingAt; // 0: Stop ends the play at 900 ms instead
        QStringList states;   // at 300 ms, at 700 ms, after the click returns
        QStringList changes;
        int tones;
    } cases[] = {
        {0,
         {waiting + "10:00:58", "Stop waiting off|Playing ffff00|boxes off|10:00:59",
          stopped + "10:00:59"},
         {"lblWaiting", "btnWait", "TimeBoxesEnabled", "btnWait", "lblWaiting", "btnWait",
          "lblWaiting", "btnWait", "TimeBoxesEnabled"},
         1},
        {300,
         {waiting + "10:00:58", stopped + "10:00:59", stopped + "10:00:59"},
         {"lblWaiting", "btnWait", "TimeBoxesEnabled", "lblWaiting", "btnWait", "TimeBoxesEnabled"},
         0},
        {593, // while the last few ms before the second are waited
         {waiting + "10:00:58", stopped + "10:00:59", stopped + "10:00:59"},
         {"lblWaiting", "btnWait", "TimeBoxesEnabled", "lblWaiting", "btnWait", "TimeBoxesEnabled"},
         0},
    };
    for (const auto& c : cases) {
        SynchroRig r(At(10, 0, 58, 400));
        r.synchro.SetTxtHour("10");
        r.synchro.SetTxtMinute("0");
        r.synchro.SetTxtSecond("59");
        r.changes.clear();
        QStringList states;
        r.rig.At(300, [&] { states << r.Snapshot(); });
        if (c.stopWaitingAt > 0) {
            r.rig.At(c.stopWaitingAt, [&r] { r.synchro.btnWait_Click(); });
        }
        r.rig.At(700, [&] { states << r.Snapshot(); });
        r.rig.At(900, [&r] { r.rig.form.StopPlayButton_Click(); });
        r.synchro.btnWait_Click();
        if (c.stopWaitingAt > 0) {
            r.rig.pump.ProcessPendingEvents(); // the rest of the test's script
            r.rig.clock.AdvanceMs(400);
            r.rig.pump.ProcessPendingEvents();
        }
        states << r.Snapshot();
        EXPECT_EQ(states, c.states) << c.stopWaitingAt;
        EXPECT_EQ(r.changes, c.changes) << c.stopWaitingAt;
        EXPECT_EQ(r.rig.Tones().size(), c.tones);
        EXPECT_TRUE(r.synchro.ShouldBeNotWaiting);
        EXPECT_FALSE(r.synchro.CurrentlyWaiting);
    }
}

TEST(SynchroFormTest, AnHourOf24OrMoreIsATimeNeverReached) {
    for (const char* hour : {"24", "25", "24856", "99999999999999"}) {
        SynchroRig r(At(23, 59, 58, 400));
        r.synchro.SetTxtHour(hour);
        r.synchro.SetTxtMinute("0");
        r.synchro.SetTxtSecond("0");
        r.rig.At(3000, [&r] { r.synchro.btnWait_Click(); }); // the user gives up
        r.synchro.btnWait_Click();
        EXPECT_TRUE(r.rig.Tones().isEmpty()) << hour;
        EXPECT_NEAR(r.rig.ElapsedMs(), 3000, 5) << hour;
    }
}

// Shown ten minutes after start-up, the window proposes a minute from then; the delay box
// can be ticked only while the soundcard has an output.
TEST(SynchroFormTest, ShowingTheWindowProposesAFreshTimeAndOffersTheDelayOnlyWithASoundcard) {
    SynchroRig r(At(10, 20, 5, 300));
    r.synchro.Form_Load();
    r.rig.clock.AdvanceMs(10 * 60 * 1000);
    r.synchro.WindowShown(false);
    EXPECT_EQ((QStringList{r.synchro.txtHour, r.synchro.txtMinute, r.synchro.txtSecond}),
              QStringList({"10", "31", "5"}));
    r.synchro.SetChkStartInDelay(true);
    EXPECT_FALSE(r.synchro.chkStartInDelay);
    EXPECT_FALSE(r.synchro.chkStartInDelayTip.isEmpty());
    r.synchro.WindowShown(true);
    r.synchro.SetChkStartInDelay(true);
    EXPECT_TRUE(r.synchro.chkStartInDelay);
}

// The last 100 ms of the wait and the first 200 ms of play run lifted, when the system grants
// it; a wait stopped before then asks for nothing, and one stopped inside it gives it back.
TEST(SynchroFormTest, TheStartAndItsFirstToneRunLiftedWhereTheSystemAllows) {
    const struct {
        bool granted;
        double stopWaitingAt; // 0: not stopped
        QStringList calls;    // ms after the wait began; the second begins at 600
        QString logged;
    } cases[] = {
        {true, 0, {"raise@500", "lower@800"}, "Synchronized start: granted"},
        {false, 0, {"raise@500"}, "Synchronized start: refused"},
        {true, 300, {}, ""},
        {true, 550, {"raise@500", "lower@550"}, "Synchronized start: granted"},
    };
    for (const auto& c : cases) {
        SynchroRig r(At(10, 0, 58, 400));
        r.urgency.granted = c.granted;
        r.synchro.SetTxtHour("10");
        r.synchro.SetTxtMinute("0");
        r.synchro.SetTxtSecond("59");
        if (c.stopWaitingAt > 0) {
            r.rig.At(c.stopWaitingAt, [&r] { r.synchro.btnWait_Click(); });
        }
        r.rig.At(1000, [&r] { r.rig.form.StopPlayButton_Click(); });
        r.synchro.btnWait_Click();
        EXPECT_EQ(r.urgency.calls, c.calls) << c.stopWaitingAt;
        const QStringList said =
            r.rig.log.lines.filter(QStringLiteral("Synchronized start: "), Qt::CaseSensitive);
        EXPECT_EQ(said.isEmpty() ? QString() : said.first().trimmed(), c.logged);
        if (c.stopWaitingAt == 0) {
            EXPECT_EQ(r.rig.Tones().value(0), "440@600+250");
        }
    }
}

} // namespace
} // namespace tq
