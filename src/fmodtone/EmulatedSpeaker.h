#pragma once

#include "fmodtone/engine/SoundEngine.h"
#include "platform/Speaker.h"

#include <functional>
#include <memory>

namespace tq {

// The PC speaker played through the sound engine: a square wave on a channel of its own
// system. Beep blocks to an absolute deadline whether or not sound comes out, so a dead
// audio output never changes a song's rhythm.
class EmulatedSpeaker final : public Speaker {
public:
    static constexpr float kVolume = 0.18f;

    // Null, with the reason, when no audio output opens.
    static std::unique_ptr<EmulatedSpeaker> Open(snd::SoundEngine& engine, QString* why);
    ~EmulatedSpeaker() override;
    EmulatedSpeaker(const EmulatedSpeaker&) = delete;
    EmulatedSpeaker& operator=(const EmulatedSpeaker&) = delete;

    QString Name() const override { return QStringLiteral("emulated"); }
    // False, at once, outside 37..32767 Hz; false after the wait when the engine could
    // not sound the tone (above the mix rate's Nyquist limit, or a dead output).
    bool Beep(int32_t frequency, int32_t durationMs) override;
    void Silence() override;
    QString TakeFailure() override;

    // Switches the square on at a frequency, without waiting; false when the engine
    // refuses. For players that keep their own time.
    bool StartTone(int32_t frequency);

    snd::Handle System() const { return system_; }
    snd::Handle Channel() const { return channel_; }

private:
    explicit EmulatedSpeaker(snd::SoundEngine& engine) : engine_(engine) {}
    bool Checked(int32_t result);

    snd::SoundEngine& engine_;
    snd::Handle system_ = 0;
    snd::Handle channel_ = 0;
    QString failure_;
};

// For SpeakerOptions::makeEmulated.
std::function<std::unique_ptr<Speaker>(QString*)> EmulatedSpeakerMaker(snd::SoundEngine& engine);

} // namespace tq
