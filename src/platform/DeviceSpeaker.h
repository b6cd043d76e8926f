#pragma once

#include "platform/Speaker.h"

namespace tq {

// The deadlines of a speaker's tones on the monotonic clock. Each tone ends at an
// absolute deadline; a tone that follows the previous one within a millisecond starts at
// that one's deadline rather than at "now".
class ToneTimeline {
public:
    static constexpr int64_t kChainWindowNs = 1'000'000;
    struct Span {
        int64_t startNs;
        int64_t endNs;
    };
    Span Next(int32_t durationMs);
    static void SleepUntilEnd(const Span& span);
    // A tone cut short: the next one starts from "now", not from the cut tone's deadline.
    void Break() { lastEnd_ = INT64_MIN / 2; }

private:
    int64_t lastEnd_ = INT64_MIN / 2;
};

// A speaker driven through a file descriptor: the tone is switched on, the caller sleeps
// to an absolute deadline on the monotonic clock, and the tone is switched off. A write
// error does not end the tone's time: the duration is still waited so the song keeps its
// rhythm, and Beep reports false.
class DeviceSpeaker : public Speaker {
public:
    ~DeviceSpeaker() override;
    DeviceSpeaker(const DeviceSpeaker&) = delete;
    DeviceSpeaker& operator=(const DeviceSpeaker&) = delete;

    bool Beep(int32_t frequency, int32_t durationMs) override;
    void Silence() override;

    bool IsOpen() const { return fd_ >= 0; }
    QString Path() const { return path_; }

protected:
    DeviceSpeaker() = default;
    // Takes ownership of an open descriptor and registers it with the signal-time
    // silencer.
    void Adopt(int fd, const QString& path, int silencerKind);
    // Switches the tone on (frequency > 0) or off (0). Returns false on a write error.
    virtual bool SetTone(int32_t frequency) = 0;
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
    QString path_;
    ToneTimeline timeline_;
};

// Writes EV_SND/SND_TONE events to the pcspkr input device.
class EvdevSpeaker final : public DeviceSpeaker {
public:
    static constexpr const char* kDefaultPath = "/dev/input/by-path/platform-pcspkr-event-spkr";
    // Opens the device; check IsOpen(). "error" receives the reason when it fails. The
    // path may be a FIFO with a reader, which tests and the timing probe use.
    explicit EvdevSpeaker(const QString& path, QString* error = nullptr);
    QString Name() const override { return QStringLiteral("evdev"); }

protected:
    bool SetTone(int32_t frequency) override;
};

// Programs the PC speaker through KIOCSOUND on a virtual console.
class ConsoleSpeaker final : public DeviceSpeaker {
public:
    explicit ConsoleSpeaker(const QString& path, QString* error = nullptr);
    QString Name() const override { return QStringLiteral("console"); }

protected:
    bool SetTone(int32_t frequency) override;
};

// No sound at all; the tone's time is still waited.
class NullSpeaker final : public Speaker {
public:
    QString Name() const override { return QStringLiteral("none"); }
    bool Beep(int32_t frequency, int32_t durationMs) override;
    void Silence() override {}

private:
    ToneTimeline timeline_;
};

// Sleeps until the monotonic clock reaches now + durationMs, measured from the call.
void SleepForMs(int32_t durationMs);

// The monotonic clock in nanoseconds, for Speaker::WaitOutTone.
const Speaker::ToneClock& MonotonicToneClock();

} // namespace tq
