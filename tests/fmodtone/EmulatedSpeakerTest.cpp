#include "SignalMeasure.h"

#include "fmodtone/EmulatedSpeaker.h"
#include "fmodtone/OfflineSpeaker.h"
#include "platform/SpeakerFactory.h"
#include "platform/ToneWait.h"
#include "platform/VirtualClock.h"
#include "platform/audio/OfflineAudioOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace tq {
namespace {

using Clock = std::chrono::steady_clock;

class EmulatedSpeakerTest : public testing::Test {
protected:
    OfflineAudioOutput* out = nullptr;
    bool refuse = false;
    snd::SoundEngine engine{[this] {
        auto o = std::make_unique<OfflineAudioOutput>(48000, 2, 128);
        if (refuse) {
            o->FailNextOpen();
        }
        out = o.get();
        return o;
    }};

    static double ElapsedMs(Clock::time_point since) {
        return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
    }
};

TEST_F(EmulatedSpeakerTest, OutOfRangeFrequenciesReturnAtOnceAndTonesTakeTheirTime) {
    QString why;
    auto speaker = EmulatedSpeaker::Open(engine, &why);
    ASSERT_TRUE(speaker) << why.toStdString();
    EXPECT_EQ(speaker->Name(), "emulated");
    struct Case {
        int32_t frequency;
        int32_t ms;
        bool result;
        bool waits;
    };
    const Case cases[] = {{36, 50, false, false},
                          {32768, 50, false, false},
                          {0, 50, false, false},
                          {-440, 50, false, false},
                          {440, 0, true, false},
                          {440, -5, true, false},
                          {440, 30, true, true},
                          {37, 30, true, true},
                          // Sounds above the mix rate's Nyquist limit: silent, but timed.
                          {30000, 30, false, true}};
    for (const Case& c : cases) {
        const auto start = Clock::now();
        EXPECT_EQ(speaker->Beep(c.frequency, c.ms), c.result) << c.frequency << " " << c.ms;
        if (c.waits) {
            EXPECT_GE(ElapsedMs(start), c.ms) << c.frequency;
        } else {
            EXPECT_LT(ElapsedMs(start), 20.0) << c.frequency;
        }
    }
}

TEST_F(EmulatedSpeakerTest, ABeepIsASquareAtItsPitchWhileAnotherThreadRenders) {
    auto speaker = EmulatedSpeaker::Open(engine, nullptr);
    ASSERT_TRUE(speaker);
    std::atomic<bool> stop{false};
    std::vector<float> heard;
    // The audio thread: pulls blocks as fast as it can while the tone call blocks.
    std::thread audio([&] {
        while (!stop.load()) {
            const std::vector<float> b = out->RenderMono(128);
            heard.insert(heard.end(), b.begin(), b.end());
        }
    });
    EXPECT_TRUE(speaker->Beep(440, 50));
    stop = true;
    audio.join();
    std::vector<float> tone;
    for (float v : heard) {
        if (v != 0.0f || !tone.empty()) {
            tone.push_back(v);
        }
    }
    ASSERT_GT(tone.size(), 4800u);
    tone.resize(4800);
    EXPECT_NEAR(test::MeasurePitch(tone, 48000.0), 440.0, 0.44);
    EXPECT_NEAR(test::Rms(tone, 200), EmulatedSpeaker::kVolume, 0.01);
}

TEST_F(EmulatedSpeakerTest, AStopRequestEndsALongToneAtOnceAndAToneInBetweenIsResumed) {
    auto speaker = EmulatedSpeaker::Open(engine, nullptr);
    ASSERT_TRUE(speaker);
    // Lets "events" in: the second one sounds a tone of its own, the fourth asks for a stop.
    struct Events final : ToneWait {
        EmulatedSpeaker* speaker;
        snd::SoundEngine* engine;
        int slices = 0;
        int32_t longest = 0;
        uint64_t stops = 0;
        float frequencyAfterInner = 0;
        uint64_t StopRequests() const override { return stops; }
        void LetEventsIn(int32_t maxMs) override {
            longest = std::max(longest, maxMs);
            if (++slices == 2) {
                speaker->Beep(880, 5);
            } else if (slices == 3) {
                engine->Channel_GetFrequency(speaker->Channel(), &frequencyAfterInner);
            } else if (slices == 4) {
                ++stops;
            }
        }
    } events;
    events.speaker = speaker.get();
    events.engine = &engine;
    speaker->SetToneWait(&events);
    const auto start = Clock::now();
    EXPECT_TRUE(speaker->Beep(440, 60'000));
    EXPECT_LT(ElapsedMs(start), 10'000.0);
    EXPECT_EQ(events.slices, 4);
    EXPECT_LE(events.longest, Speaker::kSliceMs);
    EXPECT_EQ(events.frequencyAfterInner, 12.0f * 440); // the long tone sounds on
    bool paused = false;
    engine.Channel_GetPaused(speaker->Channel(), &paused);
    EXPECT_TRUE(paused);
}

TEST_F(EmulatedSpeakerTest, ADeadOutputStillTakesTheTonesTime) {
    auto speaker = EmulatedSpeaker::Open(engine, nullptr);
    ASSERT_TRUE(speaker);
    out->SimulateDeviceLoss();
    const auto start = Clock::now();
    EXPECT_FALSE(speaker->Beep(440, 30));
    EXPECT_GE(ElapsedMs(start), 30.0);
    EXPECT_FALSE(speaker->TakeFailure().isEmpty());
    EXPECT_TRUE(speaker->Beep(440, 1)) << "reported once, then silent";
    EXPECT_TRUE(speaker->TakeFailure().isEmpty());
}

TEST_F(EmulatedSpeakerTest, TheFactoryFallsBackToItWithoutASpeakerDeviceAndPastItWithoutSound) {
    SpeakerOptions options;
    options.evdevPath = QStringLiteral("/nonexistent/pcspkr");
    options.consolePaths = {QStringLiteral("/nonexistent/tty0")};
    options.makeEmulated = EmulatedSpeakerMaker(engine);
    SpeakerChoice choice = OpenSpeaker(options);
    EXPECT_EQ(choice.speaker->Name(), "emulated");
    EXPECT_TRUE(choice.notes.contains("Speaker: using 'emulated'"));

    refuse = true;
    choice = OpenSpeaker(options);
    EXPECT_EQ(choice.speaker->Name(), "none");
    ASSERT_GE(choice.notes.size(), 3);
    EXPECT_TRUE(choice.notes[2].startsWith("Speaker: 'emulated' can't be used (No audio output"))
        << choice.notes[2].toStdString();
}

// A slow song or a sparse MIDI file can keep the virtual clock going for days: the render
// stops at its longest, and the days' worth of nanoseconds do not overflow on the way.
TEST(OfflineSpeaker, StopsRenderingAtItsLongestHoweverFarTheClockRuns) {
    VirtualClock clock;
    QString why;
    auto speaker = OfflineSpeaker::Open(clock, &why, 4800);
    ASSERT_TRUE(speaker) << why.toStdString();
    speaker->Beep(440, 50);
    EXPECT_EQ(speaker->Finish().size(), 2400u);
    EXPECT_FALSE(speaker->Cut());
    speaker->Beep(440, 100);
    clock.AdvanceNs(int64_t{30} * 24 * 3600 * 1'000'000'000);
    EXPECT_EQ(speaker->Finish().size(), 4800u);
    EXPECT_TRUE(speaker->Cut());
}

} // namespace
} // namespace tq
