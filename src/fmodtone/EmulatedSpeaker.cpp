#include "fmodtone/EmulatedSpeaker.h"

#include "platform/DeviceSpeaker.h"

#include <utility>

namespace tq {

namespace {

// The square counts its rate in half-cycles: at 8000 Hz a channel playing at 12 times
// the wanted frequency sounds it (8000 / 2 * 12 f / 48000 = f).
constexpr float kSquareRate = 8000.0f;
constexpr float kChannelPerHertz = 12.0f;

} // namespace

std::unique_ptr<EmulatedSpeaker> EmulatedSpeaker::Open(snd::SoundEngine& engine, QString* why) {
    std::unique_ptr<EmulatedSpeaker> s(new EmulatedSpeaker(engine));
    snd::Handle dsp = 0;
    int32_t r = engine.System_Create(&s->system_);
    if (r == snd::kOk) {
        r = engine.System_Init(s->system_, 1, 0);
    }
    if (r == snd::kOk) {
        r = engine.System_CreateDSPByType(s->system_, snd::kDspOscillator, &dsp);
    }
    if (r == snd::kOk) {
        r = engine.DSP_SetParameter(dsp, 0, snd::kWaveSquare);
    }
    if (r == snd::kOk) {
        r = engine.DSP_SetParameter(dsp, 1, kSquareRate);
    }
    if (r == snd::kOk) {
        r = engine.System_PlayDSP(s->system_, snd::SoundEngine::kFreeChannel, dsp, true,
                                  &s->channel_);
    }
    if (r == snd::kOk) {
        r = engine.Channel_SetVolume(s->channel_, kVolume);
    }
    if (r != snd::kOk) {
        if (why) {
            const std::string detail = engine.System_OutputError(s->system_);
            *why =
                QString::fromUtf8(snd::ResultText(r)) +
                (detail.empty() ? QString() : QStringLiteral(" ") + QString::fromStdString(detail));
        }
        return nullptr;
    }
    return s;
}

EmulatedSpeaker::~EmulatedSpeaker() {
    if (system_) {
        engine_.System_Release(system_);
    }
}

bool EmulatedSpeaker::Beep(int32_t frequency, int32_t durationMs) {
    if (!IsBeepableFrequency(frequency)) {
        return false;
    }
    if (durationMs <= 0) {
        return true;
    }
    const ToneClock& clock = MonotonicToneClock();
    const int64_t deadline = clock.nowNs() + int64_t{durationMs} * 1'000'000;
    ToneStarting();
    const bool sounded = StartTone(frequency);
    WaitOutTone(deadline, clock, [this, frequency] { StartTone(frequency); });
    Silence();
    return sounded;
}

bool EmulatedSpeaker::StartTone(int32_t frequency) {
    int32_t r =
        engine_.Channel_SetFrequency(channel_, kChannelPerHertz * static_cast<float>(frequency));
    if (r == snd::kOk) {
        r = engine_.Channel_SetPaused(channel_, false);
    }
    return Checked(r);
}

// The engine tells of a failed output once, on whichever call finds it.
bool EmulatedSpeaker::Checked(int32_t result) {
    if (result == snd::kErrOutputFailed) {
        failure_ = QString::fromStdString(engine_.System_OutputError(system_));
        if (failure_.isEmpty()) {
            failure_ = QString::fromUtf8(snd::ResultText(result));
        }
    }
    return result == snd::kOk;
}

QString EmulatedSpeaker::TakeFailure() {
    return std::exchange(failure_, QString());
}

void EmulatedSpeaker::Silence() {
    Checked(engine_.Channel_SetPaused(channel_, true));
}

std::function<std::unique_ptr<Speaker>(QString*)> EmulatedSpeakerMaker(snd::SoundEngine& engine) {
    return [&engine](QString* why) -> std::unique_ptr<Speaker> {
        return EmulatedSpeaker::Open(engine, why);
    };
}

} // namespace tq
