#include "voice/VoiceInternalWindow.h"
#include "voice/VoiceInternalForm.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace tq {
namespace {

struct Named {
    QString name;
    const VoiceSlider* state;
};

std::vector<Named> AllSliders(const VoiceInternalForm& form) {
    std::vector<Named> all = {{"CutoffFreqSlider", &form.CutoffFreqSlider},
                              {"SawVolSlider", &form.SawVolSlider},
                              {"NoiseVolSlider", &form.NoiseVolSlider},
                              {"VoiceVolSlider", &form.VoiceVolSlider},
                              {"FormantTimbreSlider", &form.FormantTimbreSlider},
                              {"FormantRandomFreqSlider", &form.FormantRandomFreqSlider}};
    for (int i = 0; i < VoiceInternalForm::kFormants; ++i) {
        const QString n = QString::number(i);
        all.push_back({"FormantDSPFreqSlider" + n, &form.FormantDSPFreqSlider[i]});
        all.push_back({"FormantDSPVolSlider" + n, &form.FormantDSPVolSlider[i]});
        all.push_back({"SybMaskingDSPFreqSlider" + n, &form.SybMaskingDSPFreqSlider[i]});
        all.push_back({"SybMaskingDSPVolSlider" + n, &form.SybMaskingDSPVolSlider[i]});
        all.push_back({"SybMaskingDSPRangeSlider" + n, &form.SybMaskingDSPRangeSlider[i]});
    }
    return all;
}

std::string Describe(const QWidget* w) {
    const auto* label = qobject_cast<const QLabel*>(w);
    return (label ? label->text() : w->objectName()).toStdString();
}

TEST(VoiceInternalWindow, EverySliderShowsItsStateAndOnlyAUsersScrollRunsItsHandler) {
    VoiceInternalForm form;
    VoiceInternalWindow window(form);
    for (const auto& [name, state] : AllSliders(form)) {
        const auto* slider = window.findChild<QSlider*>(name);
        ASSERT_NE(slider, nullptr) << name.toStdString();
        EXPECT_EQ(slider->orientation(), state->vertical ? Qt::Vertical : Qt::Horizontal);
        EXPECT_EQ(slider->minimum(), state->minimum) << name.toStdString();
        EXPECT_EQ(slider->maximum(), state->maximum) << name.toStdString();
        EXPECT_EQ(slider->pageStep(), state->largeChange) << name.toStdString();
        EXPECT_EQ(slider->singleStep(), 1) << name.toStdString();
        EXPECT_EQ(slider->value(), state->value) << name.toStdString();
    }

    auto* cutoff = window.findChild<QSlider*>("CutoffFreqSlider");
    QTest::keyClick(cutoff, Qt::Key_PageUp);
    EXPECT_EQ(form.CutoffFreqSlider.value, 6050);

    // Set by the logic, the U vowel's volume 55 shows at the slider's minimum; a handler run
    // by that would have stored 60.
    auto* volume = window.findChild<QSlider*>("FormantDSPVolSlider0");
    form.FormantDSPVolSlider[0].value = 55;
    emit form.Changed();
    EXPECT_EQ(volume->value(), 60);
    EXPECT_EQ(form.FormantDSPVolSlider[0].value, 55);
}

TEST(VoiceInternalWindow, ShowsWithTheVoiceAndItsCloseBoxLeavesItOpen) {
    VoiceInternalForm form;
    VoiceInternalWindow window(form);
    EXPECT_FALSE(window.isVisible());
    form.SetVisible(true);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Voice Internals");
    window.close();
    EXPECT_TRUE(window.isVisible());
    form.SetVisible(false);
    EXPECT_FALSE(window.isVisible());
}

TEST(VoiceInternalWindow, TheVowelButtonsAndEveryControlSitWholeAndApart) {
    VoiceInternalForm form;
    VoiceInternalWindow window(form);
    for (const char* vowel : {"A", "E", "I", "O", "U"}) {
        const auto* button =
            window.findChild<QAbstractButton*>(QStringLiteral("Speech%1Button").arg(vowel));
        ASSERT_NE(button, nullptr) << vowel;
        EXPECT_EQ(button->text(), vowel);
    }
    QList<QWidget*> controls;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(w) || qobject_cast<QSlider*>(w) ||
            qobject_cast<QAbstractButton*>(w)) {
            controls << w;
        }
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QRect r = controls[i]->geometry();
        EXPECT_TRUE(window.rect().contains(r)) << Describe(controls[i]);
        if (const auto* label = qobject_cast<QLabel*>(controls[i])) {
            EXPECT_GE(r.width(), label->sizeHint().width()) << label->text().toStdString();
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(r.intersects(controls[j]->geometry()))
                << Describe(controls[i]) << " / " << Describe(controls[j]);
        }
    }
}

} // namespace
} // namespace tq
