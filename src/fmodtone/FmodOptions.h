#pragma once

#include "playback/ToneOutputs.h"

#include <QObject>

#include <cstdint>

namespace tq {

class FmodBeep;

// The main window's note/silence slider as the FMOD options see it.
class RatioSliderAccess {
public:
    virtual ~RatioSliderAccess() = default;
    virtual int Value() = 0;
    // Moves NoteSilenceRatioSlider and runs NoteSilenceRatioSlider_Scroll.
    virtual void SetValueAndRunHandler(int value) = 0;
};

// The logic of FMODOptionsForm: the waveform options and the never-silent box, which
// keeps the main window's note/silence slider at 100 while it is ticked and gives the
// old value back when it is cleared, unless the user moved the slider meanwhile.
class FmodOptions final : public QObject {
    Q_OBJECT
public:
    FmodOptions(FmodBeep& beep, OutputSwitches& switches, QObject* parent = nullptr);

    void SetRatioSlider(RatioSliderAccess* slider) { slider_ = slider; }

    // optSine, optSquare, optTriangle, optNoise clicked: the wave code of each.
    void OptionClicked(int32_t code);
    int32_t SelectedOption() const { return selectedOption_; }

    // NeverSilentCheck written (by a click or by code): its click handler runs when the
    // value changes.
    void SetNeverSilentCheck(bool ticked);
    bool NeverSilentCheck() const { return neverSilent_; }
    bool NeverSilentCheckEnabled() const { return neverSilentEnabled_; }

    // Step 2 of NoteSilenceRatioSlider_Scroll, after the label is updated.
    void OnRatioSliderChanged(int value);

    bool RatioManuallyChanged() const { return ratioManuallyChanged_; }
    int32_t PreviousRatio() const { return previousRatio_; }
    bool ManuallySettingCheck() const { return manuallySettingCheck_; }

    // The window: shown modeless and brought to the front, or hidden (its close box
    // hides it too).
    void Show();
    void Hide();
    bool IsVisible() const { return visible_; }

signals:
    // Something the view mirrors changed.
    void Changed();
    void ShowRequested();
    void HideRequested();

private:
    void NeverSilentCheckClick();

    FmodBeep& beep_;
    OutputSwitches& switches_;
    RatioSliderAccess* slider_ = nullptr;
    int32_t selectedOption_ = 1;
    bool neverSilent_ = false;
    bool neverSilentEnabled_ = true;
    bool ratioManuallyChanged_ = false;
    int32_t previousRatio_ = 0;
    bool manuallySettingCheck_ = false;
    bool visible_ = false;
};

} // namespace tq
