#include "platform/DeviceSpeaker.h"

#include "platform/SpeakerSilencer.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <linux/input.h>
#include <linux/kd.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tq {

namespace {

constexpr int64_t kNsPerSecond = 1'000'000'000;

int64_t MonotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t{t.tv_sec} * kNsPerSecond + t.tv_nsec;
}

void SleepUntil(int64_t deadlineNs) {
    const timespec deadline{static_cast<time_t>(deadlineNs / kNsPerSecond),
                            static_cast<long>(deadlineNs % kNsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

void UsePreciseSleeps() {
    // The default 50 us timer slack would make every tone that much longer.
    static const bool once = [] {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        return true;
    }();
    (void)once;
}

QString ErrnoText(const QString& path) {
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

ToneTimeline::Span ToneTimeline::Next(int32_t durationMs) {
    UsePreciseSleeps();
    const int64_t now = MonotonicNs();
    // A tone asked for right after the previous one ended continues its timeline, so the
    // wake-up latency of each sleep does not add up over a run of back-to-back tones.
    const int64_t start = (now - lastEnd_ >= 0 && now - lastEnd_ < kChainWindowNs) ? lastEnd_ : now;
    lastEnd_ = start + int64_t{durationMs} * 1'000'000;
    return {start, lastEnd_};
}

void ToneTimeline::SleepUntilEnd(const Span& span) {
    SleepUntil(span.endNs);
}

const Speaker::ToneClock& MonotonicToneClock() {
    static const Speaker::ToneClock clock{MonotonicNs, SleepUntil};
    return clock;
}

void SleepForMs(int32_t durationMs) {
    if (durationMs > 0) {
        UsePreciseSleeps();
        SleepUntil(MonotonicNs() + int64_t{durationMs} * 1'000'000);
    }
}

DeviceSpeaker::~DeviceSpeaker() {
    if (fd_ >= 0) {
        SpeakerSilencer::Unregister(fd_);
        ::close(fd_);
    }
}

void DeviceSpeaker::Adopt(int fd, const QString& path, int silencerKind) {
    fd_ = fd;
    path_ = path;
    SpeakerSilencer::Register(fd, silencerKind);
}

bool DeviceSpeaker::Beep(int32_t frequency, int32_t durationMs) {
    if (!IsBeepableFrequency(frequency)) {
        return false;
    }
    if (durationMs <= 0) {
        return true;
    }
    const ToneTimeline::Span span = timeline_.Next(durationMs);
    ToneStarting();
    const bool on = SetTone(frequency);
    const bool whole =
        WaitOutTone(span.endNs, MonotonicToneClock(), [this, frequency] { SetTone(frequency); });
    const bool off = SetTone(0);
    if (!whole) {
        timeline_.Break();
    }
    return on && off;
}

void DeviceSpeaker::Silence() {
    SetTone(0);
}

EvdevSpeaker::EvdevSpeaker(const QString& path, QString* error) {
    // O_NONBLOCK makes opening a FIFO without a reader fail instead of hanging; writes
    // are blocking again afterwards.
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error) {
            *error = ErrnoText(path);
        }
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        // Tone events written into an ordinary file would overwrite what it holds.
        if (error) {
            *error = path + QStringLiteral(": not a character device or FIFO");
        }
        ::close(fd);
        return;
    }
    if (S_ISFIFO(st.st_mode)) {
        // A reader that goes away must give a write error, not end the program.
        std::signal(SIGPIPE, SIG_IGN);
    }
    Adopt(fd, path, SpeakerSilencer::kEvdev);
}

bool EvdevSpeaker::SetTone(int32_t frequency) {
    if (Fd() < 0) {
        return false;
    }
    struct input_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = EV_SND;
    ev.code = SND_TONE;
    ev.value = frequency;
    return ::write(Fd(), &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev);
}

ConsoleSpeaker::ConsoleSpeaker(const QString& path, QString* error) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (error) {
            *error = ErrnoText(path);
        }
        return;
    }
    // Only a virtual console accepts KIOCSOUND; try it once with the tone off.
    if (::ioctl(fd, KIOCSOUND, 0) != 0) {
        if (error) {
            *error = ErrnoText(path);
        }
        ::close(fd);
        return;
    }
    Adopt(fd, path, SpeakerSilencer::kConsole);
}

bool ConsoleSpeaker::SetTone(int32_t frequency) {
    if (Fd() < 0) {
        return false;
    }
    // The PIT divides its 1193180 Hz input clock by the count; 0 switches it off.
    const unsigned long count =
        frequency > 0 ? 1193180UL / static_cast<unsigned long>(frequency) : 0;
    return ::ioctl(Fd(), KIOCSOUND, count) == 0;
}

bool NullSpeaker::Beep(int32_t frequency, int32_t durationMs) {
    if (!IsBeepableFrequency(frequency)) {
        return false;
    }
    if (durationMs > 0) {
        ToneStarting();
        if (!WaitOutTone(timeline_.Next(durationMs).endNs, MonotonicToneClock(), {})) {
            timeline_.Break();
        }
    }
    return true;
}

} // namespace tq
