#pragma once

#include "platform/audio/AudioOutput.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class RtAudio;

namespace tq {

// Plays through RtAudio. Open tries the wanted back ends in order and keeps the first
// whose default output device opens: by default JACK, then PulseAudio (PipeWire answers
// as PulseAudio too), then ALSA.
class RtAudioOutput final : public AudioOutput {
public:
    // Back-end names as TONQUILL_AUDIO_API takes them: "jack", "pulse", "alsa".
    explicit RtAudioOutput(std::vector<std::string> apiOrder = DefaultApiOrder(),
                           int stallLimitMs = 2000);
    ~RtAudioOutput() override;
    RtAudioOutput(const RtAudioOutput&) = delete;
    RtAudioOutput& operator=(const RtAudioOutput&) = delete;

    static std::vector<std::string> DefaultApiOrder();
    // TONQUILL_AUDIO_API when set (one name), otherwise the default order.
    static std::vector<std::string> ApiOrderFromEnvironment();

    std::string Name() const override { return apiName_; }
    bool Open(const AudioRequest& request, AudioRenderer& renderer, std::string* why) override;
    bool Start(std::string* why) override;
    void Stop() override;
    void Close() override;
    bool IsOpen() const override { return rt_ != nullptr; }
    AudioFormat Format() const override { return format_; }
    // Besides the errors RtAudio reports, a stream whose callback has not run for the
    // stall limit while it should be running counts as dead: that is what a JACK server
    // that went away looks like from here.
    std::string TakeFailure() override;
    // How many frames the callback has rendered since the stream opened.
    uint64_t FramesRendered() const { return framesRendered_.load(std::memory_order_relaxed); }

private:
    static int Callback(void* out, void* in, unsigned int frames, double time, unsigned int status,
                        void* self);
    bool OpenApi(const std::string& api, const AudioRequest& request, std::string* why);
    bool HasFailed();

    std::vector<std::string> apiOrder_;
    int stallLimitMs_;
    std::unique_ptr<RtAudio> rt_;
    std::string apiName_ = "none";
    AudioFormat format_;
    AudioRenderer* renderer_ = nullptr;
    bool running_ = false;
    bool failed_ = false;
    bool failureTaken_ = false;
    std::string failure_;
    uint64_t errorsAtOpen_ = 0;
    std::atomic<int64_t> lastCallbackNs_{0};
    std::atomic<uint64_t> framesRendered_{0};
};

// Makes outputs that follow TONQUILL_AUDIO_API.
AudioOutputFactory SystemAudioOutputFactory();

} // namespace tq
