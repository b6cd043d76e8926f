#include "fmodtone/OfflineSpeaker.h"

#include "fmodtone/EmulatedSpeaker.h"
#include "platform/VirtualClock.h"
#include "platform/audio/OfflineAudioOutput.h"

#include <algorithm>

namespace tq {

namespace {

// Blocks of 16 frames: channel changes land within a third of a millisecond.
constexpr int kBlockFrames = 16;
// A long silence is rendered a second at a time, not in one block as long as itself.
constexpr int64_t kMostFramesAtOnce = OfflineSpeaker::kSampleRate;

} // namespace

OfflineSpeaker::OfflineSpeaker(VirtualClock& clock, int64_t maxFrames)
    : clock_(clock), startNs_(clock.NowNs()), maxFrames_(maxFrames) {}

OfflineSpeaker::~OfflineSpeaker() = default;

std::unique_ptr<OfflineSpeaker> OfflineSpeaker::Open(VirtualClock& clock, QString* why,
                                                     int64_t maxFrames) {
    std::unique_ptr<OfflineSpeaker> s(new OfflineSpeaker(clock, maxFrames));
    s->engine_ = std::make_unique<snd::SoundEngine>(
        OfflineAudioOutput::Factory(&s->output_, kSampleRate, 1, kBlockFrames));
    s->speaker_ = EmulatedSpeaker::Open(*s->engine_, why);
    if (!s->speaker_ || !s->output_) {
        return nullptr;
    }
    return s;
}

void OfflineSpeaker::RenderUntil(int64_t ns) {
    // Capped before multiplying: days of nanoseconds times the rate overflow.
    const int64_t elapsedNs = ns - startNs_;
    int64_t frame = maxFrames_;
    if (elapsedNs > maxFrames_ * 1'000'000'000 / kSampleRate) {
        cut_ = true;
    } else {
        frame = elapsedNs * kSampleRate / 1'000'000'000;
    }
    while (frame > renderedFrames_) {
        const int frames = static_cast<int>(std::min(frame - renderedFrames_, kMostFramesAtOnce));
        std::vector<float> block = output_->RenderMono(frames);
        if (mixIn_) {
            const std::vector<float> mixed = mixIn_->RenderMono(frames);
            for (size_t i = 0; i < std::min(mixed.size(), block.size()); ++i) {
                block[i] += mixed[i];
            }
        }
        Deliver(block);
        renderedFrames_ += frames;
    }
}

void OfflineSpeaker::Deliver(std::span<const float> block) {
    if (sink_) {
        sink_(block);
    } else {
        samples_.insert(samples_.end(), block.begin(), block.end());
    }
}

void OfflineSpeaker::SetSink(Sink sink) {
    sink_ = std::move(sink);
    if (sink_ && !samples_.empty()) {
        std::vector<float> kept;
        kept.swap(samples_);
        Deliver(kept);
    }
}

bool OfflineSpeaker::Beep(int32_t frequency, int32_t durationMs) {
    if (!IsBeepableFrequency(frequency)) {
        return false;
    }
    if (durationMs <= 0) {
        return true;
    }
    RenderUntil(clock_.NowNs());
    if (played_ != nullptr) {
        played_->push_back({clock_.NowNs() - startNs_, frequency, durationMs});
    }
    const bool sounded = speaker_->StartTone(frequency);
    clock_.AdvanceNs(int64_t{durationMs} * 1'000'000);
    RenderUntil(clock_.NowNs());
    speaker_->Silence();
    return sounded;
}

void OfflineSpeaker::CatchUp() {
    RenderUntil(clock_.NowNs());
}

const std::vector<float>& OfflineSpeaker::Finish() {
    RenderUntil(clock_.NowNs());
    return samples_;
}

} // namespace tq
