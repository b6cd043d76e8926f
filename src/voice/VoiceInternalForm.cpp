#include "voice/VoiceInternalForm.h"

#include "voice/VoiceMainForm.h"

#include <algorithm>

namespace tq {

namespace {

constexpr bool kVertical = true;
constexpr bool kHorizontal = false;

VoiceSlider Slider(int minimum, int maximum, int value, int largeChange, bool vertical) {
    return VoiceSlider{minimum, maximum, value, largeChange, vertical};
}

struct Formant {
    double freq;
    int vol;
};

struct Vowel {
    char name;
    Formant formants[VoiceInternalForm::kFormants];
};

// U's first volume lies below the volume sliders' range: it is applied as it is, and its
// slider shows its lowest value.
constexpr Vowel kVowels[] = {
    {'A', {{1180, 92}, {1675, 100}, {2558, 90}, {3355, 60}}},
    {'E', {{814, 98}, {1934, 100}, {2623, 96}, {3829, 65}}},
    {'I', {{426, 65}, {2537, 94}, {2989, 80}, {4001, 70}}},
    {'O', {{900, 88}, {1158, 88}, {2258, 87}, {3355, 60}}},
    {'U', {{512, 55}, {2020, 90}, {2429, 90}, {3742, 70}}},
};

} // namespace

VoiceInternalForm::VoiceInternalForm(QObject* parent) : QObject(parent) {
    FormantDSPFreqSlider.fill(Slider(200, 8000, 200, 50, kVertical));
    FormantDSPVolSlider.fill(Slider(60, 100, 100, 10, kVertical));
    CutoffFreqSlider = Slider(5000, 8000, 6000, 50, kVertical);
    SawVolSlider = Slider(1, 1000, 1000, 100, kVertical);
    NoiseVolSlider = Slider(1, 1000, 80, 100, kVertical);
    VoiceVolSlider = Slider(1, 400, 300, 79, kVertical);
    FormantTimbreSlider = Slider(0, 950, 300, 200, kHorizontal);
    FormantRandomFreqSlider = Slider(0, 500, 50, 100, kHorizontal);
    SybMaskingDSPFreqSlider.fill(Slider(200, 7000, 200, 50, kVertical));
    SybMaskingDSPVolSlider.fill(Slider(0, 100, 100, 10, kVertical));
    SybMaskingDSPRangeSlider.fill(Slider(200, 1500, 200, 10, kVertical));
}

void VoiceInternalForm::ShowSliderValue(VoiceSlider& slider, int value) {
    slider.value = std::clamp(value, slider.minimum, slider.maximum);
    emit Changed();
}

void VoiceInternalForm::SetVisible(bool visible) {
    visible_ = visible;
    emit Changed();
}

void VoiceInternalForm::FormantDSPFreqSlider_Scroll(int index, int value) {
    ShowSliderValue(FormantDSPFreqSlider[index], value);
    if (voice_) {
        voice_->ChangeFormantFreqVol(index, FormantDSPFreqSlider[index].value, -1, false);
    }
}

void VoiceInternalForm::FormantDSPVolSlider_Scroll(int index, int value) {
    ShowSliderValue(FormantDSPVolSlider[index], value);
    if (voice_) {
        voice_->ChangeFormantFreqVol(index, -1, FormantDSPVolSlider[index].value, true);
    }
}

void VoiceInternalForm::CutoffFreqSlider_Scroll(int value) {
    ShowSliderValue(CutoffFreqSlider, value);
    if (voice_) {
        voice_->ChangeCutoffFreq(CutoffFreqSlider.value);
    }
}

void VoiceInternalForm::SawVolSlider_Scroll(int value) {
    ShowSliderValue(SawVolSlider, value);
    if (voice_) {
        voice_->ChangeSawVol(SawVolSlider.value / 10000.0);
    }
}

void VoiceInternalForm::NoiseVolSlider_Scroll(int value) {
    ShowSliderValue(NoiseVolSlider, value);
    if (voice_) {
        voice_->ChangeNoiseVol(NoiseVolSlider.value / 10000.0);
    }
}

// The sequencer reads this slider for every line.
void VoiceInternalForm::VoiceVolSlider_Scroll(int value) {
    ShowSliderValue(VoiceVolSlider, value);
}

void VoiceInternalForm::FormantTimbreSlider_Scroll(int value) {
    ShowSliderValue(FormantTimbreSlider, value);
    if (!voice_) {
        return;
    }
    voice_->FormantTimbre = FormantTimbreSlider.value;
    for (int i = 0; i < kFormants; ++i) {
        voice_->ChangeFormantFreqVol(i, -1, -1, true);
    }
    voice_->UpdateFormantSliders(true);
}

void VoiceInternalForm::FormantRandomFreqSlider_Scroll(int value) {
    ShowSliderValue(FormantRandomFreqSlider, value);
    if (voice_) {
        voice_->MaxRandomFormantFreq = FormantRandomFreqSlider.value;
    }
}

void VoiceInternalForm::SybMaskingSlider_Scroll(std::array<VoiceSlider, kFormants>& sliders,
                                                int index, int value) {
    ShowSliderValue(sliders[index], value);
}

void VoiceInternalForm::SpeechButton_Click(char vowel) {
    const auto* v = std::find_if(std::begin(kVowels), std::end(kVowels),
                                 [vowel](const Vowel& w) { return w.name == vowel; });
    if (v == std::end(kVowels) || !voice_) {
        return;
    }
    for (int i = 0; i < kFormants; ++i) {
        voice_->ChangeFormantFreqVol(i, v->formants[i].freq, v->formants[i].vol, true);
    }
    voice_->UpdateFormantSliders(true);
}

} // namespace tq
