#include "fmodtone/engine/SoundSystem.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace tq::snd {

namespace {

// Pause and resume ramp over 1.5 ms: short enough to keep the note's start crisp, long
// enough that the step is not heard as a click.
constexpr double kRampSeconds = 0.0015;

// Denormal arithmetic in decaying filters costs a hundred times more on x86.
class FlushDenormals {
public:
    FlushDenormals() {
#if defined(__SSE__)
        saved_ = _mm_getcsr();
        _mm_setcsr(saved_ | 0x8040); // flush to zero, denormals are zero
#endif
    }
    ~FlushDenormals() {
#if defined(__SSE__)
        _mm_setcsr(saved_);
#endif
    }

private:
    unsigned int saved_ = 0;
};

bool IsAncestor(const GroupNode* maybeAncestor, const GroupNode* g) {
    for (; g; g = g->parent) {
        if (g == maybeAncestor) {
            return true;
        }
    }
    return false;
}

template <typename T> void Erase(std::vector<T*>& v, T* item) {
    v.erase(std::remove(v.begin(), v.end(), item), v.end());
}

} // namespace

SoundSystem::SoundSystem(AudioOutputFactory factory) : factory_(std::move(factory)) {
    master_ = CreateGroup("master");
}

SoundSystem::~SoundSystem() {
    Close();
}

Result SoundSystem::SetDSPBufferSize(int32_t blockFrames, int32_t blocks) {
    if (initialized_) {
        return kErrInitialized;
    }
    if (blockFrames < 16 || blockFrames > 8192 || blocks < 1 || blocks > 1024) {
        return kErrInvalidParam;
    }
    blockFrames_ = blockFrames;
    blocks_ = blocks;
    return kOk;
}

void SoundSystem::GetDSPBufferSize(int32_t* blockFrames, int32_t* blocks) const {
    if (!initialized_ || !output_) {
        *blockFrames = blockFrames_;
        *blocks = blocks_;
        return;
    }
    const AudioFormat f = output_->Format();
    *blockFrames = std::max(f.bufferFrames, 1);
    *blocks =
        f.latencyFrames > 0
            ? std::max(1, (f.latencyFrames + f.bufferFrames - 1) / std::max(f.bufferFrames, 1))
            : std::max(f.buffers, 1);
}

Result SoundSystem::SetSoftwareChannels(int32_t count) {
    if (initialized_) {
        return kErrInitialized;
    }
    if (count < 0 || count > kMaxChannels) {
        return kErrInvalidParam;
    }
    softwareChannels_ = count;
    return kOk;
}

int32_t SoundSystem::OutputChannels() const {
    return output_ ? output_->Format().channels : 0;
}

Result SoundSystem::Init(int32_t maxChannels) {
    if (initialized_) {
        return kErrInitialized;
    }
    if (maxChannels < 1 || maxChannels > kMaxChannels) {
        return kErrInvalidParam;
    }
    output_ = factory_ ? factory_() : nullptr;
    if (!output_) {
        outputError_ = "no audio output";
        return kErrOutputInit;
    }
    AudioRequest request;
    if (!output_->Open(request, *this, &outputError_)) {
        output_.reset();
        return kErrOutputInit;
    }
    mixRate_ = std::max(output_->Format().sampleRate, 8000);
    rampStep_ = static_cast<float>(1.0 / (kRampSeconds * mixRate_));
    maxChannels_ = std::min(maxChannels, std::max(softwareChannels_, 1));
    failureReported_ = false;
    Publish();
    if (!output_->Start(&outputError_)) {
        output_->Close();
        output_.reset();
        return kErrOutputInit;
    }
    running_ = true;
    initialized_ = true;
    return kOk;
}

Result SoundSystem::Close() {
    // Closing what never opened is not worth a complaint at shut-down.
    if (!initialized_) {
        return kOk;
    }
    if (output_) {
        output_->Stop();
        output_->Close();
    }
    running_ = false;
    initialized_ = false;
    Publish();
    return kOk;
}

Result SoundSystem::CheckOutput() {
    if (!output_ || failureReported_) {
        return kOk;
    }
    std::string failure = output_->TakeFailure();
    if (failure.empty()) {
        return kOk;
    }
    failureReported_ = true;
    outputError_ = std::move(failure);
    return kErrOutputFailed;
}

DspNode* SoundSystem::CreateDsp(int32_t type) {
    dsps_.push_back(std::make_unique<DspNode>(type));
    return dsps_.back().get();
}

GroupNode* SoundSystem::CreateGroup(const char* name) {
    groups_.push_back(std::make_unique<GroupNode>());
    groups_.back()->name = name ? name : "";
    return groups_.back().get();
}

ChannelNode* SoundSystem::PlayDsp(DspNode& dsp, bool paused) {
    if (static_cast<int32_t>(channels_.size()) >= maxChannels_) {
        return nullptr;
    }
    auto ch = std::make_unique<ChannelNode>();
    ch->dsp = &dsp;
    ch->paused.store(paused);
    ch->group = master_;
    master_->channels.push_back(ch.get());
    channels_.push_back(std::move(ch));
    Publish();
    return channels_.back().get();
}

Result SoundSystem::AddGroup(GroupNode& parent, GroupNode& child) {
    if (&child == master_ || IsAncestor(&child, &parent)) {
        return kErrConnection;
    }
    if (child.parent) {
        Erase(child.parent->children, &child);
    }
    child.parent = &parent;
    parent.children.push_back(&child);
    Publish();
    return kOk;
}

Result SoundSystem::AddDsp(GroupNode& group, DspNode& dsp) {
    if (dsp.chainOwner) {
        Erase(dsp.chainOwner->chain, &dsp);
    }
    dsp.chainOwner = &group;
    group.chain.push_back(&dsp);
    Publish();
    return kOk;
}

Result SoundSystem::AddInput(DspNode& dsp, DspNode& input) {
    if (&dsp == &input) {
        return kErrConnection;
    }
    if (std::find(dsp.inputs.begin(), dsp.inputs.end(), &input) == dsp.inputs.end()) {
        dsp.inputs.push_back(&input);
        Publish();
    }
    return kOk;
}

void SoundSystem::SetChannelGroup(ChannelNode& channel, GroupNode& group) {
    if (channel.group) {
        Erase(channel.group->channels, &channel);
    }
    channel.group = &group;
    group.channels.push_back(&channel);
    Publish();
}

void SoundSystem::Publish() {
    plans_.push_back(std::make_unique<RenderPlan>(*master_, blockFrames_, ++generation_));
    current_.store(plans_.back().get(), std::memory_order_release);
    // Older plans can go once the audio thread has started a block with a newer one, or
    // at once when nothing renders.
    const uint64_t inUse = running_ ? seen_.load(std::memory_order_acquire) : generation_;
    const RenderPlan* newest = plans_.back().get();
    std::erase_if(plans_, [&](const std::unique_ptr<RenderPlan>& p) {
        return p->Generation() < inUse && p.get() != newest;
    });
}

void SoundSystem::Render(float* interleaved, int frames, int channels) noexcept {
    RenderPlan* plan = current_.load(std::memory_order_acquire);
    if (!plan || channels <= 0) {
        std::fill(interleaved, interleaved + static_cast<size_t>(frames) * std::max(channels, 0),
                  0.0f);
        return;
    }
    seen_.store(plan->Generation(), std::memory_order_release);
    FlushDenormals ftz;
    for (int done = 0; done < frames;) {
        const int n = std::min(plan->BlockFrames(), frames - done);
        const float* mono = plan->RenderBlock(n, mixRate_, rampStep_);
        float* out = interleaved + static_cast<size_t>(done) * channels;
        for (int i = 0; i < n; ++i) {
            float v = mono[i];
            v = std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
            for (int c = 0; c < channels; ++c) {
                *out++ = v;
            }
        }
        done += n;
    }
}

} // namespace tq::snd
