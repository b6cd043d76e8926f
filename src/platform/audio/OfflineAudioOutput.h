#pragma once

#include "platform/audio/AudioOutput.h"

#include <atomic>
#include <vector>

namespace tq {

// Renders only when asked, on the caller's thread: for tests and for rendering to a file.
// It grants whatever format it was built with, whatever is requested.
class OfflineAudioOutput final : public AudioOutput {
public:
    explicit OfflineAudioOutput(int sampleRate = 48000, int channels = 2, int bufferFrames = 256);
    // Makes offline outputs; *latest points at the last one made, which is the one a
    // system initialized last renders to.
    static AudioOutputFactory Factory(OfflineAudioOutput** latest, int sampleRate = 48000,
                                      int channels = 2, int bufferFrames = 256);

    std::string Name() const override { return "offline"; }
    bool Open(const AudioRequest& request, AudioRenderer& renderer, std::string* why) override;
    bool Start(std::string* why) override;
    void Stop() override { running_ = false; }
    void Close() override;
    bool IsOpen() const override { return renderer_ != nullptr; }
    AudioFormat Format() const override { return format_; }
    std::string TakeFailure() override;

    // Renders the given number of frames in blocks of the buffer size. A stream that is
    // not running, or has failed, gives silence.
    std::vector<float> RenderFrames(int frames);
    // The same into the caller's buffer (frames x channels), allocating nothing.
    void RenderInto(float* interleaved, int frames);
    // The same, mixed down to the first channel only.
    std::vector<float> RenderMono(int frames);

    // Makes the next Open fail, or the stream die as a device that went away would.
    void FailNextOpen() { failNextOpen_ = true; }
    void SimulateDeviceLoss();
    bool IsRunning() const { return running_; }

private:
    AudioFormat format_;
    AudioRenderer* renderer_ = nullptr;
    bool running_ = false;
    bool failNextOpen_ = false;
    bool failed_ = false;
    bool failureTaken_ = false;
};

} // namespace tq
