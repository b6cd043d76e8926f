#pragma once

#include "fmodtone/engine/SoundEngine.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <random>

namespace tq {

class LogSink;
class MessageBoxes;
class NamedTimers;
class VoiceInternalForm;

// The formant voice: a sawtooth with a little noise, through four parametric EQs set to
// a vowel's formants, on a sound system of its own. It sings the song's Note 2 while
// UseVoiceCheck is ticked. A hidden window in the program: only its logic is here.
class VoiceMainForm final : public QObject {
    Q_OBJECT
public:
    static constexpr int kFormants = 4;
    static inline const QString kTimerName = QStringLiteral("RandomFormantTimer");
    static constexpr int kTimerIntervalMs = 50;

    struct Deps {
        snd::SoundEngine& engine;
        MessageBoxes& boxes;
        LogSink& log;
        NamedTimers& timers; // RandomFormantTimer ticks through these
        VoiceInternalForm& controls;
    };
    explicit VoiceMainForm(Deps deps, QObject* parent = nullptr);
    ~VoiceMainForm() override;

    // The first use: builds and starts the voice. Later calls do nothing.
    void Load();
    bool IsLoaded() const { return loaded_; }
    void BuildVoiceGraph();
    void StartVoice();

    void ChangeBaseFreq(double hz);
    void ChangeSawVol(double level);
    void ChangeNoiseVol(double level);
    void ChangeVoiceVol(double level);
    void ChangeCutoffFreq(double hz);
    // freq or vol -1 keeps the stored value.
    void ChangeFormantFreqVol(int index, double freq, double vol, bool useTimbre);
    void ApplyFormant(int index, double freq, double gain);
    // Shows the stored formants on the controls' sliders without running their handlers.
    void UpdateFormantSliders(bool useTimbre);
    double PlusMinusRandom(double centre, double range);
    void RandomFormantTimer_Timer();
    void VoiceDoShutDownStuff();

    // UseVoiceCheck's click handler.
    void UseVoiceCheckClicked(bool ticked);
    // The sequencer's per-line call: sings note2 at the controls' voice level, or is
    // silent when the line has no Note 2.
    void SetVoiceForLine(const QString& note2);

    // The filter gain of a formant volume (60 to 100 on the sliders' scale).
    static double FormantGain(double vol) { return (vol - 40.0) * 3.5 / 60.0; }
    // The base frequency sung for a note frequency: two octaves down, raised by 1.08.
    static double BaseFreqOfNote(double noteHz);

    // Runs before every change to the sound, so an offline render can catch up to the
    // present first and the change lands at its own time.
    void SetBeforeChange(std::function<void()> hook) { beforeChange_ = std::move(hook); }
    // Numbers in [0, 1) for PlusMinusRandom (tests make them repeatable).
    void SetRandomSource(std::function<double()> random) { random_ = std::move(random); }

    // Values other windows read.
    float SawVol = 0.0f;
    float NoiseVol = 0.0f;
    float VoiceVol = 0.0f;
    int32_t SawFreq = 0;
    int32_t FormantTimbre = 0;
    int32_t MaxRandomFormantFreq = 0;
    std::array<double, kFormants> FormantFreq{};
    std::array<int32_t, kFormants> FormantVol{};

    snd::Handle VoiceSystem = 0;
    snd::Handle MasterGroup = 0;
    snd::Handle FinalChannel = 0, VoiceChannel = 0, SawChannel = 0, NoiseChannel = 0,
                SybChannel = 0;
    snd::Handle SawDSP = 0, NoiseDSP = 0, SybNoiseDSP = 0, CutoffDSP = 0;
    std::array<snd::Handle, kFormants> FormantDSP{};
    std::array<snd::Handle, kFormants> SybMaskingDSP{};
    // The channels playing SawDSP, NoiseDSP and SybNoiseDSP.
    snd::Handle SawPlaying = 0, NoisePlaying = 0, SybNoisePlaying = 0;

private:
    bool Check(int32_t result);
    double TimbreFactor() const { return FormantTimbre / 1000.0 + 1.0; }
    void BuildFormants();
    void BuildSources();
    void BuildSibilance();
    void BeforeChange() {
        if (beforeChange_) {
            beforeChange_();
        }
    }

    Deps d_;
    bool loaded_ = false;
    bool inTimer_ = false;
    int32_t result_ = 0;
    std::function<void()> beforeChange_;
    std::function<double()> random_;
    std::mt19937 generator_{std::random_device{}()};
};

} // namespace tq
