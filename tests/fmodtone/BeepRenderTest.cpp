#include "BeepRig.h"
#include "SignalMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tq {
namespace {

using test::BeepRig;

constexpr double kRate = 48000.0;

class BeepRender : public testing::Test {
protected:
    BeepRig rig;
    void SetUp() override {
        ASSERT_TRUE(rig.beep.SetUp());
        ASSERT_TRUE(rig.boxes.Boxes().empty());
        rig.switches.UseFMOD = true;
    }
    // Starts a held tone and renders a second of it.
    std::vector<float> Hold(int32_t frequency, int frames = 48000) {
        rig.beep.FMODBeep(frequency, 0, true, true);
        return rig.out->RenderMono(frames);
    }
};

TEST_F(BeepRender, EveryWaveSoundsTheFormulasPitchForSeveralNotes) {
    const int32_t notes[] = {131, 262, 440, 1047, 3951};
    for (int32_t wave = 0; wave <= 4; ++wave) {
        rig.beep.ChangeDSPType(wave);
        for (int32_t f : notes) {
            const std::vector<float> x = Hold(f);
            const double want = BeepRig::FormulaPitch(f);
            EXPECT_NEAR(test::MeasurePitch(x, kRate, 480), want, want * 0.001)
                << "wave " << wave << " at " << f << " Hz";
        }
    }
}

TEST_F(BeepRender, NoiseBrightnessFollowsTheNote) {
    rig.beep.ChangeDSPType(5);
    auto crossingsPerSecond = [&](int32_t f) {
        const std::vector<float> x = Hold(f);
        int n = 0;
        for (size_t i = 1; i < x.size(); ++i) {
            n += (x[i - 1] < 0.0f) != (x[i] < 0.0f);
        }
        return n;
    };
    const double low = crossingsPerSecond(220);
    const double high = crossingsPerSecond(880);
    EXPECT_NEAR(high / low, 4.0, 0.4);
}

TEST_F(BeepRender, LevelIsTheBeepVolumeAndPausedIsSilent) {
    struct Case {
        int32_t wave;
        double rms;
    };
    const double v = FmodBeep::kBeepVolume;
    const Case cases[] = {
        {0, v / std::numbers::sqrt2}, {1, v}, {3, v / std::sqrt(3.0)}, {4, v / std::sqrt(3.0)}};
    for (const Case& c : cases) {
        rig.beep.ChangeDSPType(c.wave);
        EXPECT_NEAR(test::Rms(Hold(440), 480), c.rms, c.rms * 0.02) << "wave " << c.wave;
    }
    rig.beep.FMODBeepStop();
    rig.out->RenderMono(256); // the fade
    EXPECT_EQ(test::Peak(rig.out->RenderMono(4800)), 0.0f);
}

TEST_F(BeepRender, PauseAndResumeRampInsteadOfJumping) {
    rig.beep.ChangeDSPType(0);
    rig.beep.FMODBeep(880, 0, true, true);
    std::vector<float> x;
    for (int cut : {1000, 1237, 1550, 1713}) {
        const std::vector<float> on = rig.out->RenderMono(cut);
        rig.beep.FMODBeepStop();
        const std::vector<float> off = rig.out->RenderMono(cut / 2);
        rig.beep.FMODBeep(880, 0, true, true);
        x.insert(x.end(), on.begin(), on.end());
        x.insert(x.end(), off.begin(), off.end());
    }
    // A sine of 880 Hz at 0.18 moves at most 0.0207 a sample; the ramp may add 0.0025.
    const double sineStep = 2.0 * std::numbers::pi * 880.0 / kRate * FmodBeep::kBeepVolume;
    EXPECT_LT(test::MaxStep(x), sineStep + 0.004);
}

TEST_F(BeepRender, RetuningAHeldToneKeepsTheWaveContinuous) {
    rig.beep.ChangeDSPType(0);
    std::vector<float> x = Hold(440, 1000);
    for (int32_t f : {494, 523, 587, 659}) {
        const std::vector<float> next = Hold(f, 777);
        x.insert(x.end(), next.begin(), next.end());
    }
    const double fastest = 2.0 * std::numbers::pi * 659.0 / kRate * FmodBeep::kBeepVolume;
    EXPECT_LT(test::MaxStep(x), fastest * 1.05);
}

} // namespace
} // namespace tq
