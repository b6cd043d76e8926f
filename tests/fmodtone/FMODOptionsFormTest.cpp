#include "BeepRig.h"

#include "fmodtone/FMODOptionsForm.h"
#include "fmodtone/FmodOptions.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tq {
namespace {

class FormSlider final : public RatioSliderAccess {
public:
    FmodOptions* options = nullptr;
    int value = 50;
    int Value() override { return value; }
    void SetValueAndRunHandler(int v) override {
        value = v;
        options->OnRatioSliderChanged(v);
    }
};

class FMODOptionsFormTest : public testing::Test {
protected:
    test::BeepRig rig;
    FmodOptions options{rig.beep, rig.switches};
    FormSlider slider;
    FMODOptionsForm form{options};
    void SetUp() override {
        ASSERT_TRUE(rig.beep.SetUp());
        slider.options = &options;
        options.SetRatioSlider(&slider);
        rig.beep.SetOptions(&options);
    }
    template <typename T> T* Child(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
};

TEST_F(FMODOptionsFormTest, ClickingAnOptionChangesTheWaveAndTheBoxMirrorsTheSlider) {
    EXPECT_EQ(form.windowTitle(), "FMOD Settings");
    options.Show();
    ASSERT_TRUE(Child<QRadioButton>("optSquare")->isChecked());
    // On the indicator: a radio button is not hit beside its caption.
    auto clickOption = [&](const char* name) {
        auto* b = Child<QRadioButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    };
    clickOption("optSine");
    EXPECT_EQ(rig.beep.DSPType(), 0);
    clickOption("optTriangle");
    EXPECT_EQ(rig.beep.DSPType(), 4); // a triangle, not the falling saw of code 3

    auto* check = Child<QCheckBox>("NeverSilentCheck");
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_TRUE(rig.switches.DoNotShutUpFMOD);
    EXPECT_EQ(slider.value, 100);
    slider.SetValueAndRunHandler(100);
    EXPECT_TRUE(check->isChecked());
    EXPECT_FALSE(check->isEnabled());
    slider.SetValueAndRunHandler(95);
    EXPECT_FALSE(check->isChecked());
    EXPECT_TRUE(check->isEnabled());
}

TEST_F(FMODOptionsFormTest, TheCheckBoxShowsTheWindowAndItsCloseBoxOnlyHidesIt) {
    rig.beep.UseFMODCheckClicked(true);
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(options.IsVisible());
    rig.beep.UseFMODCheckClicked(true);
    EXPECT_TRUE(form.isVisible());
    rig.beep.UseFMODCheckClicked(false);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace tq
