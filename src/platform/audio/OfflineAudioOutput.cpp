#include "platform/audio/OfflineAudioOutput.h"

#include <algorithm>

namespace tq {

OfflineAudioOutput::OfflineAudioOutput(int sampleRate, int channels, int bufferFrames) {
    format_.sampleRate = sampleRate;
    format_.channels = channels;
    format_.bufferFrames = bufferFrames;
    format_.buffers = 1;
}

AudioOutputFactory OfflineAudioOutput::Factory(OfflineAudioOutput** latest, int sampleRate,
                                               int channels, int bufferFrames) {
    return [=] {
        auto o = std::make_unique<OfflineAudioOutput>(sampleRate, channels, bufferFrames);
        *latest = o.get();
        return o;
    };
}

bool OfflineAudioOutput::Open(const AudioRequest&, AudioRenderer& renderer, std::string* why) {
    if (failNextOpen_) {
        failNextOpen_ = false;
        if (why) {
            *why = "offline output refused to open";
        }
        return false;
    }
    renderer_ = &renderer;
    failed_ = false;
    failureTaken_ = false;
    return true;
}

bool OfflineAudioOutput::Start(std::string* why) {
    if (!renderer_) {
        if (why) {
            *why = "not open";
        }
        return false;
    }
    running_ = !failed_;
    return running_;
}

void OfflineAudioOutput::Close() {
    running_ = false;
    renderer_ = nullptr;
}

std::string OfflineAudioOutput::TakeFailure() {
    if (failed_ && !failureTaken_) {
        failureTaken_ = true;
        return "offline output lost its device";
    }
    return {};
}

void OfflineAudioOutput::SimulateDeviceLoss() {
    failed_ = true;
    running_ = false;
}

std::vector<float> OfflineAudioOutput::RenderFrames(int frames) {
    std::vector<float> out(static_cast<size_t>(std::max(frames, 0)) * format_.channels, 0.0f);
    RenderInto(out.data(), frames);
    return out;
}

void OfflineAudioOutput::RenderInto(float* interleaved, int frames) {
    const int ch = format_.channels;
    if (!running_ || !renderer_) {
        std::fill(interleaved, interleaved + static_cast<size_t>(std::max(frames, 0)) * ch, 0.0f);
        return;
    }
    for (int done = 0; done < frames;) {
        const int n = std::min(format_.bufferFrames, frames - done);
        renderer_->Render(interleaved + static_cast<size_t>(done) * ch, n, ch);
        done += n;
    }
}

std::vector<float> OfflineAudioOutput::RenderMono(int frames) {
    const std::vector<float> all = RenderFrames(frames);
    std::vector<float> mono(static_cast<size_t>(std::max(frames, 0)));
    for (size_t i = 0; i < mono.size(); ++i) {
        mono[i] = all[i * format_.channels];
    }
    return mono;
}

} // namespace tq
