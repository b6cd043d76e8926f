// Render cost of one second of audio at 48 kHz: the beep alone, and a graph shaped like
// the voice's (3 oscillators, 8 EQs, a low-pass, 5 groups). One second of audio is one
// iteration, so the time per iteration over 1 s is the share of one core.
#include "fmodtone/engine/SoundEngine.h"
#include "platform/audio/OfflineAudioOutput.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tq;
using namespace tq::snd;

constexpr int kSecond = 48000;

struct Rig {
    OfflineAudioOutput* out = nullptr;
    SoundEngine engine{OfflineAudioOutput::Factory(&out)};
    Handle system = 0;

    Handle Dsp(int32_t type) {
        Handle d = 0;
        engine.System_CreateDSPByType(system, type, &d);
        return d;
    }
    Handle Group(const char* name, Handle parent) {
        Handle g = 0;
        engine.System_CreateChannelGroup(system, name, &g);
        engine.ChannelGroup_AddGroup(parent, g);
        return g;
    }
    Handle Play(Handle dsp, Handle group, bool paused) {
        Handle ch = 0;
        engine.System_PlayDSP(system, SoundEngine::kFreeChannel, dsp, paused, &ch);
        engine.Channel_SetChannelGroup(ch, group);
        return ch;
    }
};

void BeepAlone(benchmark::State& state) {
    Rig r;
    r.engine.System_Create(&r.system);
    r.engine.System_SetDSPBufferSize(r.system, 16, 256);
    r.engine.System_Init(r.system, 2, 0);
    const Handle osc = r.Dsp(kDspOscillator);
    r.engine.DSP_SetParameter(osc, 0, static_cast<float>(state.range(0)));
    r.engine.DSP_SetParameter(osc, 1, state.range(0) == kWaveSquare ? 8000.0f : 4000.0f);
    Handle ch = 0;
    r.engine.System_PlayDSP(r.system, SoundEngine::kFreeChannel, osc, false, &ch);
    r.engine.Channel_SetVolume(ch, 0.18f);
    r.engine.Channel_SetFrequency(ch, 440.0f * 11.9952f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(r.out->RenderFrames(kSecond));
    }
}
BENCHMARK(BeepAlone)->Arg(kWaveSquare)->Arg(kWaveSine)->Unit(benchmark::kMillisecond);

// Built in the order the voice builds its graph.
void VoiceLikeGraph(benchmark::State& state) {
    Rig r;
    r.engine.System_Create(&r.system);
    r.engine.System_SetSoftwareChannels(r.system, 16);
    r.engine.System_Init(r.system, 16, 0);
    Handle master = 0;
    r.engine.System_GetMasterChannelGroup(r.system, &master);
    const Handle final = r.Group("FinalChannel", master);
    Handle formant[4];
    for (int i = 3; i >= 0; --i) {
        formant[i] = r.Dsp(kDspParamEq);
        r.engine.DSP_SetParameter(formant[i], 1, 1.0f);
        r.engine.DSP_SetParameter(formant[i], 0, 700.0f + 600.0f * i);
        r.engine.DSP_SetParameter(formant[i], 2, 3.0f);
    }
    const Handle voice = r.Group("VoiceChannel", final);
    for (Handle f : formant) {
        r.engine.ChannelGroup_AddDSP(voice, f);
    }
    const Handle cutoff = r.Dsp(kDspLowPass);
    for (Handle f : formant) {
        r.engine.DSP_AddInput(f, cutoff);
    }
    r.engine.DSP_SetParameter(cutoff, 0, 6000.0f);
    r.engine.DSP_SetParameter(cutoff, 1, 10.0f);
    r.engine.DSP_SetBypass(cutoff, state.range(0) == 0);
    r.engine.ChannelGroup_AddDSP(voice, cutoff);
    const Handle saw = r.Group("SawChannel", voice);
    const Handle noise = r.Group("NoiseChannel", voice);
    const Handle sawDsp = r.Dsp(kDspOscillator);
    const Handle noiseDsp = r.Dsp(kDspOscillator);
    r.engine.DSP_SetParameter(sawDsp, 1, 100.0f);
    r.engine.DSP_SetParameter(sawDsp, 0, kWaveSawDown);
    r.engine.DSP_SetParameter(noiseDsp, 0, kWaveNoise);
    r.Play(sawDsp, saw, false);
    r.Play(noiseDsp, noise, false);
    r.engine.ChannelGroup_SetVolume(saw, 0.15f);
    r.engine.ChannelGroup_SetVolume(noise, 0.02f);
    r.engine.ChannelGroup_SetVolume(voice, 0.1f);
    const Handle syb = r.Group("SybChannel", final);
    Handle masking[4];
    for (int i = 3; i >= 0; --i) {
        masking[i] = r.Dsp(kDspParamEq);
    }
    r.engine.ChannelGroup_AddDSP(syb, masking[0]);
    for (int i = 1; i < 4; ++i) {
        r.engine.DSP_AddInput(masking[i], masking[i - 1]);
    }
    const Handle sybDsp = r.Dsp(kDspOscillator);
    r.engine.DSP_SetParameter(sybDsp, 0, kWaveTriangle);
    r.Play(sybDsp, syb, true);
    r.engine.ChannelGroup_SetVolume(syb, 0.1f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(r.out->RenderFrames(kSecond));
    }
}
// 0: the low-pass bypassed, as the voice starts; 1: the low-pass working.
BENCHMARK(VoiceLikeGraph)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
