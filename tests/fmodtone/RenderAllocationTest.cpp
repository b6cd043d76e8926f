#include "AllocationCounter.h"

#include "fmodtone/engine/SoundEngine.h"
#include "platform/audio/OfflineAudioOutput.h"

#include <gtest/gtest.h>

#include <vector>

namespace tq::snd {
namespace {

// Parameter changes reach the renderer through atomics, never a new plan: a formant
// filter retuned every 50 ms costs the audio path no allocation.
TEST(RenderAllocation, RetuningFiltersAndLevelsWhileRenderingAllocatesNothing) {
    OfflineAudioOutput* out = nullptr;
    SoundEngine engine(OfflineAudioOutput::Factory(&out, 48000, 2, 256));
    Handle system = 0;
    Handle group = 0;
    Handle osc = 0;
    Handle eq = 0;
    Handle ch = 0;
    ASSERT_EQ(engine.System_Create(&system), kOk);
    ASSERT_EQ(engine.System_Init(system, 2, 0), kOk);
    ASSERT_EQ(engine.System_CreateChannelGroup(system, "g", &group), kOk);
    ASSERT_EQ(engine.System_CreateDSPByType(system, kDspOscillator, &osc), kOk);
    ASSERT_EQ(engine.System_CreateDSPByType(system, kDspParamEq, &eq), kOk);
    ASSERT_EQ(engine.ChannelGroup_AddDSP(group, eq), kOk);
    ASSERT_EQ(engine.System_PlayDSP(system, SoundEngine::kFreeChannel, osc, false, &ch), kOk);
    ASSERT_EQ(engine.Channel_SetChannelGroup(ch, group), kOk);
    std::vector<float> buffer(2400 * 2);
    out->RenderInto(buffer.data(), 2400);

    test::CountAllocations count;
    for (int tick = 0; tick < 40; ++tick) {
        ASSERT_EQ(engine.DSP_SetParameter(eq, 0, 500.0f + 50.0f * tick), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(eq, 2, 1.0f + 0.05f * tick), kOk);
        ASSERT_EQ(engine.DSP_SetParameter(osc, 1, 100.0f + tick), kOk);
        ASSERT_EQ(engine.ChannelGroup_SetVolume(group, 0.02f * (tick % 10)), kOk);
        out->RenderInto(buffer.data(), 2400); // 50 ms
    }
    EXPECT_EQ(count.Count(), 0);
}

} // namespace
} // namespace tq::snd
