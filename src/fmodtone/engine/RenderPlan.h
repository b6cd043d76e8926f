#pragma once

#include "fmodtone/engine/SoundGraph.h"

#include <cstdint>
#include <vector>

namespace tq::snd {

// A graph flattened into steps that run in order, each writing its own buffer. Built on
// the user-interface thread, then handed whole to the audio thread, which only reads it
// (and the running state of the nodes it points to).
class RenderPlan {
public:
    // Compiles the graph that reaches the master group's output. A connection that would
    // close a loop is cut where it closes: the node evaluated first hears silence there.
    RenderPlan(GroupNode& master, int blockFrames, uint64_t generation);

    uint64_t Generation() const { return generation_; }
    int BlockFrames() const { return blockFrames_; }
    // Renders up to BlockFrames() frames of the master output (mono); the result stays
    // valid until the next call.
    const float* RenderBlock(int frames, double sampleRate, float rampStep);

private:
    enum class Op : uint8_t { Dsp, Channel, GroupMix, GroupOut };
    struct Step {
        Op op;
        void* node;
        int out;
        int firstInput;
        int inputCount;
        ChannelNode* driver; // Dsp: the channel whose frequency scales it
        bool inlineOsc;      // Channel: renders its oscillator itself
    };

    float* Buffer(int index) { return buffers_.data() + static_cast<size_t>(index) * blockFrames_; }
    void SumInputs(const Step& s, float* out, int frames);
    void RunDsp(DspNode& dsp, ChannelNode* driver, float* out, int frames, double sampleRate);

    uint64_t generation_;
    int blockFrames_;
    std::vector<Step> steps_;
    std::vector<int> inputs_;
    std::vector<float> buffers_;
    int master_ = -1;
};

} // namespace tq::snd
