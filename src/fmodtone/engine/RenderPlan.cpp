#include "fmodtone/engine/RenderPlan.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace tq::snd {

DspNode::DspNode(int32_t t) : type(t) {
    float defaults[kParams] = {0.0f, 0.0f, 0.0f};
    if (t == kDspOscillator) {
        defaults[0] = kWaveSine;
        defaults[1] = 220.0f;
    } else if (t == kDspLowPass) {
        defaults[0] = 5000.0f;
        defaults[1] = 1.0f;
    } else if (t == kDspParamEq) {
        defaults[0] = 8000.0f;
        defaults[1] = 1.0f;
        defaults[2] = 1.0f;
    }
    for (int i = 0; i < kParams; ++i) {
        param[i].store(defaults[i]);
    }
}

bool ParameterRange(int32_t type, int32_t index, float* low, float* high) {
    struct Range {
        int32_t type;
        int32_t index;
        float low;
        float high;
    };
    static constexpr Range kRanges[] = {
        {kDspOscillator, 0, 0.0f, 5.0f},   {kDspOscillator, 1, 1.0f, 22000.0f},
        {kDspLowPass, 0, 10.0f, 22000.0f}, {kDspLowPass, 1, 1.0f, 10.0f},
        {kDspParamEq, 0, 20.0f, 22000.0f}, {kDspParamEq, 1, 0.2f, 5.0f},
        {kDspParamEq, 2, 0.05f, 4.0f},
    };
    for (const Range& r : kRanges) {
        if (r.type == type && r.index == index) {
            *low = r.low;
            *high = r.high;
            return true;
        }
    }
    return false;
}

namespace {

// Channels reachable from the master group, and the first of them playing each DSP.
void FindDrivers(GroupNode& g, std::unordered_map<const DspNode*, ChannelNode*>& drivers) {
    for (ChannelNode* c : g.channels) {
        if (c->dsp) {
            drivers.emplace(c->dsp, c);
        }
    }
    for (GroupNode* child : g.children) {
        FindDrivers(*child, drivers);
    }
}

void Ramp(float* buf, int frames, float& gain, float target, float step) {
    float g = gain;
    if (g == target) {
        for (int i = 0; i < frames; ++i) {
            buf[i] *= g;
        }
        return;
    }
    for (int i = 0; i < frames; ++i) {
        g = g < target ? std::min(g + step, target) : std::max(g - step, target);
        buf[i] *= g;
    }
    gain = g;
}

struct Compiler {
    std::unordered_map<const void*, int> marks; // buffer index, or -2 while visiting
    std::unordered_map<const DspNode*, ChannelNode*> drivers;
    std::unordered_map<int, int> consumers; // buffer -> how many steps read it
};

} // namespace

RenderPlan::RenderPlan(GroupNode& master, int blockFrames, uint64_t generation)
    : generation_(generation), blockFrames_(std::max(blockFrames, 1)) {
    Compiler c;
    FindDrivers(master, c.drivers);

    // Depth-first from the master output; each node's step follows its inputs' steps.
    int buffers = 0;
    struct Visitor {
        RenderPlan& plan;
        Compiler& c;
        int& buffers;
        int Visit(Op op, void* node) {
            const void* key = op == Op::GroupMix ? &static_cast<GroupNode*>(node)->mixTag : node;
            auto it = c.marks.find(key);
            if (it != c.marks.end()) {
                return it->second; // -2: a loop closes here, cut it
            }
            c.marks[key] = -2;
            std::vector<int> in;
            auto add = [&](Op o, void* n) {
                const int b = Visit(o, n);
                if (b >= 0) {
                    in.push_back(b);
                }
            };
            ChannelNode* driver = nullptr;
            switch (op) {
            case Op::Dsp: {
                auto* d = static_cast<DspNode*>(node);
                for (DspNode* input : d->inputs) {
                    add(Op::Dsp, input);
                }
                if (GroupNode* owner = d->chainOwner) {
                    auto pos = std::find(owner->chain.begin(), owner->chain.end(), d);
                    if (pos == owner->chain.begin()) {
                        add(Op::GroupMix, owner);
                    } else {
                        add(Op::Dsp, *(pos - 1));
                    }
                }
                auto dr = c.drivers.find(d);
                driver = dr != c.drivers.end() ? dr->second : nullptr;
                break;
            }
            case Op::Channel: {
                auto* ch = static_cast<ChannelNode*>(node);
                if (ch->dsp) {
                    add(Op::Dsp, ch->dsp);
                }
                break;
            }
            case Op::GroupMix: {
                auto* g = static_cast<GroupNode*>(node);
                for (ChannelNode* ch : g->channels) {
                    add(Op::Channel, ch);
                }
                for (GroupNode* child : g->children) {
                    add(Op::GroupOut, child);
                }
                break;
            }
            case Op::GroupOut: {
                auto* g = static_cast<GroupNode*>(node);
                if (g->chain.empty()) {
                    add(Op::GroupMix, g);
                } else {
                    add(Op::Dsp, g->chain.back());
                }
                break;
            }
            }
            Step s{op,
                   node,
                   buffers++,
                   static_cast<int>(plan.inputs_.size()),
                   static_cast<int>(in.size()),
                   driver,
                   false};
            for (int b : in) {
                plan.inputs_.push_back(b);
                ++c.consumers[b];
            }
            plan.steps_.push_back(s);
            c.marks[key] = s.out;
            return s.out;
        }
    };
    Visitor v{*this, c, buffers};
    master_ = v.Visit(Op::GroupOut, &master);

    // An oscillator heard only through the channel that plays it is rendered by that
    // channel, which skips it while paused and silent.
    std::unordered_map<int, Step*> byBuffer;
    for (Step& s : steps_) {
        byBuffer[s.out] = &s;
    }
    for (Step& s : steps_) {
        if (s.op != Op::Channel || s.inputCount != 1) {
            continue;
        }
        Step* src = byBuffer[inputs_[s.firstInput]];
        auto* ch = static_cast<ChannelNode*>(s.node);
        auto* dsp = static_cast<DspNode*>(src->node);
        if (src->op == Op::Dsp && dsp->type == kDspOscillator && src->inputCount == 0 &&
            c.consumers[src->out] == 1 && src->driver == ch) {
            src->node = nullptr; // skipped
            s.inlineOsc = true;
            s.inputCount = 0;
        }
    }
    buffers_.assign(static_cast<size_t>(std::max(buffers, 1)) * blockFrames_, 0.0f);
}

void RenderPlan::SumInputs(const Step& s, float* out, int frames) {
    if (s.inputCount == 0) {
        std::memset(out, 0, sizeof(float) * frames);
        return;
    }
    std::memcpy(out, Buffer(inputs_[s.firstInput]), sizeof(float) * frames);
    for (int k = 1; k < s.inputCount; ++k) {
        const float* in = Buffer(inputs_[s.firstInput + k]);
        for (int i = 0; i < frames; ++i) {
            out[i] += in[i];
        }
    }
}

void RenderPlan::RunDsp(DspNode& dsp, ChannelNode* driver, float* out, int frames,
                        double sampleRate) {
    if (dsp.bypass.load(std::memory_order_relaxed)) {
        return;
    }
    const float p0 = dsp.param[0].load(std::memory_order_relaxed);
    const float p1 = dsp.param[1].load(std::memory_order_relaxed);
    switch (dsp.type) {
    case kDspOscillator: {
        const double ratio =
            driver ? driver->frequency.load(std::memory_order_relaxed) / kUnscaledChannelRate : 1.0;
        dsp.osc.Render(out, frames, static_cast<int32_t>(p0), p1, ratio, sampleRate);
        return;
    }
    case kDspLowPass:
    case kDspParamEq: {
        const uint32_t version = dsp.version.load(std::memory_order_acquire);
        if (version != dsp.designedVersion || sampleRate != dsp.designedRate) {
            if (dsp.type == kDspLowPass) {
                dsp.filter.DesignLowPass(p0, p1, sampleRate);
            } else {
                dsp.filter.DesignPeaking(p0, p1, dsp.param[2].load(std::memory_order_relaxed),
                                         sampleRate);
            }
            dsp.designedVersion = version;
            dsp.designedRate = sampleRate;
        }
        dsp.filter.Process(out, frames);
        return;
    }
    default:
        return;
    }
}

const float* RenderPlan::RenderBlock(int frames, double sampleRate, float rampStep) {
    frames = std::min(frames, blockFrames_);
    for (const Step& s : steps_) {
        float* out = Buffer(s.out);
        switch (s.op) {
        case Op::Dsp:
            if (s.node) {
                SumInputs(s, out, frames);
                RunDsp(*static_cast<DspNode*>(s.node), s.driver, out, frames, sampleRate);
            }
            break;
        case Op::Channel: {
            auto& ch = *static_cast<ChannelNode*>(s.node);
            const float target = ch.paused.load(std::memory_order_relaxed)
                                     ? 0.0f
                                     : ch.volume.load(std::memory_order_relaxed);
            if (ch.gain == 0.0f && target == 0.0f) {
                std::memset(out, 0, sizeof(float) * frames);
                break;
            }
            if (s.inlineOsc) {
                std::memset(out, 0, sizeof(float) * frames);
                RunDsp(*ch.dsp, &ch, out, frames, sampleRate);
            } else {
                SumInputs(s, out, frames);
            }
            Ramp(out, frames, ch.gain, target, rampStep);
            break;
        }
        case Op::GroupMix:
            SumInputs(s, out, frames);
            break;
        case Op::GroupOut: {
            auto& g = *static_cast<GroupNode*>(s.node);
            SumInputs(s, out, frames);
            Ramp(out, frames, g.gain, g.volume.load(std::memory_order_relaxed), rampStep);
            break;
        }
        }
    }
    return Buffer(master_);
}

} // namespace tq::snd
