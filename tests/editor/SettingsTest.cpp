#include "EditorRig.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(Settings, TempoTextIsValidatedAndStopsPlay) {
    struct Case {
        const char* text;
        const char* shown;
        bool orange;
        int bpm;
        bool stops;
    };
    const Case cases[] = {
        {"39", "39", true, 140, true},        {"600", "600", false, 600, true},
        {"601", "601", true, 600, true},      {"120.5", "120.5", false, 120, true},
        {"121.5", "121.5", false, 122, true}, {"", "", false, 122, false},
        {"abc", "122", false, 122, true},
    };
    EditorRig r;
    for (const Case& c : cases) {
        r.form.State().MusicIsPlaying = true;
        r.form.SetBPMText(QString::fromLatin1(c.text));
        EXPECT_EQ(r.form.BPMText.Text, c.shown) << c.text;
        EXPECT_EQ(r.form.BPMText.Invalid, c.orange) << c.text;
        EXPECT_EQ(r.form.Settings().BPM, c.bpm) << c.text;
        EXPECT_EQ(r.form.State().MusicIsPlaying, !c.stops) << c.text;
    }
    r.form.BPMUpDown_Step(+1);
    EXPECT_EQ(r.form.BPMText.Text, "127");
}

TEST(Settings, AlternateTimeRatioAndTimeSignature) {
    EditorRig r;
    struct Case {
        const char* text;
        bool orange;
        int value;
    };
    const Case cases[] = {{"14", true, 30},
                          {"2001", true, 30},
                          {"15", false, 15},
                          {"2000", false, 2000},
                          {"x", false, 2000}};
    for (const Case& c : cases) {
        r.form.State().MusicIsPlaying = true;
        r.form.SetAlternateTimeText(QString::fromLatin1(c.text));
        EXPECT_EQ(r.form.AlternateTimeText.Invalid, c.orange) << c.text;
        EXPECT_EQ(r.form.Settings().AlternateTime, c.value) << c.text;
        EXPECT_TRUE(r.form.State().MusicIsPlaying); // not stopped
    }
    EXPECT_EQ(r.form.AlternateTimeText.Text, "2000");

    std::vector<int> observed;
    r.form.SetRatioObserver([&observed](int v) { observed.push_back(v); });
    for (auto [value, label] : {std::pair{5, "05%"}, {95, "95%"}, {100, "100%"}, {200, "100%"}}) {
        r.form.SetNoteSilenceRatio(value);
        EXPECT_EQ(r.form.NoteSilenceRatioLabel, label);
    }
    EXPECT_EQ(observed, (std::vector<int>{5, 95, 100, 100}));
    r.form.SetTimeSigSlider(7);
    EXPECT_EQ(r.form.lblTimeSig, "7");
    EXPECT_EQ(r.form.Settings().TimeSig, 7);
}

TEST(Settings, HelpButtonsShowTheirInformationBoxes) {
    EditorRig r;
    const char* buttons[] = {"NoUpdateHButton",   "UseBeatHButton",     "UseCircuitBentHButton",
                             "UseFMODHButton",    "UseMIDIFileHButton", "UseMIDIInHButton",
                             "UseMIDIOutHButton", "UsePortaHButton",    "UseSynchroHButton",
                             "UseVoiceHButton"};
    for (const char* b : buttons) {
        r.form.HelpButton_Click(QString::fromLatin1(b));
    }
    ASSERT_EQ(r.boxes.Boxes().size(), 10u);
    for (const auto& box : r.boxes.Boxes()) {
        EXPECT_EQ(box.icon, MsgIcon::Information);
        EXPECT_FALSE(box.text.isEmpty());
    }
    EXPECT_EQ(r.boxes.Boxes()[7].title, "Using Piptone Portamento");
    EXPECT_EQ(r.boxes.Boxes()[7].text,
              "This is only for when you're playing notes on the keyboard in realtime. \n\n"
              "It makes the piptone's pitch gradually fall or rise to the note which you've "
              "clicked.");
    EXPECT_TRUE(r.boxes.Boxes()[1].text.contains(" (or on \r\nevery other beat"));
}

TEST(Settings, DoNotUpdateFreezesTheDisplayDuringPlayAndAsksAboutTheBeat) {
    EditorRig r;
    r.form.UseBeatCheck.Checked = true;
    r.boxes.Answer(MsgAnswer::No);
    r.form.SetNoUpdateCheck(true);
    EXPECT_FALSE(r.form.NoUpdateCheck.Checked);
    EXPECT_EQ(r.boxes.Boxes().back().title, "Disable 'Play a beat sound'?");
    r.boxes.Answer(MsgAnswer::Yes);
    r.form.SetNoUpdateCheck(true);
    EXPECT_TRUE(r.form.Settings().UseNoUpdate);
    EXPECT_FALSE(r.form.UseBeatCheck.Checked);

    r.Load({"Quarter C4 - -", "Quarter D4 - -"});
    r.At(900, [&r] { r.form.StopPlayButton_Click(); });
    r.form.PlayAllButton_Click();
    EXPECT_EQ(r.form.Position().Labels().PlayBar, "001");
    EXPECT_EQ(r.form.Position().Labels().PlaySig, "01.00"); // only the start was shown
}

TEST(Settings, MutingThePiptoneWaitsInsteadOfBeeping) {
    EditorRig r;
    r.form.SetBPMText("120");
    r.form.SetMutePiptoneCheck(true);
    r.Load({"Quarter C4 - -"});
    r.At(400, [&r] { r.form.StopPlayButton_Click(); });
    r.form.PlayAllButton_Click();
    EXPECT_TRUE(r.Tones().isEmpty());
    EXPECT_TRUE(r.log.Trimmed().contains("MutePiptone clicked - MutePCSpeaker -> TRUE"));
    EXPECT_TRUE(r.log.codes.contains("MsgWaitObj           250"));
}

} // namespace
} // namespace tq
