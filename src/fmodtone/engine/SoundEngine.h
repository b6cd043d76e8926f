#pragma once

#include "fmodtone/engine/SoundGraph.h"
#include "fmodtone/engine/SoundResult.h"
#include "platform/audio/AudioOutput.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tq::snd {

using Handle = uint32_t;

class SoundSystem;

// Our sound engine: systems that each render a graph of oscillators, filters, channels
// and channel groups to an audio output. Objects are named by 32-bit handles; a handle
// of a released object, or of the wrong kind, gives kErrInvalidHandle, never a crash.
// Every call comes from one thread (the user-interface thread).
class SoundEngine {
public:
    static constexpr uint32_t kVersion = 0x00040621;
    static constexpr int32_t kFreeChannel = -2;

    explicit SoundEngine(AudioOutputFactory factory);
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Whether an audio output opens at all (it is closed again); why it does not, if not.
    bool ProbeOutput(std::string* why, std::string* name = nullptr);

    Result System_Create(Handle* system);
    Result System_GetVersion(Handle system, uint32_t* version);
    // Frames per render block (parameter changes are heard from the next block) and a
    // number of blocks, before init.
    Result System_SetDSPBufferSize(Handle system, int32_t blockFrames, int32_t blocks);
    Result System_GetDSPBufferSize(Handle system, int32_t* frames, int32_t* buffers);
    Result System_SetSoftwareChannels(Handle system, int32_t count);
    Result System_Init(Handle system, int32_t maxChannels, uint32_t flags);
    Result System_GetSoftwareFormat(Handle system, int32_t* sampleRate, int32_t* channels);
    Result System_Close(Handle system);
    // Frees the system and every object made by it.
    Result System_Release(Handle system);
    Result System_CreateDSPByType(Handle system, int32_t type, Handle* dsp);
    // channelIndex must be kFreeChannel. The channel starts in the master group.
    Result System_PlayDSP(Handle system, int32_t channelIndex, Handle dsp, bool paused,
                          Handle* channel);
    Result System_GetMasterChannelGroup(Handle system, Handle* group);
    Result System_CreateChannelGroup(Handle system, const char* name, Handle* group);

    // Oscillator: 0 wave code (0 to 5), 1 rate in Hz. Low-pass: 0 cut-off in Hz,
    // 1 resonance (1 to 10). Parametric EQ: 0 centre in Hz, 1 bandwidth in octaves,
    // 2 linear gain.
    Result DSP_SetParameter(Handle dsp, int32_t index, float value);
    Result DSP_GetParameter(Handle dsp, int32_t index, float* value);
    Result DSP_SetBypass(Handle dsp, bool bypass);
    Result DSP_AddInput(Handle dsp, Handle input);

    Result Channel_SetPaused(Handle channel, bool paused);
    Result Channel_GetPaused(Handle channel, bool* paused);
    // Playback rate in Hz; 48000 plays the DSP at its own rate.
    Result Channel_SetFrequency(Handle channel, float frequency);
    Result Channel_GetFrequency(Handle channel, float* frequency);
    Result Channel_SetVolume(Handle channel, float volume);
    Result Channel_SetChannelGroup(Handle channel, Handle group);

    Result ChannelGroup_AddGroup(Handle parent, Handle child);
    // Adds the DSP at the head of the group's chain, nearest its output.
    Result ChannelGroup_AddDSP(Handle group, Handle dsp);
    Result ChannelGroup_SetVolume(Handle group, float volume);

    // What the last failed init or the dead output said, for the log.
    std::string System_OutputError(Handle system);
    // The output a system renders to (null before init): tests render offline with it.
    AudioOutput* System_Output(Handle system);

private:
    enum class Kind : uint8_t { Free, System, Dsp, Channel, Group };
    struct Slot {
        Kind kind = Kind::Free;
        uint16_t generation = 0;
        void* object = nullptr;
        SoundSystem* system = nullptr;
    };

    Handle Add(Kind kind, void* object, SoundSystem* system);
    Slot* Find(Handle h, Kind kind);
    template <typename T> Result Get(Handle h, Kind kind, T** object, SoundSystem** system);

    AudioOutputFactory factory_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> freeSlots_;
    std::vector<std::unique_ptr<SoundSystem>> systems_;
};

} // namespace tq::snd
