#include "platform/SpeakerSilencer.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <linux/input.h>
#include <linux/kd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tq::SpeakerSilencer {

namespace {

std::atomic<int> gFd{-1};
std::atomic<int> gKind{kNone};

void OnSignal(int sig) {
    SilenceNow();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void OnExit() {
    SilenceNow();
}

} // namespace

void Register(int fd, int kind) {
    gKind.store(kind);
    gFd.store(fd);
}

void Unregister(int fd) {
    int expected = fd;
    if (gFd.compare_exchange_strong(expected, -1)) {
        gKind.store(kNone);
    }
}

void SilenceNow() {
    const int fd = gFd.load();
    if (fd < 0) {
        return;
    }
    switch (gKind.load()) {
    case kEvdev: {
        struct input_event ev;
        std::memset(&ev, 0, sizeof ev);
        ev.type = EV_SND;
        ev.code = SND_TONE;
        ev.value = 0;
        [[maybe_unused]] ssize_t n = ::write(fd, &ev, sizeof ev);
        break;
    }
    case kConsole:
        ::ioctl(fd, KIOCSOUND, 0);
        break;
    default:
        break;
    }
}

void InstallHandlers() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        struct sigaction sa;
        std::memset(&sa, 0, sizeof sa);
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESETHAND;
        sigaction(sig, &sa, nullptr);
    }
    std::atexit(OnExit);
}

} // namespace tq::SpeakerSilencer
