#include "mods/PortamentoForm.h"

#include "core/LogSink.h"
#include "core/Rounding.h"
#include "platform/NamedTimers.h"
#include "platform/Speaker.h"

#include <algorithm>
#include <cmath>

namespace tq {

PortamentoForm::PortamentoForm(Deps deps, QObject* parent) : QObject(parent), d_(deps) {
    d_.timers.Add(kEachToneTimer, kTickMs, true);
    d_.timers.Add(kFinishTimer, 250, false);
    d_.timers.SetTickHandler([this](const QString& key) {
        if (key == kEachToneTimer) {
            EachToneTimer_Timer();
        } else if (key == kFinishTimer) {
            FinishTimer_Timer();
        }
    });
    Form_Load();
}

double PortamentoForm::GlideStep(double current, int32_t wanted, double multiple) {
    const double diff = wanted - current;
    if (std::fabs(diff) < kArrivedHz) {
        return wanted;
    }
    return current + diff * multiple;
}

void PortamentoForm::EachToneTimer_Timer() {
    // A tick cannot start inside another: Beep blocks, but a speaker that returns at once
    // must not let ticks pile up either.
    if (inTick_) {
        return;
    }
    inTick_ = true;
    // No wanted pitch (a note that is not one): silence, and the next glide starts from
    // the last pitch heard rather than from 0 Hz.
    if (WantedPitch > 0) {
        d_.timers.SetInterval(kEachToneTimer, kTickMs);
        const bool sounded = d_.speaker.Beep(RoundToInt32(CurrentPitch), kToneMs);
        CurrentPitch = GlideStep(CurrentPitch, WantedPitch, PitchMultiple);
        if (sounded) {
            // The tone outlasted the interval: the next tick follows its end, as an
            // overdue timer would, rather than a pile of missed ticks.
            d_.timers.SetInterval(kEachToneTimer, 1);
        }
    }
    inTick_ = false;
}

void PortamentoForm::SetEachToneTimer(bool enabled) {
    d_.timers.SetEnabled(kEachToneTimer, enabled);
}

void PortamentoForm::StartSound() {
    d_.timers.SetInterval(kFinishTimer, 0);
    d_.timers.SetInterval(kFinishTimer, SoundLengthSlider);
    d_.timers.SetEnabled(kFinishTimer, false);
    SetEachToneTimer(true);
    NeedToStop = false;
    if (optSoundStops) {
        d_.timers.SetEnabled(kFinishTimer, true);
    }
}

void PortamentoForm::FinishTimer_Timer() {
    SetEachToneTimer(false);
    NeedToStop = true;
    d_.timers.SetEnabled(kFinishTimer, false);
}

void PortamentoForm::optSoundAlways_Click() {
    optSoundStops = false;
    SetEachToneTimer(true);
    NeedToStop = false;
    emit Changed();
}

void PortamentoForm::optSoundStops_Click() {
    optSoundStops = true;
    SetEachToneTimer(false);
    NeedToStop = true;
    emit Changed();
}

void PortamentoForm::StartSoundIfNeeded() {
    optSoundStops ? optSoundStops_Click() : optSoundAlways_Click();
}

void PortamentoForm::SetPitchMultipleSlider(int value) {
    PitchMultipleSlider = std::clamp(value, 50, 18000);
    PitchMultiple = PitchMultipleSlider / 10000.0;
    emit Changed();
}

void PortamentoForm::SetSoundLengthSlider(int value) {
    SoundLengthSlider = std::clamp(value, 50, 1000);
    d_.timers.SetInterval(kFinishTimer, SoundLengthSlider);
    lblSoundLength = QString::number(SoundLengthSlider);
    emit Changed();
}

void PortamentoForm::Form_Load() {
    SetPitchMultipleSlider(PitchMultipleSlider);
    SetSoundLengthSlider(SoundLengthSlider);
    StartSoundIfNeeded();
}

void PortamentoForm::UsePortaCheck_Click(bool ticked) {
    if (ticked) {
        emit ShowRequested();
        d_.switches.UsePortamento = true;
        StartSoundIfNeeded();
    } else {
        d_.switches.UsePortamento = false;
        SetEachToneTimer(false);
        NeedToStop = true;
        emit HideRequested();
    }
    d_.log.LogText(QStringLiteral("UsePortaCheck clicked - UsePortamento -> ") +
                   (ticked ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
}

} // namespace tq
