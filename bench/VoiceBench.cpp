// Render cost of the formant voice's whole graph, singing, with the random formant timer
// retuning its filters every 50 ms.
#include "core/LogSink.h"
#include "platform/QtNamedTimers.h"
#include "platform/StreamMessageBoxes.h"
#include "platform/VirtualClock.h"
#include "platform/audio/OfflineAudioOutput.h"
#include "voice/VoiceInternalForm.h"
#include "voice/VoiceMainForm.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_VoiceSecond(benchmark::State& state) {
    tq::OfflineAudioOutput* out = nullptr;
    tq::snd::SoundEngine engine(tq::OfflineAudioOutput::Factory(&out, 48000, 2, 256));
    tq::NullLog log;
    tq::StreamMessageBoxes boxes;
    tq::VirtualClock clock;
    tq::VirtualEventPump pump(clock);
    tq::VirtualNamedTimers timers(clock, pump);
    tq::VoiceInternalForm controls;
    tq::VoiceMainForm voice({engine, boxes, log, timers, controls});
    voice.UseVoiceCheckClicked(true);
    controls.FormantRandomFreqSlider_Scroll(static_cast<int>(state.range(0)));
    voice.SetVoiceForLine(QStringLiteral("A4"));
    std::vector<float> buffer(2400 * 2);
    for (auto _ : state) {
        for (int tick = 0; tick < 20; ++tick) { // one second
            voice.RandomFormantTimer_Timer();
            out->RenderInto(buffer.data(), 2400);
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetLabel("one second of audio per iteration");
}
BENCHMARK(BM_VoiceSecond)->Arg(0)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
