// Tone-timing probe for the evdev speaker: 200 tones of 30 ms, back to back, written to a
// FIFO standing in for the pcspkr device. A reader thread timestamps every event as it
// arrives. The schedule is the one a caller asks for: tone i starts 30 ms x i after the
// first and lasts 30 ms. Reports median and worst error of start and length.
#include "platform/DeviceSpeaker.h"

#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

struct Stamp {
    int value;
    int64_t ns;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Worst(const std::vector<double>& v) {
    double w = 0;
    for (double x : v) {
        w = std::max(w, std::fabs(x));
    }
    return w;
}

} // namespace

int main(int argc, char** argv) {
    const int tones = argc > 1 ? std::atoi(argv[1]) : 200;
    const int lengthMs = argc > 2 ? std::atoi(argv[2]) : 30;
    QTemporaryDir dir;
    const QByteArray path = (dir.path() + QStringLiteral("/pcspkr")).toLocal8Bit();
    mkfifo(path.constData(), 0600);
    const int readFd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    ::fcntl(readFd, F_SETFL, ::fcntl(readFd, F_GETFL) & ~O_NONBLOCK);

    std::vector<Stamp> stamps;
    stamps.reserve(static_cast<size_t>(tones) * 2);
    std::thread reader([&] {
        input_event ev;
        while (::read(readFd, &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev)) {
            stamps.push_back({ev.value, NowNs()});
        }
    });

    int64_t firstRequest = 0;
    {
        tq::EvdevSpeaker speaker(QString::fromLocal8Bit(path));
        if (!speaker.IsOpen()) {
            std::fprintf(stderr, "cannot open the FIFO\n");
            return 1;
        }
        firstRequest = NowNs();
        for (int i = 0; i < tones; ++i) {
            speaker.Beep(440 + i, lengthMs);
        }
    } // closing the writer ends the reader
    reader.join();

    std::vector<double> startErr;
    std::vector<double> lengthErr;
    for (size_t i = 0; i + 1 < stamps.size(); i += 2) {
        const int64_t wantedStart =
            firstRequest + static_cast<int64_t>(i / 2) * lengthMs * 1'000'000;
        startErr.push_back(static_cast<double>(stamps[i].ns - wantedStart) / 1e6);
        lengthErr.push_back(static_cast<double>(stamps[i + 1].ns - stamps[i].ns) / 1e6 - lengthMs);
    }
    std::printf("tones: %zu of %d ms\n", startErr.size(), lengthMs);
    std::printf("start error  (ms): median %.3f  worst %.3f\n", Median(startErr), Worst(startErr));
    std::printf("length error (ms): median %.3f  worst %.3f\n", Median(lengthErr),
                Worst(lengthErr));
    return 0;
}
