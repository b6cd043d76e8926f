#include "platform/audio/OfflineAudioOutput.h"
#include "platform/audio/WavFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tq {
namespace {

// Counts up from 0, one step a frame, on every channel.
class Ramp final : public AudioRenderer {
public:
    void Render(float* out, int frames, int channels) noexcept override {
        ++calls;
        maxFrames = std::max(maxFrames, frames);
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                *out++ = static_cast<float>(next);
            }
            ++next;
        }
    }
    int next = 0;
    int calls = 0;
    int maxFrames = 0;
};

TEST(OfflineAudioOutput, RendersInBlocksOnlyWhileRunning) {
    OfflineAudioOutput out(48000, 2, 100);
    Ramp ramp;
    ASSERT_TRUE(out.Open(AudioRequest{}, ramp, nullptr));
    EXPECT_EQ(out.RenderFrames(10), std::vector<float>(20, 0.0f)) << "not started";
    ASSERT_TRUE(out.Start(nullptr));
    const std::vector<float> x = out.RenderFrames(250);
    EXPECT_EQ(ramp.calls, 3);
    EXPECT_EQ(ramp.maxFrames, 100);
    ASSERT_EQ(x.size(), 500u);
    EXPECT_EQ(x[498], 249.0f);
    EXPECT_EQ(x[499], 249.0f);
    out.SimulateDeviceLoss();
    EXPECT_EQ(out.RenderMono(5), std::vector<float>(5, 0.0f));
    EXPECT_FALSE(out.TakeFailure().empty());
    EXPECT_TRUE(out.TakeFailure().empty()) << "told once";
}

TEST(WavFile, HoldsClippedSixteenBitSamplesBehindAPcmHeader) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/out.wav")).toStdString();
    ASSERT_TRUE(WriteWavFile(path, {0.0f, 0.5f, -1.0f, 2.0f, -2.0f, NAN}, 44100, 2));
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_EQ(b.size(), 44 + 12);
    auto u16 = [&](int at) {
        return static_cast<uint16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
    };
    auto u32 = [&](int at) { return static_cast<uint32_t>(u16(at) | u16(at + 2) << 16); };
    EXPECT_EQ(b.left(4), "RIFF");
    EXPECT_EQ(u32(4), 36u + 12u);
    EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(u16(20), 1); // PCM
    EXPECT_EQ(u16(22), 2);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 44100u * 4);
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(b.mid(36, 4), "data");
    const int16_t want[] = {0, 16384, -32767, 32767, -32767, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(static_cast<int16_t>(u16(44 + 2 * i)), want[i]) << i;
    }
    EXPECT_FALSE(WriteWavFile(dir.path().toStdString() + "/no/such/dir/x.wav", {0.0f}, 48000, 1));
}

} // namespace
} // namespace tq
