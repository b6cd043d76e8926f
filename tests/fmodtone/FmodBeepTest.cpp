#include "BeepRig.h"
#include "SignalMeasure.h"

#include "fmodtone/FmodErrorCheck.h"
#include "fmodtone/FmodOptions.h"
#include "platform/RecordingSpeaker.h"
#include "playback/ToneDispatcher.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

using test::BeepRig;

class FmodBeepTest : public testing::Test {
protected:
    BeepRig rig;
    FmodOptions options{rig.beep, rig.switches};

    void SetUp() override { rig.beep.SetOptions(&options); }
    bool Paused() {
        bool paused = false;
        EXPECT_EQ(rig.engine.Channel_GetPaused(rig.beep.BeepChannel(), &paused), snd::kOk);
        return paused;
    }
    float ChannelFrequency() {
        float f = 0.0f;
        EXPECT_EQ(rig.engine.Channel_GetFrequency(rig.beep.BeepChannel(), &f), snd::kOk);
        return f;
    }
    float Param(int index) {
        float v = 0.0f;
        EXPECT_EQ(rig.engine.DSP_GetParameter(rig.beep.BeepDSP(), index, &v), snd::kOk);
        return v;
    }
    QStringList BoxTexts() {
        QStringList t;
        for (const auto& b : rig.boxes.Boxes()) {
            t << b.text;
        }
        return t;
    }
};

TEST_F(FmodBeepTest, SetUpFindsTheOutputAndLeavesAPausedSquareReady) {
    ASSERT_TRUE(rig.beep.SetUp());
    EXPECT_TRUE(rig.beep.FMODAvailable());
    EXPECT_EQ(rig.log.Trimmed(),
              QStringList({"Sound output test (offline) = TRUE",
                           "FMOD can be used ('fmodex.dll' seen)", "GetFMODBufferLength() - START",
                           "Number of samples in each buffer is 256", "Number of buffers is 1",
                           "Total number of samples in buffers is 256", "Sample rate is 48000",
                           "Buffer length in milliseconds is 5", "GetFMODBufferLength() - END"}));
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    EXPECT_NE(rig.beep.System(), 0u);
    EXPECT_EQ(rig.beep.DSPType(), 1);
    EXPECT_EQ(rig.beep.DSPBaseRate(), 4000.0);
    EXPECT_EQ(Param(0), 1.0f);
    EXPECT_EQ(Param(1), 8000.0f);
    EXPECT_TRUE(Paused());
}

TEST_F(FmodBeepTest, WithoutAnOutputNothingIsSetUpAndNothingIsShown) {
    rig.refuseOutput = true;
    EXPECT_FALSE(rig.beep.SetUp());
    EXPECT_TRUE(rig.log.Trimmed().contains("FMOD can NOT be used ('fmodex.dll' not seen)"));
    EXPECT_EQ(rig.beep.System(), 0u);
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    rig.beep.CloseSystem();
    EXPECT_FALSE(rig.log.Trimmed().contains("Closing and releasing FMOD system 'System'"));
}

TEST_F(FmodBeepTest, ToneTimingPausingAndLogFollowTheFlags) {
    ASSERT_TRUE(rig.beep.SetUp());
    struct Case {
        double duration;
        bool noStop;
        bool noWait;
        double waitedMs;
        bool pausedAfter;
        const char* startLine;
        const char* waitLine;
    };
    const Case cases[] = {
        {100, false, false, 100, true,
         "FMODBeep(FREQUENCY:440, DURATION: 100, NOSTOP:FALSE) - START", "MsgWaitObj 100"},
        {100, true, false, 100, false,
         "FMODBeep(FREQUENCY:440, DURATION: 100, NOSTOP:TRUE) - START", "MsgWaitObj 100"},
        {100, true, true, 0, false, "FMODBeep(FREQUENCY:440, DURATION: 100, NOSTOP:TRUE) - START",
         nullptr},
        {100, false, true, 0, true, "FMODBeep(FREQUENCY:440, DURATION: 100, NOSTOP:FALSE) - START",
         nullptr},
        {100.5, false, false, 100, true,
         "FMODBeep(FREQUENCY:440, DURATION: 100.5, NOSTOP:FALSE) - START", "MsgWaitObj 100"},
        {101.5, false, false, 102, true,
         "FMODBeep(FREQUENCY:440, DURATION: 101.5, NOSTOP:FALSE) - START", "MsgWaitObj 102"},
        {-1, false, false, 0, true, "FMODBeep(FREQUENCY:440, DURATION: -1, NOSTOP:FALSE) - START",
         "MsgWaitObj -1"},
        {0, false, false, 0, true, "FMODBeep(FREQUENCY:440, DURATION: 0, NOSTOP:FALSE) - START",
         "MsgWaitObj 0"},
    };
    for (const Case& c : cases) {
        rig.log.lines.clear();
        const double before = rig.clock.NowMs();
        rig.beep.FMODBeep(440, c.duration, c.noStop, c.noWait);
        EXPECT_EQ(rig.clock.NowMs() - before, c.waitedMs) << c.startLine;
        EXPECT_EQ(Paused(), c.pausedAfter) << c.startLine;
        QStringList want = {c.startLine};
        if (c.waitLine) {
            want << c.waitLine;
        }
        want << "FMODBeep() - END";
        EXPECT_EQ(rig.log.Trimmed(), want);
    }
    EXPECT_EQ(ChannelFrequency(), static_cast<float>(440.0 * 1.088 * 11.025));
    EXPECT_TRUE(rig.boxes.Boxes().empty());
}

TEST_F(FmodBeepTest, AnImmediateStopAfterNoWaitIsNeverHeard) {
    ASSERT_TRUE(rig.beep.SetUp());
    rig.beep.FMODBeep(440, 100, false, true);
    EXPECT_EQ(test::Peak(rig.out->RenderMono(4800)), 0.0f);
}

TEST_F(FmodBeepTest, AnUnplayableFrequencyShowsTheErrorSilencesTheHeldNoteAndStillWaits) {
    ASSERT_TRUE(rig.beep.SetUp());
    rig.switches.UseFMOD = true;
    for (int32_t bad : {0, -440, 30000}) {
        rig.beep.FMODBeep(440, 0, true, true);
        ASSERT_FALSE(Paused());
        rig.boxes.Clear();
        rig.log.lines.clear();
        const double before = rig.clock.NowMs();
        rig.beep.FMODBeep(bad, 50, true, false);
        EXPECT_EQ(rig.clock.NowMs() - before, 50.0) << bad;
        EXPECT_TRUE(Paused()) << bad;
        EXPECT_EQ(BoxTexts(), QStringList({"FMOD error! (3) " + FMODErrorString(3)})) << bad;
        EXPECT_TRUE(rig.log.Trimmed().contains("ERRCHECK() found FMOD error 3 (" +
                                               FMODErrorString(3) + ")"))
            << bad;
    }
}

TEST_F(FmodBeepTest, ALostOutputIsReportedOnceAndTonesKeepTheirTime) {
    ASSERT_TRUE(rig.beep.SetUp());
    rig.switches.UseFMOD = true;
    rig.out->SimulateDeviceLoss();
    const double before = rig.clock.NowMs();
    for (int i = 0; i < 3; ++i) {
        rig.beep.FMODBeep(440, 100, false, false);
    }
    EXPECT_EQ(rig.clock.NowMs() - before, 300.0);
    EXPECT_EQ(BoxTexts(), QStringList({"FMOD error! (7) " + FMODErrorString(7)}));
    EXPECT_EQ(test::Peak(rig.out->RenderMono(4800)), 0.0f);
}

TEST_F(FmodBeepTest, TheCheckBoxShowsTheOptionsAndClearingItStopsTheToneAndTheMotor) {
    ASSERT_TRUE(rig.beep.SetUp());
    int motorStops = 0;
    rig.beep.SetMotorNeutral([&] { ++motorStops; });
    rig.beep.UseFMODCheckClicked(true);
    EXPECT_TRUE(rig.switches.UseFMOD);
    EXPECT_TRUE(options.IsVisible());
    rig.beep.FMODBeep(440, 0, true, true);
    rig.switches.UseMotor = true;
    rig.beep.UseFMODCheckClicked(false);
    EXPECT_FALSE(rig.switches.UseFMOD);
    EXPECT_FALSE(options.IsVisible());
    EXPECT_TRUE(Paused());
    EXPECT_EQ(motorStops, 1);
    // With the mod off the stop leaves the channel alone.
    rig.beep.FMODBeep(440, 0, true, true);
    rig.beep.FMODBeepStop();
    EXPECT_FALSE(Paused());
    EXPECT_EQ(motorStops, 2);
}

TEST_F(FmodBeepTest, ClosingReleasesTheSystemOnceAndLaterCallsReportErrors) {
    ASSERT_TRUE(rig.beep.SetUp());
    const snd::Handle channel = rig.beep.BeepChannel();
    rig.beep.CloseSystem();
    rig.beep.CloseSystem();
    EXPECT_EQ(rig.log.Trimmed().count("Closing and releasing FMOD system 'System'"), 1);
    EXPECT_EQ(rig.beep.System(), 0u);
    EXPECT_EQ(rig.engine.Channel_SetPaused(channel, true), snd::kErrInvalidHandle);
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    rig.beep.FMODBeep(440, 10, false, false);
    EXPECT_EQ(BoxTexts().count("FMOD error! (1) " + FMODErrorString(1)), 2);
}

TEST(FmodErrorCheck, BoxesAndLogLinesHaveTheirWording) {
    CapturingLog log;
    ScriptedMessageBoxes boxes;
    EXPECT_TRUE(ERRCHECK(0, log, boxes));
    EXPECT_TRUE(FmodVersionCheck(0x00040621, boxes));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(ERRCHECK(99, log, boxes));
    EXPECT_FALSE(VoiceERRCHECK(-3, boxes));
    EXPECT_FALSE(FmodVersionCheck(0x0004061F, boxes));
    EXPECT_FALSE(FmodVersionCheck(0x00040700, boxes, true));
    EXPECT_EQ(log.Trimmed(), QStringList({"ERRCHECK() found FMOD error 99 (Unknown error.)"}));
    ASSERT_EQ(boxes.Boxes().size(), 4u);
    struct Want {
        const char* text;
        MsgIcon icon;
    };
    const Want want[] = {
        {"FMOD error! (99) Unknown error.", MsgIcon::None},
        {"FMOD error! (-3) Unknown error.", MsgIcon::Exclamation},
        {"Error!  You are using an old Version of FMOD 4061F. This program requires 40621",
         MsgIcon::None},
        {"Error!  You are using an old version of FMOD 40700. This program requires 40621",
         MsgIcon::None},
    };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes.Boxes()[i].text, want[i].text);
        EXPECT_EQ(boxes.Boxes()[i].icon, want[i].icon);
        EXPECT_EQ(boxes.Boxes()[i].buttons, MsgButtons::Ok);
        EXPECT_EQ(boxes.Boxes()[i].title, "Tonquill");
    }
}

// The road of a tone: UniBeep hands it to the beep, and a line of held notes sounds
// without a gap until a stop is asked for.
TEST_F(FmodBeepTest, HeldNotesThroughUniBeepSoundWithoutAGapUntilTheStop) {
    ASSERT_TRUE(rig.beep.SetUp());
    RecordingSpeaker speaker(rig.clock);
    ToneDispatcher tones(rig.log, rig.boxes, rig.sleep, speaker, rig.switches);
    tones.SetFmodOutput(&rig.beep);
    rig.switches.UseFMOD = true;
    std::vector<float> heard;
    // The sound card pulls 10 ms blocks while the tone call waits.
    for (int t = 10; t <= 400; t += 10) {
        rig.pump.ScheduleAtMs(rig.clock.NowMs() + t, [&] {
            const std::vector<float> b = rig.out->RenderMono(480);
            heard.insert(heard.end(), b.begin(), b.end());
        });
    }
    tones.UniBeepValue("A4", 100, false, true, false, false);
    tones.UniBeepValue("C5", 100, false, true, false, false);
    tones.UniBeepValue("E5", 100, false, false, true, false);
    rig.sleep.MsgWaitObj(100);
    EXPECT_TRUE(speaker.Tones().empty());
    ASSERT_EQ(heard.size(), 40u * 480u);
    // Every block of the 300 ms of notes sounds; the last 100 ms are silent.
    for (size_t block = 1; block < 30; ++block) {
        const double rms = test::Rms(heard, block * 480, (block + 1) * 480);
        EXPECT_GT(rms, 0.1) << "block " << block;
    }
    EXPECT_EQ(test::Rms(heard, 31 * 480), 0.0);
    EXPECT_NEAR(
        test::MeasurePitch(std::vector<float>(heard.begin() + 10 * 480, heard.begin() + 20 * 480),
                           48000.0),
        BeepRig::FormulaPitch(523), 2.0);
}

} // namespace
} // namespace tq
