#include "fmodtone/FmodOptions.h"

#include "fmodtone/FmodBeep.h"

namespace tq {

namespace {

constexpr int kNeverSilentRatio = 100;

} // namespace

FmodOptions::FmodOptions(FmodBeep& beep, OutputSwitches& switches, QObject* parent)
    : QObject(parent), beep_(beep), switches_(switches) {}

void FmodOptions::OptionClicked(int32_t code) {
    selectedOption_ = code;
    beep_.ChangeDSPType(code);
    emit Changed();
}

void FmodOptions::SetNeverSilentCheck(bool ticked) {
    if (ticked == neverSilent_) {
        return;
    }
    neverSilent_ = ticked;
    emit Changed();
    NeverSilentCheckClick();
}

void FmodOptions::NeverSilentCheckClick() {
    manuallySettingCheck_ = true;
    if (neverSilent_) {
        switches_.DoNotShutUpFMOD = true;
        previousRatio_ = slider_ ? slider_->Value() : previousRatio_;
        ratioManuallyChanged_ = false;
        if (slider_) {
            slider_->SetValueAndRunHandler(kNeverSilentRatio);
        }
    } else {
        switches_.DoNotShutUpFMOD = false;
        if (!ratioManuallyChanged_ && slider_) {
            slider_->SetValueAndRunHandler(previousRatio_);
        }
    }
    manuallySettingCheck_ = false;
}

void FmodOptions::OnRatioSliderChanged(int value) {
    if (manuallySettingCheck_) {
        return;
    }
    ratioManuallyChanged_ = true;
    previousRatio_ = value;
    SetNeverSilentCheck(value == kNeverSilentRatio);
    neverSilentEnabled_ = value != kNeverSilentRatio;
    emit Changed();
}

void FmodOptions::Show() {
    visible_ = true;
    emit ShowRequested();
}

void FmodOptions::Hide() {
    visible_ = false;
    emit HideRequested();
}

} // namespace tq
