#include "SignalMeasure.h"

#include "fmodtone/engine/SoundEngine.h"
#include "platform/audio/OfflineAudioOutput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tq::snd {
namespace {

constexpr double kRate = 48000.0;

// A sine played through one filter in a group's chain; the gain at a frequency is the
// level with the filter over the level with it bypassed.
class FilterResponse : public testing::Test {
protected:
    OfflineAudioOutput* out = nullptr;
    SoundEngine engine{OfflineAudioOutput::Factory(&out, 48000, 1, 512)};
    Handle system = 0;
    Handle osc = 0;
    Handle filter = 0;

    void Build(int32_t type) {
        ASSERT_EQ(engine.System_Create(&system), kOk);
        ASSERT_EQ(engine.System_Init(system, 2, 0), kOk);
        ASSERT_EQ(engine.System_CreateDSPByType(system, kDspOscillator, &osc), kOk);
        Handle group = 0;
        Handle channel = 0;
        ASSERT_EQ(engine.System_CreateChannelGroup(system, "filtered", &group), kOk);
        ASSERT_EQ(engine.System_CreateDSPByType(system, type, &filter), kOk);
        ASSERT_EQ(engine.ChannelGroup_AddDSP(group, filter), kOk);
        ASSERT_EQ(engine.System_PlayDSP(system, SoundEngine::kFreeChannel, osc, false, &channel),
                  kOk);
        ASSERT_EQ(engine.Channel_SetChannelGroup(channel, group), kOk);
        ASSERT_EQ(engine.Channel_SetVolume(channel, 0.05f), kOk);
    }
    double Level(bool bypass, double hz) {
        EXPECT_EQ(engine.DSP_SetBypass(filter, bypass), kOk);
        EXPECT_EQ(engine.DSP_SetParameter(osc, 1, static_cast<float>(hz)), kOk);
        out->RenderMono(9600); // settle
        return test::Rms(out->RenderMono(24000));
    }
    double Gain(double hz) { return Level(false, hz) / Level(true, hz); }
};

// The analogue prototype at the pre-warped frequency: what the bilinear design promises.
double LowPassCurve(double f, double cutoff, double resonance) {
    const double w =
        std::tan(std::numbers::pi * f / kRate) / std::tan(std::numbers::pi * cutoff / kRate);
    const double q = resonance / std::numbers::sqrt2;
    return 1.0 / std::sqrt((1.0 - w * w) * (1.0 - w * w) + (w / q) * (w / q));
}

TEST_F(FilterResponse, LowPassFollowsItsDesignCurve) {
    Build(kDspLowPass);
    struct Case {
        float cutoff;
        float resonance;
    };
    for (const Case& c : {Case{1000.0f, 1.0f}, Case{1000.0f, 5.0f}, Case{6000.0f, 10.0f}}) {
        ASSERT_EQ(engine.DSP_SetParameter(filter, 0, c.cutoff), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(filter, 1, c.resonance), kOk);
        for (double ratio : {0.1, 0.5, 1.0, 2.0, 3.0}) {
            const double f = c.cutoff * ratio;
            const double want = LowPassCurve(f, c.cutoff, c.resonance);
            EXPECT_NEAR(Gain(f), want, want * 0.02 + 0.001)
                << "cut-off " << c.cutoff << " resonance " << c.resonance << " at " << f;
        }
    }
}

TEST_F(FilterResponse, ParametricEqReachesItsGainAtTheCentreAndHalfOfItAtTheBandEdges) {
    Build(kDspParamEq);
    struct Case {
        float centre;
        float octaves;
        float gain;
    };
    for (const Case& c :
         {Case{1000.0f, 1.0f, 3.0f}, Case{2500.0f, 2.0f, 0.25f}, Case{700.0f, 0.5f, 3.5f}}) {
        ASSERT_EQ(engine.DSP_SetParameter(filter, 0, c.centre), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(filter, 1, c.octaves), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(filter, 2, c.gain), kOk);
        const double edge = std::pow(2.0, c.octaves / 2.0);
        struct Point {
            double hz;
            double gain;
        };
        const Point points[] = {{c.centre, c.gain},
                                {c.centre * edge, std::sqrt(c.gain)},
                                {c.centre / edge, std::sqrt(c.gain)},
                                {c.centre / 64.0, 1.0}};
        for (const Point& p : points) {
            EXPECT_NEAR(Gain(p.hz), p.gain, p.gain * 0.03)
                << "centre " << c.centre << " gain " << c.gain << " at " << p.hz;
        }
    }
}

} // namespace
} // namespace tq::snd
