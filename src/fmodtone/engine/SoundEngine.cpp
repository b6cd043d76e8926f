#include "fmodtone/engine/SoundEngine.h"

#include "fmodtone/engine/SoundSystem.h"

#include <cmath>

namespace tq::snd {

namespace {

constexpr uint32_t kIndexBits = 20;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr uint16_t kGenerationMask = 0xFFF;
// The fastest a channel may play, so a runaway value cannot make the noise generator
// loop for ever.
constexpr float kMaxChannelFrequency = kUnscaledChannelRate * 100.0f;

class NullRenderer final : public AudioRenderer {
public:
    void Render(float* out, int frames, int channels) noexcept override {
        for (int i = 0; i < frames * channels; ++i) {
            out[i] = 0.0f;
        }
    }
};

bool IsLevel(float v) {
    return std::isfinite(v) && v >= 0.0f && v <= 1.0f;
}

} // namespace

SoundEngine::SoundEngine(AudioOutputFactory factory) : factory_(std::move(factory)) {}

SoundEngine::~SoundEngine() = default;

bool SoundEngine::ProbeOutput(std::string* why, std::string* name) {
    std::unique_ptr<AudioOutput> out = factory_ ? factory_() : nullptr;
    if (!out) {
        if (why) {
            *why = "no audio output";
        }
        return false;
    }
    NullRenderer silence;
    if (!out->Open(AudioRequest{}, silence, why)) {
        return false;
    }
    if (name) {
        *name = out->Name();
    }
    out->Close();
    return true;
}

Handle SoundEngine::Add(Kind kind, void* object, SoundSystem* system) {
    uint32_t index;
    if (!freeSlots_.empty()) {
        index = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        if (slots_.size() >= kIndexMask) {
            return 0;
        }
        index = static_cast<uint32_t>(slots_.size());
        slots_.push_back(Slot{});
        slots_.back().generation = 1;
    }
    Slot& s = slots_[index];
    s.kind = kind;
    s.object = object;
    s.system = system;
    return (static_cast<uint32_t>(s.generation) << kIndexBits) | (index + 1);
}

SoundEngine::Slot* SoundEngine::Find(Handle h, Kind kind) {
    const uint32_t index = (h & kIndexMask) - 1;
    if ((h & kIndexMask) == 0 || index >= slots_.size()) {
        return nullptr;
    }
    Slot& s = slots_[index];
    if (s.kind != kind || s.generation != (h >> kIndexBits)) {
        return nullptr;
    }
    return &s;
}

template <typename T>
Result SoundEngine::Get(Handle h, Kind kind, T** object, SoundSystem** system) {
    Slot* s = Find(h, kind);
    if (!s) {
        return kErrInvalidHandle;
    }
    *object = static_cast<T*>(s->object);
    if (system) {
        *system = s->system;
    }
    return kOk;
}

Result SoundEngine::System_Create(Handle* system) {
    if (!system) {
        return kErrInvalidParam;
    }
    *system = 0;
    auto sys = std::make_unique<SoundSystem>(factory_);
    const Handle h = Add(Kind::System, sys.get(), sys.get());
    if (!h) {
        return kErrTooManyObjects;
    }
    // The master group is an object of the system from the start.
    const Handle master = Add(Kind::Group, sys->Master(), sys.get());
    if (!master) {
        return kErrTooManyObjects;
    }
    sys->SetMasterHandle(master);
    systems_.push_back(std::move(sys));
    *system = h;
    return kOk;
}

Result SoundEngine::System_GetVersion(Handle system, uint32_t* version) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (!version) {
        return kErrInvalidParam;
    }
    *version = kVersion;
    return kOk;
}

Result SoundEngine::System_SetDSPBufferSize(Handle system, int32_t blockFrames, int32_t blocks) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    return s->SetDSPBufferSize(blockFrames, blocks);
}

Result SoundEngine::System_GetDSPBufferSize(Handle system, int32_t* frames, int32_t* buffers) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (!frames || !buffers) {
        return kErrInvalidParam;
    }
    s->GetDSPBufferSize(frames, buffers);
    return kOk;
}

Result SoundEngine::System_SetSoftwareChannels(Handle system, int32_t count) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    return s->SetSoftwareChannels(count);
}

Result SoundEngine::System_Init(Handle system, int32_t maxChannels, uint32_t flags) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (flags != 0) {
        return kErrInvalidParam;
    }
    return s->Init(maxChannels);
}

Result SoundEngine::System_GetSoftwareFormat(Handle system, int32_t* sampleRate,
                                             int32_t* channels) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (sampleRate) {
        *sampleRate = static_cast<int32_t>(s->MixRate());
    }
    if (channels) {
        *channels = s->OutputChannels();
    }
    return s->CheckOutput();
}

Result SoundEngine::System_Close(Handle system) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    return s->Close();
}

Result SoundEngine::System_Release(Handle system) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (s->IsInitialized()) {
        s->Close();
    }
    for (uint32_t i = 0; i < slots_.size(); ++i) {
        Slot& slot = slots_[i];
        if (slot.kind != Kind::Free && slot.system == s) {
            slot = Slot{Kind::Free, static_cast<uint16_t>((slot.generation % kGenerationMask) + 1),
                        nullptr, nullptr};
            freeSlots_.push_back(i);
        }
    }
    std::erase_if(systems_, [s](const std::unique_ptr<SoundSystem>& p) { return p.get() == s; });
    return kOk;
}

Result SoundEngine::System_CreateDSPByType(Handle system, int32_t type, Handle* dsp) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (!dsp) {
        return kErrInvalidParam;
    }
    *dsp = 0;
    if (type != kDspOscillator && type != kDspLowPass && type != kDspParamEq) {
        return kErrUnsupportedDsp;
    }
    const Handle h = Add(Kind::Dsp, s->CreateDsp(type), s);
    if (!h) {
        return kErrTooManyObjects;
    }
    *dsp = h;
    return s->CheckOutput();
}

Result SoundEngine::System_PlayDSP(Handle system, int32_t channelIndex, Handle dsp, bool paused,
                                   Handle* channel) {
    SoundSystem* s;
    DspNode* d;
    SoundSystem* ds;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (Result r = Get(dsp, Kind::Dsp, &d, &ds); r != kOk) {
        return r;
    }
    if (!channel || channelIndex != kFreeChannel) {
        return kErrInvalidParam;
    }
    *channel = 0;
    if (ds != s) {
        return kErrWrongSystem;
    }
    if (!s->IsInitialized()) {
        return kErrUninitialized;
    }
    ChannelNode* ch = s->PlayDsp(*d, paused);
    if (!ch) {
        return kErrChannelAlloc;
    }
    *channel = Add(Kind::Channel, ch, s);
    return *channel ? s->CheckOutput() : kErrTooManyObjects;
}

Result SoundEngine::System_GetMasterChannelGroup(Handle system, Handle* group) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (!group) {
        return kErrInvalidParam;
    }
    *group = s->MasterHandle();
    return kOk;
}

Result SoundEngine::System_CreateChannelGroup(Handle system, const char* name, Handle* group) {
    SoundSystem* s;
    if (Result r = Get(system, Kind::System, &s, nullptr); r != kOk) {
        return r;
    }
    if (!group) {
        return kErrInvalidParam;
    }
    GroupNode* g = s->CreateGroup(name);
    // A new group hangs under the master group until it is added elsewhere.
    s->AddGroup(*s->Master(), *g);
    *group = Add(Kind::Group, g, s);
    return *group ? s->CheckOutput() : kErrTooManyObjects;
}

Result SoundEngine::DSP_SetParameter(Handle dsp, int32_t index, float value) {
    DspNode* d;
    SoundSystem* s;
    if (Result r = Get(dsp, Kind::Dsp, &d, &s); r != kOk) {
        return r;
    }
    float low;
    float high;
    if (!ParameterRange(d->type, index, &low, &high) || !std::isfinite(value) || value < low ||
        value > high) {
        return kErrInvalidParam;
    }
    if (d->type == kDspOscillator && index == 0 && value != std::floor(value)) {
        return kErrInvalidParam;
    }
    d->param[index].store(value, std::memory_order_relaxed);
    d->version.fetch_add(1, std::memory_order_release);
    return s->CheckOutput();
}

Result SoundEngine::DSP_GetParameter(Handle dsp, int32_t index, float* value) {
    DspNode* d;
    if (Result r = Get(dsp, Kind::Dsp, &d, nullptr); r != kOk) {
        return r;
    }
    float low;
    float high;
    if (!value || !ParameterRange(d->type, index, &low, &high)) {
        return kErrInvalidParam;
    }
    *value = d->param[index].load();
    return kOk;
}

Result SoundEngine::DSP_SetBypass(Handle dsp, bool bypass) {
    DspNode* d;
    SoundSystem* s;
    if (Result r = Get(dsp, Kind::Dsp, &d, &s); r != kOk) {
        return r;
    }
    d->bypass.store(bypass);
    return s->CheckOutput();
}

Result SoundEngine::DSP_AddInput(Handle dsp, Handle input) {
    DspNode* d;
    DspNode* in;
    SoundSystem* s;
    SoundSystem* si;
    if (Result r = Get(dsp, Kind::Dsp, &d, &s); r != kOk) {
        return r;
    }
    if (Result r = Get(input, Kind::Dsp, &in, &si); r != kOk) {
        return r;
    }
    if (s != si) {
        return kErrWrongSystem;
    }
    if (Result r = s->AddInput(*d, *in); r != kOk) {
        return r;
    }
    return s->CheckOutput();
}

Result SoundEngine::Channel_SetPaused(Handle channel, bool paused) {
    ChannelNode* c;
    SoundSystem* s;
    if (Result r = Get(channel, Kind::Channel, &c, &s); r != kOk) {
        return r;
    }
    c->paused.store(paused, std::memory_order_relaxed);
    return s->CheckOutput();
}

Result SoundEngine::Channel_GetPaused(Handle channel, bool* paused) {
    ChannelNode* c;
    if (Result r = Get(channel, Kind::Channel, &c, nullptr); r != kOk) {
        return r;
    }
    if (!paused) {
        return kErrInvalidParam;
    }
    *paused = c->paused.load();
    return kOk;
}

Result SoundEngine::Channel_SetFrequency(Handle channel, float frequency) {
    ChannelNode* c;
    SoundSystem* s;
    if (Result r = Get(channel, Kind::Channel, &c, &s); r != kOk) {
        return r;
    }
    if (!std::isfinite(frequency) || frequency <= 0.0f || frequency > kMaxChannelFrequency) {
        return kErrInvalidFrequency;
    }
    if (c->dsp && c->dsp->type == kDspOscillator) {
        const auto wave = static_cast<int32_t>(c->dsp->param[0].load());
        const double heard = Oscillator::HeardFrequency(wave, c->dsp->param[1].load(),
                                                        frequency / kUnscaledChannelRate);
        if (wave != kWaveNoise && heard >= s->MixRate() / 2.0) {
            return kErrInvalidFrequency;
        }
    }
    c->frequency.store(frequency, std::memory_order_relaxed);
    return s->CheckOutput();
}

Result SoundEngine::Channel_GetFrequency(Handle channel, float* frequency) {
    ChannelNode* c;
    if (Result r = Get(channel, Kind::Channel, &c, nullptr); r != kOk) {
        return r;
    }
    if (!frequency) {
        return kErrInvalidParam;
    }
    *frequency = c->frequency.load();
    return kOk;
}

Result SoundEngine::Channel_SetVolume(Handle channel, float volume) {
    ChannelNode* c;
    SoundSystem* s;
    if (Result r = Get(channel, Kind::Channel, &c, &s); r != kOk) {
        return r;
    }
    if (!IsLevel(volume)) {
        return kErrInvalidParam;
    }
    c->volume.store(volume, std::memory_order_relaxed);
    return s->CheckOutput();
}

Result SoundEngine::Channel_SetChannelGroup(Handle channel, Handle group) {
    ChannelNode* c;
    GroupNode* g;
    SoundSystem* s;
    SoundSystem* gs;
    if (Result r = Get(channel, Kind::Channel, &c, &s); r != kOk) {
        return r;
    }
    if (Result r = Get(group, Kind::Group, &g, &gs); r != kOk) {
        return r;
    }
    if (s != gs) {
        return kErrWrongSystem;
    }
    s->SetChannelGroup(*c, *g);
    return s->CheckOutput();
}

Result SoundEngine::ChannelGroup_AddGroup(Handle parent, Handle child) {
    GroupNode* p;
    GroupNode* c;
    SoundSystem* s;
    SoundSystem* cs;
    if (Result r = Get(parent, Kind::Group, &p, &s); r != kOk) {
        return r;
    }
    if (Result r = Get(child, Kind::Group, &c, &cs); r != kOk) {
        return r;
    }
    if (s != cs) {
        return kErrWrongSystem;
    }
    if (Result r = s->AddGroup(*p, *c); r != kOk) {
        return r;
    }
    return s->CheckOutput();
}

Result SoundEngine::ChannelGroup_AddDSP(Handle group, Handle dsp) {
    GroupNode* g;
    DspNode* d;
    SoundSystem* s;
    SoundSystem* ds;
    if (Result r = Get(group, Kind::Group, &g, &s); r != kOk) {
        return r;
    }
    if (Result r = Get(dsp, Kind::Dsp, &d, &ds); r != kOk) {
        return r;
    }
    if (s != ds) {
        return kErrWrongSystem;
    }
    s->AddDsp(*g, *d);
    return s->CheckOutput();
}

Result SoundEngine::ChannelGroup_SetVolume(Handle group, float volume) {
    GroupNode* g;
    SoundSystem* s;
    if (Result r = Get(group, Kind::Group, &g, &s); r != kOk) {
        return r;
    }
    if (!IsLevel(volume)) {
        return kErrInvalidParam;
    }
    g->volume.store(volume, std::memory_order_relaxed);
    return s->CheckOutput();
}

std::string SoundEngine::System_OutputError(Handle system) {
    SoundSystem* s;
    return Get(system, Kind::System, &s, nullptr) == kOk ? s->OutputError() : std::string();
}

AudioOutput* SoundEngine::System_Output(Handle system) {
    SoundSystem* s;
    return Get(system, Kind::System, &s, nullptr) == kOk ? s->Output() : nullptr;
}

} // namespace tq::snd
