#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tq {

// Fills one block of interleaved float samples. Called on the audio thread (or on the
// caller's thread by the offline output); it must not lock or allocate.
class AudioRenderer {
public:
    virtual ~AudioRenderer() = default;
    virtual void Render(float* interleaved, int frames, int channels) noexcept = 0;
};

struct AudioFormat {
    int sampleRate = 0;
    int channels = 0;
    int bufferFrames = 0;  // frames per callback
    int buffers = 0;       // how many such buffers lie between the renderer and the ear
    int latencyFrames = 0; // what the back end reports (0 when it reports nothing)
};

struct AudioRequest {
    int sampleRate = 48000;
    int channels = 2;
    int bufferFrames = 256;
    int buffers = 2;
};

// A stream of audio to a device (or to nowhere, for the offline output). Open, Start,
// Stop and Close are called from the user-interface thread only.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // The back end that opened, such as "jack" or "offline".
    virtual std::string Name() const = 0;
    virtual bool Open(const AudioRequest& request, AudioRenderer& renderer, std::string* why) = 0;
    virtual bool Start(std::string* why) = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The format actually granted; valid once open.
    virtual AudioFormat Format() const = 0;
    // A device that went away or a server that died: the reason, given once; empty
    // otherwise. The stream is dead from then on and nothing is rendered.
    virtual std::string TakeFailure() = 0;
};

using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

} // namespace tq
