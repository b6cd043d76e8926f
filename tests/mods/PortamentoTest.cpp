#include "EditorRig.h"
#include "mods/PortamentoForm.h"
#include "platform/QtNamedTimers.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

// The main window's logic with the glide plugged into the tone dispatcher, all on the
// virtual clock.
struct PortaRig : EditorRig {
    VirtualNamedTimers timers{clock, pump};
    PortamentoForm porta{{speaker, timers, switches, log}};
    PortaRig() { tones.SetPortamentoOutput(&porta); }

    std::vector<int32_t> Pitches() const {
        std::vector<int32_t> out;
        for (const auto& t : speaker.Tones()) {
            out.push_back(t.frequency);
        }
        return out;
    }
};

TEST(Portamento, EachTickBeepsTheCurrentPitchThenMovesItTheMultipleOfTheWayToTheWantedOne) {
    struct Case {
        int slider;
        std::vector<int32_t> pitches; // the first glide rises from 0 Hz
    };
    const Case cases[] = {
        {10000, {0, 440, 440, 440, 440, 440, 440}},
        // Overshoots by a fifth of the distance each tick, then arrives within half a hertz.
        {12000, {0, 528, 422, 444, 439, 440, 440}},
        {50, {0, 2, 4, 7, 9, 11, 13}},
    };
    for (const Case& c : cases) {
        PortaRig r;
        r.porta.SetPitchMultipleSlider(c.slider);
        r.porta.SetWantedPitch(440);
        for (size_t i = 0; i < c.pitches.size(); ++i) {
            r.porta.EachToneTimer_Timer();
        }
        EXPECT_EQ(r.Pitches(), c.pitches) << c.slider;
    }
}

TEST(Portamento, AWantedPitchOfZeroIsSilentAndKeepsThePitchForTheNextGlide) {
    PortaRig r;
    r.porta.SetPitchMultipleSlider(10000);
    r.porta.SetWantedPitch(440);
    r.porta.EachToneTimer_Timer();
    r.porta.EachToneTimer_Timer();
    r.porta.SetWantedPitch(0);
    r.porta.EachToneTimer_Timer();
    EXPECT_EQ(r.porta.CurrentPitch, 440);
    EXPECT_EQ(r.speaker.Tones().size(), 2U);
}

TEST(Portamento, InStopsModeOneStartSoundGlidesForAboutTheSoundLength) {
    PortaRig r;
    r.form.UsePortaCheck.Checked = true;
    r.porta.UsePortaCheck_Click(true);
    r.tones.UniBeepValue(QStringLiteral("A4"), 500, false, false, false, false);
    EXPECT_EQ(r.ElapsedMs(), 0); // the dispatcher returns at once
    r.sleep.MsgWaitObj(1000);
    const auto tones = r.speaker.SoundedTones();
    ASSERT_FALSE(tones.empty());
    const double last = static_cast<double>(tones.back().startNs - r.t0) / EditorRig::kMs;
    EXPECT_GE(last, 200);
    EXPECT_LE(last, 250);
    EXPECT_TRUE(r.porta.NeedToStop);
}

// An output that returns at once, as the glide does.
struct WantedPitches final : PortamentoToneOutput {
    explicit WantedPitches(EditorRig& rig) : r(rig) {}
    void SetWantedPitch(int32_t frequency) override {
        pitches << QStringLiteral("%1@%2").arg(frequency).arg(r.ElapsedMs());
    }
    void StartSound() override {}
    EditorRig& r;
    QStringList pitches;
};

TEST(Portamento, AnAlternatingLineWaitsOutEachStepInsteadOfSpinning) {
    EditorRig r;
    WantedPitches out(r);
    r.tones.SetPortamentoOutput(&out);
    r.switches.UsePortamento = true;
    r.Load({"Quarter C4 E4 -"}); // 140 BPM, ratio 50: 214 ms of sound in steps of 30 ms
    r.form.PlayMusic(1, 1, true);
    EXPECT_EQ(out.pitches, QStringList({"262@0", "330@30", "262@60", "330@90", "262@120", "330@150",
                                        "262@180"}));
}

} // namespace
} // namespace tq
