#pragma once

#include "fmodtone/engine/Biquad.h"
#include "fmodtone/engine/Oscillator.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace tq::snd {

enum DspType : int32_t {
    kDspOscillator = 2,
    kDspLowPass = 3,
    kDspParamEq = 10,
};

// A channel plays its DSP at (channel frequency / this) times the DSP's own rate.
inline constexpr float kUnscaledChannelRate = 48000.0f;

struct GroupNode;
struct ChannelNode;

// The objects of a system's graph. Three kinds of member: the settings, written by the
// user-interface thread and read by the audio thread (atomics); the connections, used by
// the user-interface thread only, to compile a render plan; and the running state
// (phases, filter memory, ramps), touched only by whoever renders.

struct DspNode {
    static constexpr int kParams = 3;

    explicit DspNode(int32_t t);

    int32_t type;
    std::atomic<float> param[kParams];
    std::atomic<bool> bypass{false};
    std::atomic<uint32_t> version{1};

    std::vector<DspNode*> inputs;
    GroupNode* chainOwner = nullptr;

    uint32_t designedVersion = 0;
    double designedRate = 0.0;
    Oscillator osc;
    Biquad filter;
};

struct ChannelNode {
    std::atomic<float> frequency{kUnscaledChannelRate};
    std::atomic<float> volume{1.0f};
    std::atomic<bool> paused{true};

    DspNode* dsp = nullptr;
    GroupNode* group = nullptr;

    float gain = 0.0f;
};

struct GroupNode {
    std::atomic<float> volume{1.0f};

    std::string name;
    GroupNode* parent = nullptr;
    std::vector<GroupNode*> children;
    std::vector<ChannelNode*> channels;
    // In the order they were added: the first added is nearest the group's mix, the
    // last added (the head) nearest its output.
    std::vector<DspNode*> chain;

    float gain = 1.0f;
    char mixTag = 0; // its address names the group's mix point in a plan
};

// The valid range of a DSP parameter; false for an index the type does not have.
bool ParameterRange(int32_t type, int32_t index, float* low, float* high);

} // namespace tq::snd
