#include "SignalMeasure.h"

#include "fmodtone/engine/SoundEngine.h"
#include "platform/audio/OfflineAudioOutput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <string>

namespace tq::snd {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class EngineTest : public testing::Test {
protected:
    OfflineAudioOutput* out = nullptr;
    SoundEngine engine{OfflineAudioOutput::Factory(&out)};
    Handle system = 0;

    void SetUp() override {
        ASSERT_EQ(engine.System_Create(&system), kOk);
        ASSERT_EQ(engine.System_Init(system, 4, 0), kOk);
    }
    Handle Oscillator(int wave, float rate) {
        Handle dsp = 0;
        EXPECT_EQ(engine.System_CreateDSPByType(system, kDspOscillator, &dsp), kOk);
        EXPECT_EQ(engine.DSP_SetParameter(dsp, 0, static_cast<float>(wave)), kOk);
        EXPECT_EQ(engine.DSP_SetParameter(dsp, 1, rate), kOk);
        return dsp;
    }
    Handle Play(Handle dsp, bool paused = false) {
        Handle ch = 0;
        EXPECT_EQ(engine.System_PlayDSP(system, SoundEngine::kFreeChannel, dsp, paused, &ch), kOk);
        return ch;
    }
};

TEST(SoundResult, EveryEngineCodeHasItsOwnTextAndOthersAreUnknown) {
    std::set<std::string> texts;
    for (int32_t code = kOk; code <= kErrTooManyObjects; ++code) {
        const std::string text = ResultText(code);
        EXPECT_NE(text, "Unknown error.") << code;
        EXPECT_TRUE(texts.insert(text).second) << code;
    }
    EXPECT_STREQ(ResultText(0), "No errors.");
    for (int32_t code : {-1, kErrTooManyObjects + 1, 81, std::numeric_limits<int32_t>::min()}) {
        EXPECT_STREQ(ResultText(code), "Unknown error.") << code;
    }
}

TEST_F(EngineTest, BadArgumentsGiveResultCodesAndLeaveTheOutputClean) {
    const Handle osc = Oscillator(kWaveSine, 4000.0f);
    const Handle ch = Play(osc, true);
    Handle lowPass = 0;
    Handle eq = 0;
    ASSERT_EQ(engine.System_CreateDSPByType(system, kDspLowPass, &lowPass), kOk);
    ASSERT_EQ(engine.System_CreateDSPByType(system, kDspParamEq, &eq), kOk);
    struct Case {
        const char* what;
        int32_t got;
        int32_t want;
    };
    const Case cases[] = {
        {"frequency 0", engine.Channel_SetFrequency(ch, 0.0f), kErrInvalidFrequency},
        {"negative frequency", engine.Channel_SetFrequency(ch, -440.0f), kErrInvalidFrequency},
        {"NaN frequency", engine.Channel_SetFrequency(ch, kNaN), kErrInvalidFrequency},
        {"infinite frequency", engine.Channel_SetFrequency(ch, kInf), kErrInvalidFrequency},
        // 4000 Hz * 300000 / 48000 = 25000 Hz, above 24000.
        {"above Nyquist", engine.Channel_SetFrequency(ch, 300000.0f), kErrInvalidFrequency},
        {"just below Nyquist", engine.Channel_SetFrequency(ch, 287000.0f), kOk},
        {"wave code 6", engine.DSP_SetParameter(osc, 0, 6.0f), kErrInvalidParam},
        {"wave code -1", engine.DSP_SetParameter(osc, 0, -1.0f), kErrInvalidParam},
        {"wave code 2.5", engine.DSP_SetParameter(osc, 0, 2.5f), kErrInvalidParam},
        {"rate 0", engine.DSP_SetParameter(osc, 1, 0.0f), kErrInvalidParam},
        {"rate NaN", engine.DSP_SetParameter(osc, 1, kNaN), kErrInvalidParam},
        {"oscillator index 2", engine.DSP_SetParameter(osc, 2, 1.0f), kErrInvalidParam},
        {"negative index", engine.DSP_SetParameter(osc, -1, 1.0f), kErrInvalidParam},
        {"cut-off 5 Hz", engine.DSP_SetParameter(lowPass, 0, 5.0f), kErrInvalidParam},
        {"resonance 11", engine.DSP_SetParameter(lowPass, 1, 11.0f), kErrInvalidParam},
        {"EQ gain 0", engine.DSP_SetParameter(eq, 2, 0.0f), kErrInvalidParam},
        {"EQ gain 3.5", engine.DSP_SetParameter(eq, 2, 3.5f), kOk},
        {"EQ bandwidth 0", engine.DSP_SetParameter(eq, 1, 0.0f), kErrInvalidParam},
        {"volume -0.1", engine.Channel_SetVolume(ch, -0.1f), kErrInvalidParam},
        {"volume 1.5", engine.Channel_SetVolume(ch, 1.5f), kErrInvalidParam},
        {"volume NaN", engine.Channel_SetVolume(ch, kNaN), kErrInvalidParam},
        {"unknown DSP type", engine.System_CreateDSPByType(system, 7, &eq), kErrUnsupportedDsp},
        {"fixed channel index", engine.System_PlayDSP(system, 0, osc, true, nullptr),
         kErrInvalidParam},
        {"init twice", engine.System_Init(system, 2, 0), kErrInitialized},
        {"buffer size after init", engine.System_SetDSPBufferSize(system, 16, 256),
         kErrInitialized},
        {"DSP feeding itself", engine.DSP_AddInput(osc, osc), kErrConnection},
        {"handle 0", engine.Channel_SetPaused(0, false), kErrInvalidHandle},
        {"made-up handle", engine.DSP_SetBypass(0xDEADBEEF, true), kErrInvalidHandle},
        {"DSP handle as channel", engine.Channel_SetPaused(osc, false), kErrInvalidHandle},
        {"channel handle as system", engine.System_Close(ch), kErrInvalidHandle},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got, c.want) << c.what;
    }
    float rate = 0.0f;
    ASSERT_EQ(engine.DSP_GetParameter(osc, 1, &rate), kOk);
    EXPECT_EQ(rate, 4000.0f) << "a refused value must not be kept";

    ASSERT_EQ(engine.Channel_SetPaused(ch, false), kOk);
    const std::vector<float> sound = out->RenderMono(4800);
    EXPECT_TRUE(test::AllFinite(sound));
    EXPECT_LE(test::Peak(sound), 1.0f);
}

TEST_F(EngineTest, CallsOnReleasedObjectsGiveInvalidHandle) {
    const Handle osc = Oscillator(kWaveSine, 4000.0f);
    const Handle ch = Play(osc);
    Handle master = 0;
    ASSERT_EQ(engine.System_GetMasterChannelGroup(system, &master), kOk);
    ASSERT_EQ(engine.System_Release(system), kOk);
    EXPECT_EQ(engine.Channel_SetPaused(ch, true), kErrInvalidHandle);
    EXPECT_EQ(engine.Channel_SetFrequency(ch, 1000.0f), kErrInvalidHandle);
    EXPECT_EQ(engine.DSP_SetParameter(osc, 1, 100.0f), kErrInvalidHandle);
    EXPECT_EQ(engine.ChannelGroup_SetVolume(master, 0.5f), kErrInvalidHandle);
    EXPECT_EQ(engine.System_Close(system), kErrInvalidHandle);
    EXPECT_EQ(engine.System_Release(system), kErrInvalidHandle);

    // A new system may reuse the slots; the old handles still must not reach it.
    Handle again = 0;
    ASSERT_EQ(engine.System_Create(&again), kOk);
    Handle dsp = 0;
    ASSERT_EQ(engine.System_CreateDSPByType(again, kDspOscillator, &dsp), kOk);
    EXPECT_EQ(engine.DSP_SetParameter(osc, 1, 100.0f), kErrInvalidHandle);
    EXPECT_EQ(engine.System_GetVersion(system, nullptr), kErrInvalidHandle);
}

TEST_F(EngineTest, ChannelsAndConnectionsAreChecked) {
    const Handle osc = Oscillator(kWaveSine, 440.0f);
    for (int i = 0; i < 4; ++i) {
        Play(osc, true);
    }
    Handle ch = 0;
    EXPECT_EQ(engine.System_PlayDSP(system, SoundEngine::kFreeChannel, osc, true, &ch),
              kErrChannelAlloc);

    Handle a = 0;
    Handle b = 0;
    ASSERT_EQ(engine.System_CreateChannelGroup(system, "a", &a), kOk);
    ASSERT_EQ(engine.System_CreateChannelGroup(system, "b", &b), kOk);
    EXPECT_EQ(engine.ChannelGroup_AddGroup(a, b), kOk);
    EXPECT_EQ(engine.ChannelGroup_AddGroup(b, a), kErrConnection);
    EXPECT_EQ(engine.ChannelGroup_AddGroup(a, a), kErrConnection);

    Handle other = 0;
    Handle otherDsp = 0;
    ASSERT_EQ(engine.System_Create(&other), kOk);
    ASSERT_EQ(engine.System_CreateDSPByType(other, kDspLowPass, &otherDsp), kOk);
    EXPECT_EQ(engine.DSP_AddInput(osc, otherDsp), kErrWrongSystem);
    EXPECT_EQ(engine.ChannelGroup_AddDSP(a, otherDsp), kErrWrongSystem);
    EXPECT_EQ(engine.System_PlayDSP(other, SoundEngine::kFreeChannel, otherDsp, true, &ch),
              kErrUninitialized);
}

TEST_F(EngineTest, ADeadOutputIsReportedOnceAndLeavesSilence) {
    const Handle ch = Play(Oscillator(kWaveSine, 4000.0f));
    out->SimulateDeviceLoss();
    EXPECT_EQ(engine.Channel_SetFrequency(ch, 5000.0f), kErrOutputFailed);
    EXPECT_EQ(engine.Channel_SetFrequency(ch, 6000.0f), kOk);
    EXPECT_EQ(engine.Channel_SetPaused(ch, true), kOk);
    EXPECT_FALSE(engine.System_OutputError(system).empty());
    EXPECT_EQ(test::Peak(out->RenderMono(1024)), 0.0f);
    EXPECT_EQ(engine.System_Close(system), kOk);
}

// The voice feeds its low-pass into each formant filter and also puts it after them in
// the group's chain: the loop is cut, not turned into feedback that grows into noise.
TEST_F(EngineTest, AGraphThatLoopsBackOnItselfRendersBoundedSound) {
    const Handle saw = Oscillator(kWaveSawDown, 120.0f);
    Handle group = 0;
    Handle lowPass = 0;
    Handle formant[2] = {0, 0};
    ASSERT_EQ(engine.System_CreateChannelGroup(system, "voice", &group), kOk);
    for (Handle& f : formant) {
        ASSERT_EQ(engine.System_CreateDSPByType(system, kDspParamEq, &f), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(f, 2, 3.5f), kOk);
        ASSERT_EQ(engine.ChannelGroup_AddDSP(group, f), kOk);
    }
    ASSERT_EQ(engine.System_CreateDSPByType(system, kDspLowPass, &lowPass), kOk);
    for (Handle f : formant) {
        ASSERT_EQ(engine.DSP_AddInput(f, lowPass), kOk);
    }
    ASSERT_EQ(engine.ChannelGroup_AddDSP(group, lowPass), kOk);
    ASSERT_EQ(engine.Channel_SetChannelGroup(Play(saw), group), kOk);
    ASSERT_EQ(engine.ChannelGroup_SetVolume(group, 0.1f), kOk);
    for (bool bypass : {true, false}) {
        ASSERT_EQ(engine.DSP_SetBypass(lowPass, bypass), kOk);
        const std::vector<float> x = out->RenderMono(24000);
        EXPECT_TRUE(test::AllFinite(x));
        EXPECT_LT(test::Peak(x), 0.9f) << "bypass " << bypass;
        EXPECT_GT(test::Rms(x, 4800), 0.01) << "bypass " << bypass;
    }
}

// A 1 kHz sine on a channel of a group with a 1 kHz EQ (gain 3) in its chain, and a
// 500 Hz oscillator no channel plays, joined in several ways.
TEST_F(EngineTest, DspsJoinedByInputsBypassAndChainOrderShapeWhatIsHeard) {
    struct Case {
        const char* what;
        bool eqBypassed;
        bool lowFeedsEq;      // the 500 Hz oscillator is an input of the EQ
        bool lowAtHead;       // the 500 Hz oscillator added to the chain after the EQ
        double pitch;         // 0: not measured (a mix)
        double levelOfSineTo; // the level against the plain sine's
    };
    const Case cases[] = {
        {"EQ at its centre", false, false, false, 1000.0, 3.0},
        {"EQ bypassed", true, false, false, 1000.0, 1.0},
        // The oscillator replaces what reaches it: nearest the output, it alone is heard.
        {"oscillator added at the head", false, false, true, 500.0, 1.0},
        // 500 Hz is an octave below the centre: half the gain in decibels, sqrt(3).
        {"oscillator as the EQ's input", false, true, false, 0.0, std::sqrt(9.0 + 3.0)},
    };
    for (const Case& c : cases) {
        Handle group = 0;
        Handle eq = 0;
        ASSERT_EQ(engine.System_CreateChannelGroup(system, c.what, &group), kOk);
        ASSERT_EQ(engine.System_CreateDSPByType(system, kDspParamEq, &eq), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(eq, 0, 1000.0f), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(eq, 1, 2.0f), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(eq, 2, 3.0f), kOk);
        ASSERT_EQ(engine.DSP_SetBypass(eq, c.eqBypassed), kOk);
        ASSERT_EQ(engine.ChannelGroup_AddDSP(group, eq), kOk);
        const Handle low = Oscillator(kWaveSine, 500.0f);
        if (c.lowFeedsEq) {
            ASSERT_EQ(engine.DSP_AddInput(eq, low), kOk);
        }
        if (c.lowAtHead) {
            ASSERT_EQ(engine.ChannelGroup_AddDSP(group, low), kOk);
        }
        const Handle ch = Play(Oscillator(kWaveSine, 1000.0f));
        ASSERT_EQ(engine.Channel_SetChannelGroup(ch, group), kOk);
        ASSERT_EQ(engine.ChannelGroup_SetVolume(group, 0.1f), kOk);
        const std::vector<float> x = out->RenderMono(24000);
        const double level = test::Rms(x, 4800) / (0.1 / std::sqrt(2.0));
        EXPECT_NEAR(level, c.levelOfSineTo, c.levelOfSineTo * 0.04) << c.what;
        if (c.pitch > 0.0) {
            EXPECT_NEAR(test::MeasurePitch(x, 48000.0, 4800), c.pitch, 1.0) << c.what;
        }
        ASSERT_EQ(engine.Channel_SetPaused(ch, true), kOk);
        ASSERT_EQ(engine.ChannelGroup_SetVolume(group, 0.0f), kOk);
        out->RenderMono(4800);
    }
}

TEST(EngineInit, AnOutputThatWillNotOpenFailsInitAndTheProbe) {
    SoundEngine engine([] {
        auto o = std::make_unique<OfflineAudioOutput>();
        o->FailNextOpen();
        return o;
    });
    std::string why;
    EXPECT_FALSE(engine.ProbeOutput(&why));
    EXPECT_FALSE(why.empty());
    Handle system = 0;
    ASSERT_EQ(engine.System_Create(&system), kOk);
    EXPECT_EQ(engine.System_Init(system, 2, 0), kErrOutputInit);
    EXPECT_EQ(engine.System_Close(system), kOk);
    EXPECT_EQ(engine.System_Release(system), kOk);
}

} // namespace
} // namespace tq::snd
