#include "EditorRig.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(Beat, BeatSoundPlaysExactlyThreeFallingTonesOf15Ms) {
    EditorRig r;
    PlayTheBeat(r.tones);
    EXPECT_EQ(r.Tones(), QStringList({"250@0+15", "162@15+15", "106@30+15"}));
}

TEST(Beat, PlayBeatIfDueSoundsOnWholeBeatsOnlyAndOnOddOnesWhenChosen) {
    struct Case {
        double position; // whole notes, in 4/4
        const char* sig;
        bool oddOnly;
        qsizetype tones;
    };
    const Case cases[] = {
        {0.5, "03.00", true, 3},   {0.75, "04.00", true, 0},   {0.625, "03.50", true, 0},
        {0.75, "04.00", false, 3}, {0.625, "03.50", false, 0},
    };
    for (const Case& c : cases) {
        EditorRig r;
        r.Load({"Quarter C4 - -"});
        r.form.Position().ShowPlayPos(c.position);
        ASSERT_EQ(r.form.Position().Labels().PlaySig, c.sig);
        c.oddOnly ? r.form.Beat().Option1_Click() : r.form.Beat().optBeatAll_Click();
        r.form.SetUseBeatCheck(true);
        r.form.PlayBeatIfDue();
        EXPECT_EQ(r.Tones().size(), c.tones) << c.sig << " odd only " << c.oddOnly;
    }
}

TEST(Beat, TickingTheBeatOverAFrozenDisplayAsksAndNoKeepsItOff) {
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        EditorRig r;
        r.form.SetNoUpdateCheck(true);
        EXPECT_TRUE(r.form.Beat().lblDisabledVisible);
        r.boxes.Answer(answer);
        r.form.SetUseBeatCheck(true);
        const bool yes = answer == MsgAnswer::Yes;
        ASSERT_EQ(r.boxes.Boxes().size(), 1U);
        EXPECT_EQ(r.boxes.Boxes()[0].title, "Info about playing a beat sound");
        EXPECT_EQ(r.form.UseBeatCheck.Checked, yes);
        EXPECT_EQ(r.form.UseBeat, yes);
        EXPECT_EQ(r.form.NoUpdateCheck.Checked, !yes);
        EXPECT_EQ(r.form.Beat().lblDisabledVisible, !yes);
    }
}

TEST(CircuitBent, EachTickInBentModePlaysFifteenRandomNotesOf15Ms) {
    EditorRig r;
    r.form.SetMIDIToNoteString([](int note) {
        return QStringList{
                   "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"}[note % 12] +
               QString::number(note / 12);
    });
    r.form.SetRandomSource([] { return 0.5; }); // 63.5 rounds to note 64, "E5"
    r.form.BendTimer_Timer();
    EXPECT_TRUE(r.Tones().isEmpty());
    r.form.SetUseCircuitBentCheck(true);
    r.form.BendTimer_Timer();
    const QStringList tones = r.Tones();
    ASSERT_EQ(tones.size(), 15);
    EXPECT_EQ(tones.front(), "659@0+15");
    EXPECT_EQ(tones.back(), "659@210+15");
}

} // namespace
} // namespace tq
