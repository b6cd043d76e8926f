#include "BeepRig.h"

#include "fmodtone/FmodOptions.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

// The main window's slider: the handler updates the label, then tells the options.
class FakeSlider final : public RatioSliderAccess {
public:
    explicit FakeSlider(FmodOptions& o) : options(o) {}
    int Value() override { return value; }
    void SetValueAndRunHandler(int v) override {
        value = v;
        Scroll();
    }
    void Scroll() {
        label = QString::number(value).rightJustified(2, QLatin1Char('0')) + QLatin1Char('%');
        options.OnRatioSliderChanged(value);
    }
    void UserMoves(int v) { SetValueAndRunHandler(v); }

    FmodOptions& options;
    int value = 50;
    QString label = QStringLiteral("50%");
};

class FmodOptionsTest : public testing::Test {
protected:
    test::BeepRig rig;
    FmodOptions options{rig.beep, rig.switches};
    FakeSlider slider{options};
    void SetUp() override {
        ASSERT_TRUE(rig.beep.SetUp());
        options.SetRatioSlider(&slider);
    }
    struct State {
        int slider;
        bool ticked;
        bool enabled;
        bool doNotShutUp;
        bool operator==(const State&) const = default;
    };
    State Now() const {
        return {slider.value, options.NeverSilentCheck(), options.NeverSilentCheckEnabled(),
                rig.switches.DoNotShutUpFMOD};
    }
};

TEST_F(FmodOptionsTest, NeverSilentAndTheRatioSliderFollowEachOther) {
    struct Step {
        const char* what;
        int moveSliderTo; // -1: click the box instead
        bool tick;
        State after;
    };
    const Step steps[] = {
        {"tick the box", -1, true, {100, true, true, true}},
        {"clear it: the old ratio returns", -1, false, {50, false, true, false}},
        {"slider to 100 ticks and locks the box", 100, false, {100, true, false, true}},
        {"slider to 95 clears and unlocks it", 95, false, {95, false, true, false}},
        {"tick again", -1, true, {100, true, true, true}},
        {"the user moves the slider meanwhile", 80, false, {80, false, true, false}},
        {"tick once more", -1, true, {100, true, true, true}},
        {"clear: the ratio before the tick returns", -1, false, {80, false, true, false}},
    };
    for (const Step& s : steps) {
        if (s.moveSliderTo >= 0) {
            slider.UserMoves(s.moveSliderTo);
        } else {
            options.SetNeverSilentCheck(s.tick);
        }
        EXPECT_TRUE(Now() == s.after)
            << s.what << ": slider " << slider.value << " ticked " << options.NeverSilentCheck()
            << " enabled " << options.NeverSilentCheckEnabled();
        EXPECT_FALSE(options.ManuallySettingCheck()) << s.what;
    }
    EXPECT_EQ(slider.label, "80%");
}

TEST_F(FmodOptionsTest, EachOptionSelectsItsWave) {
    struct Case {
        int32_t code;
        float rate;
    };
    for (const Case& c : {Case{0, 4000.0f}, Case{3, 4000.0f}, Case{5, 4000.0f}, Case{1, 8000.0f}}) {
        options.OptionClicked(c.code);
        float wave = -1.0f;
        float rate = 0.0f;
        ASSERT_EQ(rig.engine.DSP_GetParameter(rig.beep.BeepDSP(), 0, &wave), snd::kOk);
        ASSERT_EQ(rig.engine.DSP_GetParameter(rig.beep.BeepDSP(), 1, &rate), snd::kOk);
        EXPECT_EQ(wave, static_cast<float>(c.code));
        EXPECT_EQ(rate, c.rate);
        EXPECT_EQ(options.SelectedOption(), c.code);
        EXPECT_EQ(rig.beep.DSPType(), c.code);
    }
}

} // namespace
} // namespace tq
