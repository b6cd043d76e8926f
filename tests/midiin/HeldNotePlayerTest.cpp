#include "EditorRig.h"
#include "midiin/HeldNoteWindow.h"
#include "platform/QtNamedTimers.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

// A feeding window whose tick is one step of the cycling player.
class CyclingWindow final : public HeldNoteWindow {
public:
    CyclingWindow(MainForm& main, NamedTimers& timers) : HeldNoteWindow(main, timers, "t") {}
    int steps = 0;
    std::function<void()> duringStep;

protected:
    void Step() override {
        ++steps;
        if (duringStep) {
            duringStep();
        }
        main_.PlayLiveMIDIInput(*this);
    }
};

class HeldNotePlayerTest : public testing::Test {
protected:
    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump};
    CyclingWindow window{rig.form, timers};

    void Hold(std::initializer_list<int> notes) {
        for (int note : notes) {
            window.NoteMessage(0x90, note, 100);
        }
    }
    void Steps(int n) {
        for (int i = 0; i < n; ++i) {
            rig.form.PlayLiveMIDIInput(window);
        }
    }
    QStringList Frequencies() const {
        QStringList out;
        for (const auto& t : rig.speaker.SoundedTones()) {
            out << QString::number(t.frequency);
        }
        return out;
    }
};

TEST_F(HeldNotePlayerTest, EachNoteIsPlayedOnceInTheOrderTheCycleReachesIt) {
    window.OnlyOnceCheck_Click(true);
    Hold({57, 60, 64}); // A4, C5, E5 as the player names them: 440, 523, 659 Hz
    Steps(5);
    EXPECT_EQ(Frequencies(), QStringList({"440", "659", "523"}));
    EXPECT_EQ(window.HeldState(60), 2);
    // Pressed again while held: no new pulse; released and pressed: one more.
    window.NoteMessage(0x90, 60, 90);
    Steps(2);
    window.NoteMessage(0x80, 60, 0);
    window.NoteMessage(0x90, 60, 90);
    Steps(2);
    EXPECT_EQ(Frequencies(), QStringList({"440", "659", "523", "523"}));
}

TEST_F(HeldNotePlayerTest, TheGridShows32NotesAndCountsTheRest) {
    for (int note = 30; note < 63; ++note) {
        Hold({note});
    }
    window.SetAutoTimeCheck(true);
    Steps(33);
    const HeldNoteGrid& grid = window.Grid();
    EXPECT_EQ(grid.captions[0], "F#2");
    EXPECT_TRUE(grid.visible[31]);
    EXPECT_EQ(grid.more, "(1 more)");
    EXPECT_TRUE(grid.moreVisible);
    EXPECT_EQ(grid.heldCount, " (33)");
    // The 33rd note, off the grid, still had its pulse, and no label was marked for it.
    EXPECT_EQ(rig.speaker.SoundedTones().back().frequency, 587); // note 62, "D5"
    EXPECT_EQ(std::count(grid.playing.begin(), grid.playing.end(), true), 0);
}

TEST_F(HeldNotePlayerTest, TheAutomaticPulseTimeSharesThirtyMillisecondsBetweenTheHeldNotes) {
    window.SetAutoTimeCheck(true);
    const std::pair<int, int> cases[] = {{0, 15}, {1, 15}, {2, 15}, {3, 10}, {4, 8},  {5, 6},
                                         {6, 5},  {12, 2}, {20, 2}, {30, 1}, {60, 0}, {61, 0}};
    for (const auto& [held, pulse] : cases) {
        window.AllNotesOff();
        for (int note = 0; note < held; ++note) {
            Hold({20 + note});
        }
        Steps(1);
        EXPECT_EQ(rig.form.Settings().AlternateTime, pulse) << held;
        EXPECT_EQ(rig.form.AlternateTimeText.Text, QString::number(pulse));
        EXPECT_EQ(rig.form.AlternateTimeText.Invalid, pulse < 15) << held;
    }
    // Off, the alternation time stays as the user set it.
    window.SetAutoTimeCheck(false);
    rig.form.SetAlternateTimeText("40");
    Steps(1);
    EXPECT_EQ(rig.form.Settings().AlternateTime, 40);
}

TEST_F(HeldNotePlayerTest, NoteOnAndOffChangeTheTableOnlyOnListenedChannels) {
    struct Case {
        int status, note, velocity;
        uint8_t before, after;
    };
    window.ListenChannelCheck_Click(3, false); // unticking releases everything
    const Case cases[] = {
        {0x90, 60, 100, 0, 1}, {0x90, 60, 100, 2, 2}, {0x90, 60, 0, 1, 0},
        {0x80, 60, 64, 2, 0},  {0x93, 60, 100, 0, 0}, {0x83, 60, 0, 1, 1},
        {0xB0, 60, 100, 0, 0}, {0xFE, 0, 0, 1, 1},    {0x9F, 127, 1, 0, 1},
    };
    for (const Case& c : cases) {
        window.AllNotesOff();
        if (c.before > 0) {
            window.NoteMessage(0x90, c.note, 1);
            if (c.before == 2) {
                window.SetMIDINoteHasPlayed(c.note);
            }
        }
        window.NoteMessage(c.status, c.note, c.velocity);
        EXPECT_EQ(window.HeldState(c.note), c.after) << c.status << " " << c.note;
    }
    Hold({40, 41});
    window.ListenChannelCheck_Click(9, false);
    EXPECT_EQ(window.HeldState(40), 0);
}

TEST_F(HeldNotePlayerTest, TheTimerDropsATickThatComesDuringAStepAndReArmsWithTheAlternationTime) {
    timers.SetTickHandler([this](const QString& key) { window.cTmr_Timer(key); });
    timers.Add("t", 2, true);
    window.duringStep = [this] { window.cTmr_Timer("t"); }; // a tick let through mid-step
    rig.form.SetAlternateTimeText("25");
    Hold({60});
    rig.sleep.MsgWaitObj(100);
    // Ticks at 2, 27, 52 and 77: each 25 ms after the last one began, right after its
    // 25 ms pulse, so the pulses leave no gap.
    EXPECT_EQ(window.steps, 4);
    const auto tones = rig.speaker.SoundedTones();
    for (size_t i = 1; i < tones.size(); ++i) {
        EXPECT_EQ(tones[i].startNs, tones[i - 1].startNs + 25'000'000) << i;
    }
    EXPECT_EQ(timers.Interval("t"), 25);
    // 60 and more notes pulse for 0 ms: the timer still runs at 1 ms, and nothing hangs.
    window.SetAutoTimeCheck(true);
    for (int note = 0; note < 60; ++note) {
        Hold({note});
    }
    rig.sleep.MsgWaitObj(20);
    EXPECT_EQ(timers.Interval("t"), 1);
}

} // namespace
} // namespace tq
