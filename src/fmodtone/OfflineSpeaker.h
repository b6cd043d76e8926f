#pragma once

#include "fmodtone/engine/SoundEngine.h"
#include "platform/Speaker.h"

#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace tq {

class EmulatedSpeaker;
class OfflineAudioOutput;
class VirtualClock;

// The emulated speaker on a virtual clock, rendered offline: each tone advances the clock
// by its duration and is rendered, sample for sample, with the emulated speaker's square
// wave through the sound engine, and the time between tones as silence. The result is the
// same for the same tones, so a song renders to the same file every time.
class OfflineSpeaker final : public Speaker {
public:
    static constexpr int kSampleRate = 48000;
    // A 16-bit WAV file stops at 4 GB, and nobody wants gigabytes of silence: a render
    // ends after an hour, however long the virtual clock runs on (a slow song or a sparse
    // MIDI file can stand for days).
    static constexpr int64_t kMaxFrames = int64_t{kSampleRate} * 3600;
    // Takes the samples as they are rendered, in order, a block at a time.
    using Sink = std::function<void(std::span<const float> block)>;
    // A tone as it was played, timed from the start of the render.
    struct PlayedTone {
        int64_t startNs;
        int32_t frequency;
        int32_t durationMs;
    };

    // Null, with the reason, if the engine cannot be set up. Tests give a shorter longest.
    static std::unique_ptr<OfflineSpeaker> Open(VirtualClock& clock, QString* why,
                                                int64_t maxFrames = kMaxFrames);
    ~OfflineSpeaker() override;

    QString Name() const override { return QStringLiteral("emulated"); }
    bool Beep(int32_t frequency, int32_t durationMs) override;
    void Silence() override {}

    // Renders up to the clock's present and gives the mono samples since the start that
    // went to no sink.
    const std::vector<float>& Finish();
    // From now on the samples go to sink as they are rendered, those kept so far first, so
    // a long render need not be held; null keeps them again.
    void SetSink(Sink sink);
    // Whether the clock ran past the longest render, so the samples hold only its start.
    bool Cut() const { return cut_; }
    // Renders up to the clock's present. A mixed-in source calls it before each of its
    // changes, so the change is heard from its own time.
    void CatchUp();
    // Mixes another offline output (mono, at kSampleRate) into the file from now on, in
    // step with the speaker; null stops it.
    void MixIn(OfflineAudioOutput* source) { mixIn_ = source; }
    // From now on each tone that sounds is also appended to tones; null stops.
    void RecordTones(std::vector<PlayedTone>* tones) { played_ = tones; }

private:
    OfflineSpeaker(VirtualClock& clock, int64_t maxFrames);
    void RenderUntil(int64_t ns);
    void Deliver(std::span<const float> block);

    VirtualClock& clock_;
    int64_t startNs_;
    int64_t maxFrames_;
    int64_t renderedFrames_ = 0;
    OfflineAudioOutput* output_ = nullptr;
    OfflineAudioOutput* mixIn_ = nullptr;
    std::unique_ptr<snd::SoundEngine> engine_;
    std::unique_ptr<EmulatedSpeaker> speaker_;
    Sink sink_;
    std::vector<float> samples_;
    std::vector<PlayedTone>* played_ = nullptr;
    bool cut_ = false;
};

} // namespace tq
