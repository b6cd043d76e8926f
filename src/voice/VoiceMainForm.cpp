#include "voice/VoiceMainForm.h"

#include "core/Decimal4.h"
#include "core/LogSink.h"
#include "core/NoteFrequencies.h"
#include "core/Rounding.h"
#include "fmodtone/FmodErrorCheck.h"
#include "platform/MessageBoxes.h"
#include "platform/NamedTimers.h"
#include "voice/VoiceInternalForm.h"

#include <algorithm>

namespace tq {

namespace {

using snd::SoundEngine;

} // namespace

VoiceMainForm::VoiceMainForm(Deps deps, QObject* parent) : QObject(parent), d_(deps) {
    d_.controls.SetVoice(this);
    d_.timers.SetTickHandler([this](const QString& key) {
        if (key == kTimerName) {
            RandomFormantTimer_Timer();
        }
    });
}

VoiceMainForm::~VoiceMainForm() {
    d_.controls.SetVoice(nullptr);
    d_.timers.SetTickHandler(nullptr);
    if (VoiceSystem != 0) {
        d_.engine.System_Release(VoiceSystem);
    }
}

bool VoiceMainForm::Check(int32_t result) {
    result_ = result;
    return VoiceERRCHECK(result, d_.boxes);
}

double VoiceMainForm::BaseFreqOfNote(double noteHz) {
    return Decimal4::FromDouble(noteHz * 1.08).ToDouble() / 4.0;
}

void VoiceMainForm::Load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    d_.timers.Add(kTimerName, kTimerIntervalMs, true);
    BuildVoiceGraph();
    d_.controls.VoiceVolSlider.largeChange = 20;
    d_.controls.FormantTimbreSlider.largeChange = 20;
    emit d_.controls.Changed();
    StartVoice();
}

void VoiceMainForm::BuildVoiceGraph() {
    SoundEngine& e = d_.engine;
    Check(e.System_Create(&VoiceSystem));
    uint32_t version = 0;
    Check(e.System_GetVersion(VoiceSystem, &version));
    FmodVersionCheck(version, d_.boxes, true);
    Check(e.System_SetSoftwareChannels(VoiceSystem, 16));
    Check(e.System_Init(VoiceSystem, 16, 0));
    Check(e.System_GetMasterChannelGroup(VoiceSystem, &MasterGroup));
    Check(e.System_CreateChannelGroup(VoiceSystem, "FinalChannel", &FinalChannel));
    Check(e.ChannelGroup_AddGroup(MasterGroup, FinalChannel));
    BuildFormants();
    BuildSources();
    BuildSibilance();
}

void VoiceMainForm::BuildFormants() {
    SoundEngine& e = d_.engine;
    for (int i = kFormants - 1; i >= 0; --i) {
        Check(e.System_CreateDSPByType(VoiceSystem, snd::kDspParamEq, &FormantDSP[i]));
        Check(e.DSP_SetParameter(FormantDSP[i], 1, 1.0f));
    }
    Check(e.System_CreateChannelGroup(VoiceSystem, "VoiceChannel", &VoiceChannel));
    for (snd::Handle f : FormantDSP) {
        Check(e.ChannelGroup_AddDSP(VoiceChannel, f));
    }
    Check(e.ChannelGroup_AddGroup(FinalChannel, VoiceChannel));
    Check(e.System_CreateDSPByType(VoiceSystem, snd::kDspLowPass, &CutoffDSP));
    for (snd::Handle f : FormantDSP) {
        Check(e.DSP_AddInput(f, CutoffDSP));
    }
    Check(e.DSP_SetParameter(CutoffDSP, 0, 6000.0f));
    Check(e.DSP_SetParameter(CutoffDSP, 1, 10.0f));
    Check(e.DSP_SetBypass(CutoffDSP, true));
    Check(e.ChannelGroup_AddDSP(VoiceChannel, CutoffDSP));
}

void VoiceMainForm::BuildSources() {
    SoundEngine& e = d_.engine;
    Check(e.System_CreateChannelGroup(VoiceSystem, "SawChannel", &SawChannel));
    Check(e.System_CreateChannelGroup(VoiceSystem, "NoiseChannel", &NoiseChannel));
    Check(e.ChannelGroup_AddGroup(VoiceChannel, SawChannel));
    Check(e.ChannelGroup_AddGroup(VoiceChannel, NoiseChannel));
    Check(e.System_CreateDSPByType(VoiceSystem, snd::kDspOscillator, &SawDSP));
    Check(e.System_CreateDSPByType(VoiceSystem, snd::kDspOscillator, &NoiseDSP));
    SawFreq = 120;
    Check(e.DSP_SetParameter(SawDSP, 1, 120.0f));
    Check(e.System_PlayDSP(VoiceSystem, SoundEngine::kFreeChannel, SawDSP, true, &SawPlaying));
    Check(e.Channel_SetChannelGroup(SawPlaying, SawChannel));
    Check(e.System_PlayDSP(VoiceSystem, SoundEngine::kFreeChannel, NoiseDSP, true, &NoisePlaying));
    Check(e.Channel_SetChannelGroup(NoisePlaying, NoiseChannel));
    Check(e.ChannelGroup_SetVolume(SawChannel, 0.15f));
    Check(e.ChannelGroup_SetVolume(NoiseChannel, 0.02f));
    Check(e.DSP_SetParameter(SawDSP, 0, 3.0f));
    Check(e.DSP_SetParameter(NoiseDSP, 0, 5.0f));
    Check(e.ChannelGroup_SetVolume(VoiceChannel, 0.1f));
}

// Built as the voice was designed, but its channel is never unpaused: no control feeds it.
void VoiceMainForm::BuildSibilance() {
    SoundEngine& e = d_.engine;
    Check(e.System_CreateChannelGroup(VoiceSystem, "SybChannel", &SybChannel));
    for (int i = kFormants - 1; i >= 0; --i) {
        Check(e.System_CreateDSPByType(VoiceSystem, snd::kDspParamEq, &SybMaskingDSP[i]));
    }
    Check(e.ChannelGroup_AddDSP(SybChannel, SybMaskingDSP[0]));
    for (int i = 1; i < kFormants; ++i) {
        Check(e.DSP_AddInput(SybMaskingDSP[i], SybMaskingDSP[i - 1]));
    }
    Check(e.ChannelGroup_AddGroup(FinalChannel, SybChannel));
    Check(e.System_CreateDSPByType(VoiceSystem, snd::kDspOscillator, &SybNoiseDSP));
    Check(e.System_PlayDSP(VoiceSystem, SoundEngine::kFreeChannel, SybNoiseDSP, true,
                           &SybNoisePlaying));
    Check(e.Channel_SetChannelGroup(SybNoisePlaying, SybChannel));
    Check(e.ChannelGroup_SetVolume(SybChannel, 0.1f));
    Check(e.DSP_SetParameter(SybNoiseDSP, 0, 4.0f));
}

void VoiceMainForm::StartVoice() {
    BeforeChange();
    Check(d_.engine.Channel_SetPaused(SawPlaying, false));
    Check(d_.engine.Channel_SetPaused(NoisePlaying, false));
    ChangeBaseFreq(100);
    VoiceInternalForm& c = d_.controls;
    ChangeSawVol(c.SawVolSlider.value / 10000.0);
    ChangeNoiseVol(c.NoiseVolSlider.value / 10000.0);
    ChangeVoiceVol(c.VoiceVolSlider.value / 10000.0);
    c.FormantTimbreSlider_Scroll(c.FormantTimbreSlider.value);
    c.SpeechButton_Click('A');
}

void VoiceMainForm::ChangeBaseFreq(double hz) {
    BeforeChange();
    SawFreq = RoundToInt32(hz);
    Check(d_.engine.DSP_SetParameter(SawDSP, 1, static_cast<float>(SawFreq)));
}

void VoiceMainForm::ChangeSawVol(double level) {
    BeforeChange();
    SawVol = static_cast<float>(level);
    Check(d_.engine.ChannelGroup_SetVolume(SawChannel, SawVol));
}

void VoiceMainForm::ChangeNoiseVol(double level) {
    BeforeChange();
    NoiseVol = static_cast<float>(level);
    Check(d_.engine.ChannelGroup_SetVolume(NoiseChannel, NoiseVol));
}

void VoiceMainForm::ChangeVoiceVol(double level) {
    BeforeChange();
    VoiceVol = static_cast<float>(level);
    Check(d_.engine.ChannelGroup_SetVolume(VoiceChannel, VoiceVol));
}

void VoiceMainForm::ChangeCutoffFreq(double hz) {
    BeforeChange();
    Check(d_.engine.DSP_SetParameter(CutoffDSP, 0, static_cast<float>(hz)));
}

void VoiceMainForm::ChangeFormantFreqVol(int index, double freq, double vol, bool useTimbre) {
    if (freq == -1) {
        freq = FormantFreq[index];
    }
    if (vol == -1) {
        vol = FormantVol[index];
    }
    FormantFreq[index] = freq;
    FormantVol[index] = RoundToInt32(vol);
    if (useTimbre) {
        freq *= TimbreFactor();
    }
    ApplyFormant(index, freq, FormantGain(vol));
}

void VoiceMainForm::ApplyFormant(int index, double freq, double gain) {
    BeforeChange();
    // Held to the filter's range: the random spread may reach below its lowest centre, and
    // the timbre handler runs at start-up before any vowel has set a volume.
    const double centre = std::clamp(freq, 20.0, 22000.0);
    gain = std::clamp(gain, 0.05, 4.0);
    Check(d_.engine.DSP_SetParameter(FormantDSP[index], 0, static_cast<float>(centre)));
    Check(d_.engine.DSP_SetParameter(FormantDSP[index], 2, static_cast<float>(gain)));
}

void VoiceMainForm::UpdateFormantSliders(bool useTimbre) {
    VoiceInternalForm& c = d_.controls;
    for (int i = 0; i < kFormants; ++i) {
        const double f = useTimbre ? FormantFreq[i] * TimbreFactor() : FormantFreq[i];
        c.ShowSliderValue(c.FormantDSPFreqSlider[i], RoundToInt32(f));
        c.ShowSliderValue(c.FormantDSPVolSlider[i], FormantVol[i]);
    }
}

double VoiceMainForm::PlusMinusRandom(double centre, double range) {
    const double r =
        random_ ? random_() : std::uniform_real_distribution<double>(0.0, 1.0)(generator_);
    return centre - range + 2.0 * range * r;
}

// Uses the same converted gain as ChangeFormantFreqVol, so the volume sliders keep
// meaning what they show while the formants wander.
void VoiceMainForm::RandomFormantTimer_Timer() {
    if (!loaded_ || inTimer_) {
        return;
    }
    inTimer_ = true;
    for (int i = 0; i < kFormants; ++i) {
        const double f = TimbreFactor() * FormantFreq[i];
        ApplyFormant(i, PlusMinusRandom(f, MaxRandomFormantFreq), FormantGain(FormantVol[i]));
    }
    inTimer_ = false;
}

void VoiceMainForm::VoiceDoShutDownStuff() {
    d_.log.LogIndentInc(QStringLiteral("VoiceMainForm.VoiceDoShutDownStuff() - START"));
    if (VoiceSystem != 0) {
        d_.timers.SetEnabled(kTimerName, false);
        d_.log.LogText(QStringLiteral("Closing and releasing FMOD system 'VoiceSystem'"));
        Check(d_.engine.System_Close(VoiceSystem));
        Check(d_.engine.System_Release(VoiceSystem));
        VoiceSystem = 0;
        loaded_ = false;
    }
    d_.log.LogIndentDec(QStringLiteral("VoiceMainForm.VoiceDoShutDownStuff() - END"));
}

void VoiceMainForm::UseVoiceCheckClicked(bool ticked) {
    if (ticked) {
        Load();
        d_.controls.SetVisible(true);
    } else {
        d_.controls.SetVisible(false);
    }
    // Silent until the sequencer gives a line with Note 2; the sources run on.
    if (loaded_) {
        ChangeVoiceVol(0);
    }
}

void VoiceMainForm::SetVoiceForLine(const QString& note2) {
    if (!loaded_) {
        return;
    }
    // The tone dispatcher reports an unknown note once per play; the voice stays quiet.
    SilentMessageBoxes quiet;
    const int noteNum = note2.isEmpty() ? -1 : LetterToNoteNum(note2, quiet);
    const double noteHz =
        noteNum < 0 ? 0.0 : NoteNumToFrequency(noteNum, OctaveOfNoteString(note2));
    // A note the program cannot play is not sung either.
    if (noteHz <= 0.0) {
        d_.log.LogText(QStringLiteral("VoiceMainForm.ChangeVoiceVol 0"));
        ChangeVoiceVol(0);
        return;
    }
    const double level = d_.controls.VoiceVolSlider.value / 10000.0;
    d_.log.LogText(QStringLiteral("VoiceMainForm.ChangeVoiceVol ") + NumText(level));
    ChangeVoiceVol(level);
    const double base = BaseFreqOfNote(noteHz);
    d_.log.LogText(QStringLiteral("VoiceMainForm.ChangeBaseFreq ") + NumText(base));
    ChangeBaseFreq(base);
}

} // namespace tq
