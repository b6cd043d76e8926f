#include "AllocationCounter.h"
#include "VoiceRig.h"

#include "../fmodtone/SignalMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace tq {
namespace {

using test::VoiceRig;

class VoiceTest : public testing::Test {
protected:
    VoiceRig rig;
    VoiceMainForm& voice = rig.voice;
    VoiceInternalForm& controls = rig.controls;

    void SetUp() override { voice.UseVoiceCheckClicked(true); }
};

// Amplitude of the component at hz, through a Hann window.
double Amplitude(const std::vector<float>& x, double hz) {
    std::complex<double> sum = 0.0;
    double weights = 0.0;
    const double n = static_cast<double>(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n);
        sum += w * x[i] * std::polar(1.0, -2.0 * std::numbers::pi * hz * i / 48000.0);
        weights += w;
    }
    return 2.0 * std::abs(sum) / weights;
}

// The period of the strongest repetition between 60 and 400 Hz, as a frequency.
double AutocorrelationPitch(const std::vector<float>& x) {
    int best = 0;
    double bestSum = -1.0;
    for (int lag = 48000 / 400; lag <= 48000 / 60; ++lag) {
        double sum = 0.0;
        for (size_t i = 0; i + lag < x.size(); ++i) {
            sum += static_cast<double>(x[i]) * x[i + lag];
        }
        if (sum > bestSum) {
            bestSum = sum;
            best = lag;
        }
    }
    return 48000.0 / best;
}

TEST_F(VoiceTest, LoadingBuildsASilentVoiceWithTheStartControls) {
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    EXPECT_EQ(voice.VoiceVol, 0.0f);
    EXPECT_EQ(voice.SawVol, 0.1f);
    EXPECT_EQ(voice.NoiseVol, 0.008f);
    EXPECT_EQ(voice.SawFreq, 100);
    EXPECT_EQ(voice.FormantTimbre, 300);
    EXPECT_EQ(controls.VoiceVolSlider.largeChange, 20);
    EXPECT_EQ(controls.FormantTimbreSlider.largeChange, 20);
    EXPECT_TRUE(controls.IsVisible());
    rig.out->RenderMono(4800);
    EXPECT_EQ(test::Peak(rig.out->RenderMono(4800)), 0.0f);
}

TEST_F(VoiceTest, FormantVolumesBecomeFilterGainsAndTheTimbreScalesTheFrequency) {
    struct Case {
        int timbre;
        double freq;
        double vol;
        float centre;
        float gain;
    };
    const Case cases[] = {
        {300, 1000, 100, 1300.0f, 3.5f},   {300, 1000, 60, 1300.0f, 1.1667f},
        {300, 512, 55, 665.6f, 0.875f},    {0, 1000, 80, 1000.0f, 2.3333f},
        {950, 1000, 80, 1950.0f, 2.3333f},
    };
    for (const Case& c : cases) {
        controls.FormantTimbreSlider_Scroll(c.timbre);
        voice.ChangeFormantFreqVol(2, c.freq, c.vol, true);
        EXPECT_NEAR(rig.Param(voice.FormantDSP[2], 0), c.centre, 0.01f) << c.timbre;
        EXPECT_NEAR(rig.Param(voice.FormantDSP[2], 2), c.gain, 0.0001f) << c.vol;
        EXPECT_EQ(voice.FormantFreq[2], c.freq);
    }
    // Moving the timbre back re-applies the stored formant with the new factor.
    controls.FormantTimbreSlider_Scroll(0);
    EXPECT_FLOAT_EQ(rig.Param(voice.FormantDSP[2], 0), 1000.0f);
    EXPECT_EQ(controls.FormantDSPFreqSlider[2].value, 1000);
}

TEST_F(VoiceTest, AVowelButtonMovesAllEightSlidersAndPressingItAgainChangesNothing) {
    struct Case {
        char vowel;
        std::array<int, 4> freqs; // the preset times the timbre factor 1.3
        std::array<int, 4> vols;
    };
    const Case cases[] = {
        {'E', {1058, 2514, 3410, 4978}, {98, 100, 96, 65}},
        {'I', {554, 3298, 3886, 5201}, {65, 94, 80, 70}},
        {'O', {1170, 1505, 2935, 4362}, {88, 88, 87, 60}},
        {'U', {666, 2626, 3158, 4865}, {60, 90, 90, 70}}, // 55 shows as the lowest, 60
        {'A', {1534, 2178, 3325, 4362}, {92, 100, 90, 60}},
    };
    for (const Case& c : cases) {
        controls.SpeechButton_Click(c.vowel);
        std::array<float, 8> filters{};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(controls.FormantDSPFreqSlider[i].value, c.freqs[i]) << c.vowel << i;
            EXPECT_EQ(controls.FormantDSPVolSlider[i].value, c.vols[i]) << c.vowel << i;
            filters[2 * i] = rig.Param(voice.FormantDSP[i], 0);
            filters[2 * i + 1] = rig.Param(voice.FormantDSP[i], 2);
        }
        controls.SpeechButton_Click(c.vowel);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(controls.FormantDSPFreqSlider[i].value, c.freqs[i]) << c.vowel << i;
            EXPECT_EQ(controls.FormantDSPVolSlider[i].value, c.vols[i]) << c.vowel << i;
            EXPECT_EQ(rig.Param(voice.FormantDSP[i], 0), filters[2 * i]) << c.vowel << i;
            EXPECT_EQ(rig.Param(voice.FormantDSP[i], 2), filters[2 * i + 1]) << c.vowel << i;
        }
    }
    EXPECT_EQ(voice.FormantVol[0], 92);
}

TEST_F(VoiceTest, FormantsWanderOnlyAfterTheRandomnessSliderIsFirstMoved) {
    EXPECT_EQ(controls.FormantRandomFreqSlider.value, 50);
    rig.Wait(500);
    EXPECT_EQ(voice.MaxRandomFormantFreq, 0);
    EXPECT_FLOAT_EQ(rig.Param(voice.FormantDSP[0], 0), 1534.0f);

    controls.FormantRandomFreqSlider_Scroll(200);
    float low = 1e9f;
    float high = 0.0f;
    for (int tick = 0; tick < 40; ++tick) {
        rig.Wait(VoiceMainForm::kTimerIntervalMs);
        const float f = rig.Param(voice.FormantDSP[0], 0);
        low = std::min(low, f);
        high = std::max(high, f);
        EXPECT_NEAR(rig.Param(voice.FormantDSP[0], 2), VoiceMainForm::FormantGain(92), 1e-5);
    }
    EXPECT_GE(low, 1534.0f - 200.0f);
    EXPECT_LT(high, 1534.0f + 200.0f);
    EXPECT_GT(high - low, 200.0f);
    EXPECT_EQ(voice.FormantFreq[0], 1180.0);
    EXPECT_EQ(controls.FormantDSPFreqSlider[0].value, 1534);
}

// The sawtooth's harmonics over the filters' flat response: each formant lifts the
// harmonic nearest its centre by at least its own gain, and the fundamental stays near 1.
TEST_F(VoiceTest, ASungNoteHasItsPitchAndItsEnergyAtTheVowelsFormants) {
    for (char vowel : {'A', 'I', 'U'}) {
        controls.SpeechButton_Click(vowel);
        voice.SetVoiceForLine(QStringLiteral("A4")); // 440 * 1.08 / 4 = 118.8 Hz
        ASSERT_EQ(voice.SawFreq, 119);
        rig.out->RenderMono(4800);
        const std::vector<float> x = rig.out->RenderMono(48000);
        EXPECT_NEAR(AutocorrelationPitch(x), 119.0, 1.0) << vowel;
        // A falling saw's harmonic n has amplitude 2 / (pi n); the saw and voice levels
        // scale it by 0.1 and 0.03.
        auto response = [&x](int n) {
            return Amplitude(x, 119.0 * n) / (2.0 / (std::numbers::pi * n) * 0.1 * 0.03);
        };
        EXPECT_NEAR(response(1), 1.0, 0.2) << vowel;
        for (int i = 0; i < 4; ++i) {
            const double centre = voice.FormantFreq[i] * 1.3;
            const int n = static_cast<int>(std::lround(centre / 119.0));
            EXPECT_GT(response(n), 0.85 * VoiceMainForm::FormantGain(voice.FormantVol[i]))
                << vowel << " formant " << i << " at " << centre;
        }
    }
}

TEST_F(VoiceTest, SettingTheVoiceForALineLogsAndSingsOnlyALineWithNote2) {
    voice.SetVoiceForLine(QStringLiteral("C#5"));
    voice.SetVoiceForLine(QString());
    voice.SetVoiceForLine(QStringLiteral("H2")); // no such note: silent, no box
    const QStringList want = {
        QStringLiteral("VoiceMainForm.ChangeVoiceVol 0.03"),
        QStringLiteral("VoiceMainForm.ChangeBaseFreq 149.6475"),
        QStringLiteral("VoiceMainForm.ChangeVoiceVol 0"),
        QStringLiteral("VoiceMainForm.ChangeVoiceVol 0"),
    };
    EXPECT_EQ(rig.log.Trimmed().mid(rig.log.lines.size() - 4), want);
    EXPECT_EQ(voice.SawFreq, 150);
    EXPECT_EQ(voice.VoiceVol, 0.0f);
    EXPECT_TRUE(rig.boxes.Boxes().empty());
}

TEST_F(VoiceTest, SwitchingTwiceUntickingAndALostOutputLeaveNoNoteSounding) {
    const snd::Handle system = voice.VoiceSystem;
    voice.UseVoiceCheckClicked(false);
    voice.UseVoiceCheckClicked(true);
    EXPECT_EQ(voice.VoiceSystem, system);
    voice.SetVoiceForLine(QStringLiteral("A4"));
    EXPECT_GT(test::Rms(rig.out->RenderMono(4800), 2400), 0.0005);
    voice.UseVoiceCheckClicked(false);
    EXPECT_FALSE(controls.IsVisible());
    rig.out->RenderMono(480);
    EXPECT_EQ(test::Peak(rig.out->RenderMono(4800)), 0.0f);

    voice.UseVoiceCheckClicked(true);
    voice.SetVoiceForLine(QStringLiteral("A4"));
    rig.out->SimulateDeviceLoss();
    controls.FormantRandomFreqSlider_Scroll(100);
    rig.Wait(500);
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    EXPECT_EQ(rig.boxes.Boxes()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(test::Peak(rig.out->RenderMono(4800)), 0.0f);

    voice.VoiceDoShutDownStuff();
    voice.VoiceDoShutDownStuff();
    voice.SetVoiceForLine(QStringLiteral("A4"));
    rig.Wait(200);
    EXPECT_EQ(rig.log.Trimmed().count(QStringLiteral("Closing and releasing FMOD system "
                                                     "'VoiceSystem'")),
              1);
    EXPECT_EQ(rig.boxes.Boxes().size(), 1u);
}

TEST_F(VoiceTest, TheRandomFormantTimerAllocatesNothingOnTheAudioPath) {
    controls.FormantRandomFreqSlider_Scroll(300);
    voice.SetVoiceForLine(QStringLiteral("A4"));
    std::vector<float> buffer(2400);
    rig.out->RenderInto(buffer.data(), 2400);
    test::CountAllocations count;
    for (int tick = 0; tick < 40; ++tick) {
        voice.RandomFormantTimer_Timer();
        rig.out->RenderInto(buffer.data(), 2400);
    }
    EXPECT_EQ(count.Count(), 0);
    EXPECT_GT(test::Rms(buffer), 0.0005);
}

} // namespace
} // namespace tq
