// Stop-latency probe: how long a long tone sounds on after Stop. A tone of a minute is
// sounded on the evdev speaker (a FIFO standing in for the pcspkr device), waiting through
// the real event loop as the program does; a timer asks for a stop 50 to 250 ms into it,
// as a Stop click does. With "signal", another thread asks instead, without waking the
// event loop, as a signal handler does. A reader thread timestamps the tone's off event.
// Reports median and worst latency from the stop request to the off event, over 40 tones.
#include "core/NonLockingSleep.h"
#include "platform/DeviceSpeaker.h"
#include "platform/QtEventPump.h"
#include "platform/SteadyClock.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

int64_t NowNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int tones = argc > 1 ? std::atoi(argv[1]) : 40;
    const bool fromSignal = argc > 2 && QByteArray(argv[2]) == "signal";
    QTemporaryDir dir;
    const QByteArray path = (dir.path() + QStringLiteral("/pcspkr")).toLocal8Bit();
    mkfifo(path.constData(), 0600);
    const int readFd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    ::fcntl(readFd, F_SETFL, ::fcntl(readFd, F_GETFL) & ~O_NONBLOCK);

    std::atomic<int64_t> lastOffNs{0};
    std::thread reader([&] {
        input_event ev;
        while (::read(readFd, &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev)) {
            if (ev.value == 0) {
                lastOffNs.store(NowNs());
            }
        }
    });

    std::vector<double> latency;
    {
        tq::SteadyClock clock;
        tq::QtEventPump pump;
        tq::NonLockingSleep sleep(clock, pump);
        tq::EvdevSpeaker speaker(QString::fromLocal8Bit(path));
        if (!speaker.IsOpen()) {
            std::fprintf(stderr, "cannot open the FIFO\n");
            return 1;
        }
        speaker.SetToneWait(&sleep);
        std::mt19937 random(1);
        for (int i = 0; i < tones; ++i) {
            std::atomic<int64_t> requestNs{0};
            const int delayMs = 50 + static_cast<int>(random() % 200);
            auto request = [&] {
                requestNs.store(NowNs());
                sleep.RequestStop();
            };
            std::thread signaller;
            if (fromSignal) {
                signaller = std::thread([&] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                    request();
                });
            } else {
                QTimer::singleShot(delayMs, Qt::PreciseTimer, request);
            }
            speaker.Beep(440, 60'000);
            if (signaller.joinable()) {
                signaller.join();
            }
            // The off event crosses the FIFO to the reader thread.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            latency.push_back(static_cast<double>(lastOffNs.load() - requestNs) / 1e6);
        }
    } // closing the writer ends the reader
    reader.join();
    std::sort(latency.begin(), latency.end());
    std::printf("stop request to silence over %zu tones (ms): median %.3f  worst %.3f\n",
                latency.size(), latency[latency.size() / 2], latency.back());
    return 0;
}
