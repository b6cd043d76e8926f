#pragma once

#include "fmodtone/engine/RenderPlan.h"
#include "fmodtone/engine/SoundResult.h"
#include "platform/audio/AudioOutput.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace tq::snd {

// One system: its graph, its audio output and the render callback between them. Called
// from one thread (the user-interface thread); Render runs on the audio thread and meets
// the rest only through the published plan and the nodes' atomics.
class SoundSystem final : public AudioRenderer {
public:
    static constexpr int kMaxChannels = 4096;

    explicit SoundSystem(AudioOutputFactory factory);
    ~SoundSystem() override;
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    Result SetDSPBufferSize(int32_t blockFrames, int32_t blocks);
    // After init, the output's real figures: frames per buffer and how many buffers lie
    // between the renderer and the ear (from the latency the back end reports).
    void GetDSPBufferSize(int32_t* blockFrames, int32_t* blocks) const;
    Result SetSoftwareChannels(int32_t count);
    Result Init(int32_t maxChannels);
    Result Close();
    bool IsInitialized() const { return initialized_; }
    double MixRate() const { return mixRate_; }
    int32_t OutputChannels() const;
    const std::string& OutputError() const { return outputError_; }
    AudioOutput* Output() { return output_.get(); }

    // Reports, once, that the output died.
    Result CheckOutput();

    DspNode* CreateDsp(int32_t type);
    GroupNode* CreateGroup(const char* name);
    GroupNode* Master() { return master_; }
    uint32_t MasterHandle() const { return masterHandle_; }
    void SetMasterHandle(uint32_t h) { masterHandle_ = h; }
    // Null when every channel is in use.
    ChannelNode* PlayDsp(DspNode& dsp, bool paused);
    Result AddGroup(GroupNode& parent, GroupNode& child);
    Result AddDsp(GroupNode& group, DspNode& dsp);
    Result AddInput(DspNode& dsp, DspNode& input);
    void SetChannelGroup(ChannelNode& channel, GroupNode& group);

    void Render(float* interleaved, int frames, int channels) noexcept override;

private:
    void Publish();

    AudioOutputFactory factory_;
    std::unique_ptr<AudioOutput> output_;
    std::string outputError_;
    bool initialized_ = false;
    bool running_ = false;
    bool failureReported_ = false;
    int32_t blockFrames_ = 256;
    int32_t blocks_ = 4;
    int32_t softwareChannels_ = 64;
    int32_t maxChannels_ = 0;
    double mixRate_ = 48000.0;
    float rampStep_ = 1.0f;

    std::vector<std::unique_ptr<DspNode>> dsps_;
    std::vector<std::unique_ptr<ChannelNode>> channels_;
    std::vector<std::unique_ptr<GroupNode>> groups_;
    GroupNode* master_ = nullptr;
    uint32_t masterHandle_ = 0;

    uint64_t generation_ = 0;
    std::vector<std::unique_ptr<RenderPlan>> plans_; // the published one is the last
    std::atomic<RenderPlan*> current_{nullptr};
    std::atomic<uint64_t> seen_{0};
};

} // namespace tq::snd
