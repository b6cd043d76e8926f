#include "fmodtone/engine/SoundEngine.h"
#include "platform/audio/RtAudioOutput.h"

#include "JackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <thread>

namespace tq {
namespace {

using namespace std::chrono_literals;

class JackDevice : public testing::Test {
protected:
    JackServer server;
    RtAudioOutput* output = nullptr;
    snd::SoundEngine engine{[this] {
        auto o = std::make_unique<RtAudioOutput>(std::vector<std::string>{"jack"}, 300);
        output = o.get();
        return o;
    }};
    snd::Handle system = 0;
    snd::Handle channel = 0;

    void SetUp() override {
        std::string why;
        if (!JackServer::Installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server.Start(&why)) << why;
        ASSERT_EQ(engine.System_Create(&system), snd::kOk);
        ASSERT_EQ(engine.System_SetDSPBufferSize(system, 16, 256), snd::kOk);
        ASSERT_EQ(engine.System_Init(system, 2, 0), snd::kOk) << engine.System_OutputError(system);
        snd::Handle dsp = 0;
        ASSERT_EQ(engine.System_CreateDSPByType(system, snd::kDspOscillator, &dsp), snd::kOk);
        ASSERT_EQ(engine.DSP_SetParameter(dsp, 1, 4000.0f), snd::kOk);
        ASSERT_EQ(
            engine.System_PlayDSP(system, snd::SoundEngine::kFreeChannel, dsp, true, &channel),
            snd::kOk);
        ASSERT_EQ(engine.Channel_SetVolume(channel, 0.18f), snd::kOk);
    }
};

TEST_F(JackDevice, TheEngineStreamsASecondOfBeepsReportsItsLatencyAndClosesCleanly) {
    EXPECT_EQ(output->Name(), "jack");
    int32_t rate = 0;
    int32_t frames = 0;
    int32_t buffers = 0;
    ASSERT_EQ(engine.System_GetSoftwareFormat(system, &rate, nullptr), snd::kOk);
    ASSERT_EQ(engine.System_GetDSPBufferSize(system, &frames, &buffers), snd::kOk);
    EXPECT_EQ(rate, 48000);
    EXPECT_EQ(frames, 256);
    EXPECT_GE(buffers, 1);
    const double latencyMs = 1000.0 * frames * buffers / rate;
    std::cout << "JACK dummy at 256 frames: " << frames << " x " << buffers << " frames, "
              << output->Format().latencyFrames << " frames reported, " << latencyMs << " ms\n";
    RecordProperty("output_latency_ms", std::to_string(latencyMs));

    const uint64_t before = output->FramesRendered();
    const auto start = std::chrono::steady_clock::now();
    for (int note = 0; note < 10; ++note) {
        EXPECT_EQ(engine.Channel_SetFrequency(channel, 12.0f * (262.0f + 30.0f * note)), snd::kOk);
        EXPECT_EQ(engine.Channel_SetPaused(channel, false), snd::kOk);
        std::this_thread::sleep_until(start + (note * 100 + 80) * 1ms);
        EXPECT_EQ(engine.Channel_SetPaused(channel, true), snd::kOk);
        std::this_thread::sleep_until(start + (note + 1) * 100ms);
    }
    EXPECT_GT(output->FramesRendered() - before, 40000u);
    EXPECT_EQ(engine.System_Close(system), snd::kOk);
    EXPECT_EQ(engine.System_Release(system), snd::kOk);
}

TEST_F(JackDevice, AServerThatDiesIsReportedOnceAndNothingHangs) {
    ASSERT_EQ(engine.Channel_SetPaused(channel, false), snd::kOk);
    std::this_thread::sleep_for(100ms);
    server.Stop();
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(engine.Channel_SetFrequency(channel, 5000.0f), snd::kErrOutputFailed);
    EXPECT_EQ(engine.Channel_SetFrequency(channel, 6000.0f), snd::kOk);
    EXPECT_EQ(engine.Channel_SetPaused(channel, true), snd::kOk);
    EXPECT_EQ(engine.System_Close(system), snd::kOk);
    EXPECT_EQ(engine.System_Release(system), snd::kOk);
}

} // namespace
} // namespace tq
