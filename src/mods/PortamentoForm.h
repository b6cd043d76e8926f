#pragma once

#include "playback/ToneOutputs.h"

#include <QObject>
#include <QString>

#include <cstdint>

namespace tq {

class LogSink;
class NamedTimers;
class Speaker;

// "Piptone Portamento Settings": the glide. EachToneTimer beeps 30 ms tones on the speaker
// and moves their pitch PitchMultiple of the way to WantedPitch on every tick; the tone
// dispatcher only sets the wanted pitch and starts the sound. FinishTimer ends the sound
// after SoundLengthSlider milliseconds unless the sound is always on.
class PortamentoForm final : public QObject, public PortamentoToneOutput {
    Q_OBJECT
public:
    static inline const QString kEachToneTimer = QStringLiteral("EachToneTimer");
    static inline const QString kFinishTimer = QStringLiteral("FinishTimer");
    static constexpr int kTickMs = 15;
    static constexpr int kToneMs = 30;
    // Closer than this the glide has arrived: the pitch is set to the wanted one.
    static constexpr double kArrivedHz = 0.5;

    struct Deps {
        Speaker& speaker;    // the tone is beeped directly, not through UniBeep
        NamedTimers& timers; // EachToneTimer and FinishTimer tick through these
        OutputSwitches& switches;
        LogSink& log;
    };
    explicit PortamentoForm(Deps deps, QObject* parent = nullptr);

    // One tick's pitch step: the new pitch for current and wanted.
    static double GlideStep(double current, int32_t wanted, double multiple);

    int32_t WantedPitch = 0;
    bool NeedToStop = true;
    double PitchMultiple = 1.2;
    double CurrentPitch = 0;
    int PitchMultipleSlider = 12000; // 50 to 18000
    int SoundLengthSlider = 250;     // 50 to 1000 ms
    QString lblSoundLength = QStringLiteral("250");
    bool optSoundStops = true; // otherwise optSoundAlways

    // PortamentoToneOutput
    void SetWantedPitch(int32_t frequency) override { WantedPitch = frequency; }
    void StartSound() override;

    void StartSoundIfNeeded();
    void EachToneTimer_Timer();
    void FinishTimer_Timer();
    void optSoundStops_Click();
    void optSoundAlways_Click();
    void SetPitchMultipleSlider(int value);
    void SetSoundLengthSlider(int value);
    void Form_Load();
    // The close box: the mod is switched off instead, through UsePortaCheck.
    void CloseRequested() { emit UntickRequested(); }
    // UsePortaCheck's click handler.
    void UsePortaCheck_Click(bool ticked);

signals:
    void Changed();
    void ShowRequested();
    void HideRequested();
    void UntickRequested();

private:
    void SetEachToneTimer(bool enabled);

    Deps d_;
    bool inTick_ = false;
};

} // namespace tq
