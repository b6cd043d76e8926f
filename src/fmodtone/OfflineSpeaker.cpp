#include "fmodtone/OfflineSpeaker.h"

#include "fmodtone/EmulatedSpeaker.h"
#include "platform/VirtualClock.h"
#include "platform/audio/OfflineAudioOutput.h"

namespace tq {

namespace {

// Blocks of 16 frames: channel changes land within a third of a millisecond.
constexpr int kBlockFrames = 16;

} // namespace

OfflineSpeaker::OfflineSpeaker(VirtualClock& clock) : clock_(clock), startNs_(clock.NowNs()) {}

OfflineSpeaker::~OfflineSpeaker() = default;

std::unique_ptr<OfflineSpeaker> OfflineSpeaker::Open(VirtualClock& clock, QString* why) {
    std::unique_ptr<OfflineSpeaker> s(new OfflineSpeaker(clock));
    s->engine_ = std::make_unique<snd::SoundEngine>(
        OfflineAudioOutput::Factory(&s->output_, kSampleRate, 1, kBlockFrames));
    s->speaker_ = EmulatedSpeaker::Open(*s->engine_, why);
    if (!s->speaker_ || !s->output_) {
        return nullptr;
    }
    return s;
}

void OfflineSpeaker::RenderUntil(int64_t ns) {
    const int64_t frame = (ns - startNs_) * kSampleRate / 1'000'000'000;
    if (frame > renderedFrames_) {
        const int frames = static_cast<int>(frame - renderedFrames_);
        const std::vector<float> block = output_->RenderMono(frames);
        const size_t start = samples_.size();
        samples_.insert(samples_.end(), block.begin(), block.end());
        if (mixIn_) {
            const std::vector<float> mixed = mixIn_->RenderMono(frames);
            for (size_t i = 0; i < mixed.size(); ++i) {
                samples_[start + i] += mixed[i];
            }
        }
        renderedFrames_ = frame;
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
