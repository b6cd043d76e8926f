#include "EditorRig.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace tq {
namespace {

class SequencerTest : public testing::Test {
protected:
    EditorRig rig;
    MainForm& form = rig.form;
    void SetUp() override { form.SetBPMText("120"); }
};

TEST_F(SequencerTest, EachLineSoundsForItsRatioAndTheNextStartsOnTheBeat) {
    struct Case {
        int ratio;
        std::initializer_list<const char*> lines;
        double stopAt; // just before the song would start again
        QStringList tones;
    };
    const Case cases[] = {
        {50, {"Quarter C4 - -", "Quarter A4 - -"}, 900, {"262@0+250", "440@500+250"}},
        {100, {"Quarter C4 - -", "Half A4 - -"}, 1400, {"262@0+500", "440@500+1000"}},
        {5, {"1/8 A4 - Dot"}, 300, {"440@0+19"}}, // 0.75 beat x 5% = 18.75 ms
        {50, {"Quarter - - -", "1/8 - A4 -"}, 700, {"440@500+125"}},
        // Triplet beats of 0.3333 end 166.65 ms apart, held to 0.1 ms half to even.
        {50,
         {"Quarter C4 - Tri", "Quarter C4 - Tri", "Quarter A4 - Tri", "1/16 A4 - -"},
         600,
         {"262@0+83", "262@166.6+83", "440@333.3+83", "440@500+62"}},
    };
    for (const Case& c : cases) {
        EditorRig r;
        r.form.SetBPMText("120");
        r.form.SetNoteSilenceRatio(c.ratio);
        r.Load(c.lines);
        r.At(c.stopAt, [&r] { r.form.StopPlayButton_Click(); });
        r.form.PlayAllButton_Click();
        EXPECT_EQ(r.Tones(), c.tones) << c.ratio;
    }
}

TEST_F(SequencerTest, TwoNotesAlternateAndThePhaseCarriesAcrossLines) {
    form.SetNoteSilenceRatio(50);
    // 250 ms of sound with a 30 ms margin: steps at 0..210, eight in all, ending on Note 2.
    rig.Load({"Quarter C4 E4 -", "1/8 G4 A4 -"});
    rig.At(700, [this] { form.StopPlayButton_Click(); });
    form.PlayAllButton_Click();
    const QStringList tones = rig.Tones();
    ASSERT_EQ(tones.size(), 8 + 4);
    EXPECT_EQ(tones.mid(0, 3), QStringList({"262@0+30", "330@30+30", "262@60+30"}));
    EXPECT_EQ(tones[7], "330@210+30");
    // The second line (125 ms of sound from 500) starts with Note 1 again: 8 steps flipped
    // the phase back.
    EXPECT_EQ(tones.mid(8), QStringList({"392@500+30", "440@530+30", "392@560+30", "440@590+30"}));
}

TEST_F(SequencerTest, AtRatio100AlternationRunsToTheLineEndWithoutMargin) {
    form.SetNoteSilenceRatio(100);
    rig.Load({"Quarter C4 E4 -"});
    form.PlayMusic(1, 1, true);
    const QStringList tones = rig.Tones();
    ASSERT_EQ(tones.size(), 17); // 0, 30 .. 480: the last step starts 20 ms before the end
    EXPECT_EQ(tones.last(), "262@480+30");
}

TEST_F(SequencerTest, AtRatio100ALineEndingTooCloseToTheNextSetsA20MsMarginForTheRest) {
    form.SetNoteSilenceRatio(100);
    rig.Load({"Quarter C4 E4 -", "Quarter G4 A4 -"});
    rig.At(1400, [this] { form.StopPlayButton_Click(); });
    form.PlayAllButton_Click();
    const QStringList tones = rig.Tones();
    // Line 1 alternates to 510 ms, 10 ms past the next line's start: no wait is started,
    // and from then on this play keeps 20 ms clear of each line's end.
    ASSERT_GE(tones.size(), 17 + 16 + 1);
    EXPECT_EQ(tones[16], "262@480+30");
    EXPECT_EQ(tones[17], "440@510+30"); // the phase carried over: Note 2 first
    EXPECT_EQ(tones[32], "392@960+30");
    // 10 ms before the next line again: no wait, line 1 follows at once.
    EXPECT_EQ(tones[33], "330@990+30");
}

TEST_F(SequencerTest, WaitsPollIn15MsStepsAndTheLastStepEndsAtTheTarget) {
    form.SetNoteSilenceRatio(50);
    rig.Load({"Quarter C4 - -", "Quarter D4 - -"});
    rig.At(600, [this] { form.StopPlayButton_Click(); });
    form.PlayMusic(1, 2, false);
    QStringList expected;
    for (int i = 0; i < 16; ++i) {
        expected << "MsgWaitObj            15";
    }
    // 250 + 16 x 15 = 490: 10 ms to go, of which the last one is slept precisely and
    // logged on its own, so the lines add up to the whole 250 ms wait.
    expected << "MsgWaitObj             9"
             << "MsgWaitObj             1";
    EXPECT_EQ(rig.log.codes.mid(1, 18), expected);
    EXPECT_EQ(rig.Tones(), QStringList({"262@0+250", "294@500+250"}));
}

// A step that runs late (a handler that takes 3.25 ms inside it) is logged as long as it
// took, not as the 15 ms it asked for, and each line's tone and waits still add up to its 500 ms.
TEST_F(SequencerTest, TheToneCodeLinesOfALineAddUpToItsLengthWhenAStepRunsLate) {
    form.SetNoteSilenceRatio(50);
    rig.Load({"Quarter C4 - -", "Quarter D4 - -", "Quarter - - -"});
    rig.At(300, [this] { rig.clock.AdvanceMs(3.25); });
    form.TheSequencer().SetPassLimit(1);
    form.PlayMusic(1, 3, false);
    QList<double> sums;
    for (const QString& code : std::as_const(rig.log.codes)) {
        const QStringList f = code.split(QRegularExpression("[ ,']+"), Qt::SkipEmptyParts);
        if (f.first() == "Beep") {
            sums << f[2].toDouble();
        } else if (!sums.isEmpty()) {
            sums.last() += f[1].toDouble();
        }
    }
    ASSERT_EQ(sums.size(), 2); // the silent line's waits count toward the second
    EXPECT_NEAR(sums[0], 500, 0.1);
    EXPECT_NEAR(sums[1], 1000, 0.1);
    const bool lateStepShown =
        std::any_of(rig.log.codes.begin(), rig.log.codes.end(), [](const QString& c) {
            return c.startsWith("MsgWaitObj") && c.mid(10).toDouble() > 15;
        });
    EXPECT_TRUE(lateStepShown);
}

TEST_F(SequencerTest, StopEndsPlayAtTheNextCheck) {
    struct Case {
        double stopAt;
        double endsBy;
        int tones;
    };
    // During a wait: within one 15 ms step. During a beep: within one 10 ms slice of it.
    const Case cases[] = {{300, 315, 1}, {100, 110, 1}, {520, 530, 2}};
    for (const Case& c : cases) {
        EditorRig r;
        r.form.SetBPMText("120");
        r.Load({"Quarter C4 - -", "Quarter D4 - -"});
        r.At(c.stopAt, [&r] { r.form.StopPlayButton_Click(); });
        r.form.PlayAllButton_Click();
        EXPECT_LE(r.ElapsedMs(), c.endsBy) << c.stopAt;
        EXPECT_EQ(r.Tones().size(), c.tones) << c.stopAt;
        EXPECT_FALSE(r.form.State().MusicIsPlaying);
        EXPECT_TRUE(r.form.PlayButtonsEnabled);
        EXPECT_TRUE(r.form.PianoKeysEnabled);
        EXPECT_FALSE(r.form.StopPlayButtonEnabled);
    }
}

TEST_F(SequencerTest, ALongToneEndsAtStopAndTheNextPlayStartsAfresh) {
    form.Settings().BPM = 1; // as a song file may set it: a whole note lasts four minutes
    rig.Load({"Whole C4 - -"});
    rig.At(1000, [this] { form.StopPlayButton_Click(); });
    form.PlayAllButton_Click();
    EXPECT_LE(rig.ElapsedMs(), 1010);
    EXPECT_EQ(rig.speaker.CutShort(), 1);
    // A stop asked before a play does not cut the next one short.
    form.SetBPMText("120");
    rig.Load({"Quarter D4 - -"});
    form.PlayMusic(1, 1, true);
    EXPECT_EQ(rig.speaker.CutShort(), 1);
    EXPECT_EQ(rig.Tones().last(), QStringLiteral("294@1000+250"));
}

TEST_F(SequencerTest, LinesOfNoLengthNeverHoldUpTheWindow) {
    // A song of lines whose length is unknown sounds nothing and ends after one pass.
    rig.Load({"Quater F4 - -", "Quater G4 - -"});
    form.PlayAllButton_Click();
    EXPECT_TRUE(rig.Tones().isEmpty());
    EXPECT_FALSE(form.State().MusicIsPlaying);

    // Mixed with real lines, they run behind the clock; a Stop among them is still seen
    // within a few milliseconds, although each line follows the last at once.
    EditorRig r;
    r.form.SetBPMText("120");
    std::vector<MusicLine> song(3000, MusicLine{"Quater", "F4", {}, {}});
    song.front().Length = QStringLiteral("Quarter");
    r.form.List().AppendLines(std::move(song));
    r.clock.SetReadCostNs(100'000); // each reading of the clock takes 0.1 ms
    r.At(700, [&r] { r.form.StopPlayButton_Click(); });
    r.form.PlayAllButton_Click();
    EXPECT_LE(r.ElapsedMs(), 710);
    EXPECT_LT(r.form.List().GetSelectedIndex(), 3000);
}

TEST_F(SequencerTest, WholeSongPlayRepeatsWithContinuousTiming) {
    rig.Load({"Quarter C4 - -", "Quarter D4 - -"});
    rig.At(2100, [this] { form.StopPlayButton_Click(); });
    form.PlayAllButton_Click();
    EXPECT_EQ(rig.Tones(), QStringList({"262@0+250", "294@500+250", "262@1000+250", "294@1500+250",
                                        "262@2000+250"}));
}

TEST_F(SequencerTest, APassLimitEndsARepeatingPlayAfterTheLastLineOfTheLastPass) {
    rig.Load({"Quarter C4 - -", "Quarter D4 - -"});
    form.TheSequencer().SetPassLimit(2);
    form.PlayAllButton_Click();
    EXPECT_EQ(rig.Tones(),
              QStringList({"262@0+250", "294@500+250", "262@1000+250", "294@1500+250"}));
    EXPECT_EQ(rig.ElapsedMs(), 2000); // the last line's time is waited out
}

TEST_F(SequencerTest, EachUnplayableNoteIsReportedOncePerPlayAndLoggedAfterwards) {
    rig.Load({"Quarter H4 - -", "Quarter - X4 -", "Quarter H4 - -"});
    form.TheSequencer().SetPassLimit(3);
    const auto reports = [this] {
        QStringList out;
        for (const QString& text : rig.BoxTexts()) {
            out << text.section(QLatin1Char('\n'), 0, 0);
        }
        return out;
    };
    form.PlayAllButton_Click();
    EXPECT_EQ(reports(), QStringList({"LetterAndOctave is *H4*", "LetterAndOctave is *X4*"}));
    EXPECT_TRUE(rig.log.Trimmed().join('|').contains(
        "LetterToNoteNum function (shown before in this play): LetterAndOctave is *X4*"));
    // A new play reports again; a clicked key is outside any play and always reports.
    form.MainList_ItemClick(1);
    form.MainList_ItemClick(1);
    EXPECT_EQ(reports().size(), 4);
    EXPECT_EQ(rig.boxes.Boxes().back().title, "LetterToNoteNum function");
}

TEST_F(SequencerTest, ALineClickDuringPlayPlaysThatLineOnceAndEndsTheOuterPlay) {
    rig.Load({"Quarter C4 - -", "Quarter D4 - -", "Quarter E4 - -"});
    rig.At(300, [this] { form.MainList_ItemClick(3); });
    form.PlayAllButton_Click();
    // The clicked line starts its own clock at 300 ms; no further line follows.
    EXPECT_EQ(rig.Tones(), QStringList({"262@0+250", "330@300+250"}));
    EXPECT_FALSE(form.State().MusicIsPlaying);
    EXPECT_EQ(form.List().GetSelectedIndex(), 3);
}

TEST_F(SequencerTest, ErasingLinesDuringPlayTriggersTheEndPointMessages) {
    rig.Load({"Quarter C4 - -", "Quarter D4 - -", "Quarter E4 - -"});
    rig.At(700, [this] { form.List().RemoveLine(3); });
    form.PlayAllButton_Click();
    EXPECT_EQ(rig.BoxTexts(),
              QStringList({"EndPoint is 3\nHowever, that line doesn't exist.\n"
                           "(Changing it to last line in the list)",
                           "EndPoint changed to 2",
                           "EndPoint is 2\nHowever, somehow this program now is about to try to "
                           "look at line 3.\n(Stopping playing)"}));
    for (const auto& b : rig.boxes.Boxes()) {
        EXPECT_EQ(b.title, "PlayMusic sub");
        EXPECT_EQ(b.icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(rig.Tones().size(), 2);
}

TEST_F(SequencerTest, GuardsOnTheStartAndEndLines) {
    rig.Load({"Quarter C4 - -"});
    form.PlayMusic(5, 5, true);
    form.PlayMusic(1, 4, false);
    EXPECT_EQ(rig.BoxTexts(),
              QStringList({"StartPoint is 5\nHowever, that line doesn't exist.\n(Exiting sub)",
                           "EndPoint is 4\nHowever, that line doesn't exist.\n"
                           "(Changing it to last line in the list)",
                           "EndPoint changed to 1"}));
    EXPECT_TRUE(rig.Tones().isEmpty());
    EXPECT_FALSE(form.State().MusicIsPlaying);
}

TEST_F(SequencerTest, ALateLineIsShortenedAndAPassedOneSkipped) {
    rig.Load({"Quarter C4 - -", "Quarter D4 - -", "Quarter E4 - -", "Quarter F4 - -"});
    // Slow work in the window: 640 ms pass inside one event, during the first wait.
    rig.At(260, [this] { rig.clock.AdvanceMs(640); });
    rig.At(1900, [this] { form.StopPlayButton_Click(); });
    form.PlayAllButton_Click();
    // Line 2 (sound 500..750) is passed; line 3 is on time; nothing drifts.
    EXPECT_EQ(rig.Tones(), QStringList({"262@0+250", "330@1000+250", "349@1500+250"}));
}

TEST_F(SequencerTest, EmptyListAndEditsDuringPlayLeaveTheWindowUsable) {
    form.PlayAllButton_Click();
    form.PlayFromLineButton_Click();
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    EXPECT_TRUE(form.PlayButtonsEnabled);
    rig.Load({"Quarter C4 - -", "Quarter D4 - -"});
    rig.At(100, [this] { form.List().ClearLines(); });
    form.PlayAllButton_Click();
    EXPECT_FALSE(form.State().MusicIsPlaying);
    EXPECT_EQ(rig.BoxTexts().last(),
              "EndPoint is 0\nHowever, somehow this program now is about to try to look at line "
              "2.\n(Stopping playing)");
}

TEST_F(SequencerTest, PlayFromLineStartsAtTheSelectedLineOrTheFirst) {
    rig.Load({"Quarter C4 - -", "Quarter D4 - -"});
    form.List().SelectLine(2);
    rig.At(400, [this] { form.StopPlayButton_Click(); });
    form.PlayFromLineButton_Click();
    EXPECT_EQ(rig.Tones(), QStringList({"294@0+250"}));
    form.List().DeselectSelected();
    rig.speaker.Clear();
    rig.t0 = rig.clock.NowNs();
    rig.At(400, [this] { form.StopPlayButton_Click(); });
    form.PlayFromLineButton_Click();
    EXPECT_EQ(rig.Tones(), QStringList({"262@0+250"}));
}

TEST_F(SequencerTest, WhichNotesSoundFollowsThePlayAndClickBoxes) {
    struct Case {
        bool play1, play2, click1, click2, singleLine;
        QStringList tones;
    };
    const Case cases[] = {
        {true, false, true, true, false, {"262@0+250"}},
        {false, true, true, true, false, {"330@0+250"}},
        {false, false, true, true, false, {}},
        {false, false, false, true, true, {"330@0+250"}},
        {true, true, true, false, true, {"262@0+250"}},
    };
    for (const Case& c : cases) {
        EditorRig r;
        r.form.SetBPMText("120");
        r.form.SetPlayNote1Check(c.play1);
        r.form.SetPlayNote2Check(c.play2);
        r.form.SetClickPlayNote1Check(c.click1);
        r.form.SetClickPlayNote2Check(c.click2);
        r.Load({"Quarter C4 E4 -"});
        r.At(400, [&r] { r.form.StopPlayButton_Click(); });
        r.form.PlayMusic(1, 1, c.singleLine);
        EXPECT_EQ(r.Tones(), c.tones);
    }
}

TEST_F(SequencerTest, TheLogTracesAPlay) {
    rig.Load({"1/8 C#4 - Dot"});
    form.PlayMusic(1, 1, true);
    const QStringList lines = rig.log.Trimmed();
    for (const char* expected :
         {"PlayMusic() - START", "BeforePlayMusic() - START", "StartPoint = 1", "EndPoint = 1",
          "StartTickTime = 1", "CurrentLineLength = 0.75", "CurrentNote1 = \"C#4\"",
          "CurrentNote2 = \"\"", "'Waiting for next note' section - START",
          "MusicIsPlaying -> FALSE", "Respond to any input", "AfterPlayMusic() - START",
          "FMODBeepStop()", "PlayMusic() - END"}) {
        EXPECT_TRUE(lines.contains(QString::fromLatin1(expected))) << expected;
    }
    EXPECT_TRUE(lines.contains("QueryPerformanceCounter returned 100000"));
}

} // namespace
} // namespace tq
