#pragma once

#include <QObject>

#include <array>

namespace tq {

class VoiceMainForm;

// One slider of the voice controls: its range, change step, orientation and value. The
// view shows it; only a user's scroll runs the handler, setting it from code does not.
struct VoiceSlider {
    int minimum = 0;
    int maximum = 0;
    int value = 0;
    int largeChange = 1;
    bool vertical = true;
};

// The logic of the "Voice Internals" window: the sliders that sit on the voice graph, the
// five vowel buttons, and what moving them changes in the voice.
class VoiceInternalForm final : public QObject {
    Q_OBJECT
public:
    static constexpr int kFormants = 4;

    explicit VoiceInternalForm(QObject* parent = nullptr);
    void SetVoice(VoiceMainForm* voice) { voice_ = voice; }

    // Slider state, as the view shows it.
    std::array<VoiceSlider, kFormants> FormantDSPFreqSlider;
    std::array<VoiceSlider, kFormants> FormantDSPVolSlider;
    VoiceSlider CutoffFreqSlider;
    VoiceSlider SawVolSlider;
    VoiceSlider NoiseVolSlider;
    VoiceSlider VoiceVolSlider;
    VoiceSlider FormantTimbreSlider;
    VoiceSlider FormantRandomFreqSlider;
    std::array<VoiceSlider, kFormants> SybMaskingDSPFreqSlider;
    std::array<VoiceSlider, kFormants> SybMaskingDSPVolSlider;
    std::array<VoiceSlider, kFormants> SybMaskingDSPRangeSlider;

    // The user scrolled a slider (dragged or stepped it) to value.
    void FormantDSPFreqSlider_Scroll(int index, int value);
    void FormantDSPVolSlider_Scroll(int index, int value);
    void CutoffFreqSlider_Scroll(int value);
    void SawVolSlider_Scroll(int value);
    void NoiseVolSlider_Scroll(int value);
    void VoiceVolSlider_Scroll(int value);
    void FormantTimbreSlider_Scroll(int value);
    void FormantRandomFreqSlider_Scroll(int value);
    // The sibilance sliders only move; nothing listens to them.
    void SybMaskingSlider_Scroll(std::array<VoiceSlider, kFormants>& sliders, int index,
                                 int value);

    // SpeechAButton .. SpeechUButton: vowel 'A', 'E', 'I', 'O' or 'U'.
    void SpeechButton_Click(char vowel);

    // Shown when the voice is switched on, hidden when it is switched off; the close box
    // does nothing.
    bool IsVisible() const { return visible_; }
    void SetVisible(bool visible);

    // A slider's value set from code (the handler does not run).
    void ShowSliderValue(VoiceSlider& slider, int value);

signals:
    // A slider value, a range or the visibility changed: the view mirrors it.
    void Changed();

private:
    VoiceMainForm* voice_ = nullptr;
    bool visible_ = false;
};

} // namespace tq
