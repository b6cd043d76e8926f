// MIDI in through JACK, on a dummy server of its own (48 kHz, 256 frames: 5.3 ms periods):
// how long a Note On takes from the period a sending client writes it into to the input's
// handler running on the main thread and taking it, and from the sender's own call (which
// waits for its next period). Prints the median, 99th percentile and worst.
#include "midiio/SystemMidiInput.h"

#include "JackMidiSender.h"
#include "JackServer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%s (ms): median %.3f  99th pct %.3f  worst %.3f  (%zu notes)\n", what,
                ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back(), ms.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int notes = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;
    tq::JackServer server;
    tq::JackMidiSender sender;
    std::string why;
    if (!server.Start(&why) || !sender.Open("bench-sender", &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    tq::SystemMidiInput input(QStringLiteral("Tonquill"));
    const auto port = input.PortNames().indexOf(QStringLiteral("JACK: bench-sender:midi_out"));
    QString openWhy;
    if (!input.Open(static_cast<int>(port), &openWhy)) {
        std::fprintf(stderr, "%s\n", qPrintable(openWhy));
        return 1;
    }
    input.Start();

    QEventLoop loop;
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    Clock::time_point takenAt;
    int taken = 0;
    input.SetMessagesWaiting([&] {
        tq::MidiMessage m;
        while (input.TakeMessage(&m)) {
            takenAt = Clock::now();
            ++taken;
        }
        loop.quit();
    });
    std::vector<double> fromPeriod;
    std::vector<double> fromCall;
    for (int i = 0; i < notes; ++i) {
        // Send at a different point of the period each time.
        std::this_thread::sleep_for(2ms + (i * 1237us) % 5333us);
        const int before = taken;
        const auto called = Clock::now();
        const char noteOn[3] = {'\x90', static_cast<char>(36 + i % 48), 100};
        sender.Send({QByteArray(noteOn, 3)});
        giveUp.start(1000);
        while (taken == before && giveUp.isActive()) {
            loop.exec();
        }
        if (taken == before) {
            std::fprintf(stderr, "note %d never arrived\n", i);
            return 1;
        }
        fromPeriod.push_back(Ms(takenAt - sender.LastWritten()));
        fromCall.push_back(Ms(takenAt - called));
    }
    Print("written into the sender's period -> taken in the handler", fromPeriod);
    Print("sender's call -> taken in the handler", fromCall);
    std::printf("a period is %.3f ms\n", 256 / 48.0);
    input.Close();
    return 0;
}
