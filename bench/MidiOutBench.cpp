// MIDI out through JACK, on a dummy server of its own (48 kHz, 256 frames: 5.3 ms periods):
// the cost of a note-on and note-off pair to the caller, and how long the silencing sweep
// (16 channels x 128 note-offs, sent back to back) takes until its last message has
// reached a receiving client. Then, at periods of 256 and 1024 frames, 45 beat tones of
// 15 ms as they arrive at the receiving port: each note's length against the time between
// its sends, and each note-on's place against its send time. Prints medians and the worst.
//
//   midi_out_bench [timing]      (timing: the beat tones only)
#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "midiio/SystemMidiOutput.h"
#include "midiout/MIDIOutForm.h"
#include "platform/RecordingSpeaker.h"
#include "platform/StreamMessageBoxes.h"
#include "platform/VirtualClock.h"
#include "playback/PlayerState.h"
#include "playback/ToneDispatcher.h"

#include "JackMidiReceiver.h"
#include "JackServer.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Worst(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

double Us(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void NotePairs(tq::SystemMidiOutput& out, tq::JackMidiReceiver& receiver) {
    std::vector<double> us;
    for (int i = 0; i < 5000; ++i) {
        const auto note = static_cast<uint8_t>(36 + i % 48);
        const auto start = Clock::now();
        out.SendShortMessage(0x90, note, 100);
        out.SendShortMessage(0x80, note, 0);
        us.push_back(Us(Clock::now() - start));
        if (i % 500 == 499) {
            receiver.Take(1000, 1s);
        }
    }
    std::printf("note-on + note-off pair (us): median %.2f  worst %.2f  (%zu pairs)\n", Median(us),
                Worst(us), us.size());
}

void Sweeps(tq::SystemMidiOutput& out, tq::JackMidiReceiver& receiver, int sweepsAtOnce) {
    std::vector<double> sendMs;
    std::vector<double> lastMs;
    size_t lost = 0;
    for (int run = 0; run < 30; ++run) {
        // Start at a different point of the period each run.
        std::this_thread::sleep_for(20ms + (run * 1777us) % 5333us);
        const auto start = Clock::now();
        for (int sweep = 0; sweep < sweepsAtOnce; ++sweep) {
            for (int channel = 0; channel < 16; ++channel) {
                for (int note = 0; note < 128; ++note) {
                    out.SendShortMessage(static_cast<uint8_t>(0x80 + channel),
                                         static_cast<uint8_t>(note), 0);
                }
            }
        }
        sendMs.push_back(Us(Clock::now() - start) / 1000);
        const size_t messages = 2048u * static_cast<size_t>(sweepsAtOnce);
        const size_t got = static_cast<size_t>(receiver.Take(messages, 2s).size());
        lost += messages - std::min(got, messages);
        lastMs.push_back(Us(receiver.LastArrival() - start) / 1000);
    }
    std::printf("%d x 2048 note-offs (ms): queued in median %.2f; last arrived median %.2f  "
                "worst %.2f; lost %zu\n",
                sweepsAtOnce, Median(sendMs), Median(lastMs), Worst(lastMs), lost);
}

// The same pair as the program makes it: a muted tone of no length through UniBeep, whose
// MIDI section turns the note string into a note number and calls the output window's
// MIDINoteOn and MIDINoteOff.
void DispatchedPairs(tq::SystemMidiOutput& out, tq::JackMidiReceiver& receiver) {
    tq::VirtualClock clock;
    tq::VirtualEventPump pump(clock);
    tq::NonLockingSleep sleep(clock, pump);
    tq::RecordingSpeaker speaker(clock);
    tq::NullLog log;
    tq::StreamMessageBoxes boxes;
    tq::OutputSwitches switches;
    switches.MutePCSpeaker = true;
    tq::PlayerState state;
    bool shuttingDown = false;
    tq::ToneDispatcher tones(log, boxes, sleep, speaker, switches);
    tq::MIDIOutForm form({log, boxes, state, switches, shuttingDown});
    form.SetOutputProvider([&out] { return &out; });
    tones.SetMidiOutput(&form);
    form.UseMIDIOutCheck_Click(true); // the start-up's sweep and program changes
    receiver.Take(2048 + 2, 2s);
    const QString notes[] = {QStringLiteral("C4"), QStringLiteral("F#5"), QStringLiteral("A3")};
    std::vector<double> us;
    for (int i = 0; i < 5000; ++i) {
        const auto start = Clock::now();
        tones.UniBeepValue(notes[i % 3], 0, false, false, false, false);
        us.push_back(Us(Clock::now() - start));
        if (i % 500 == 499) {
            receiver.Take(1000, 1s);
        }
    }
    std::printf("UniBeep's note-on + note-off (us): median %.2f  worst %.2f  (%zu tones)\n",
                Median(us), Worst(us), us.size());
}

// Each tone: a note-on, 15 ms, its note-off, then a gap that moves the next tone to another
// point of the period. Frame times at the port against steady-clock times at the sender.
void BeatTones(tq::SystemMidiOutput& out, tq::JackMidiReceiver& receiver, int periodFrames) {
    constexpr int kTones = 45;
    constexpr double kFramesPerMs = 48.0;
    std::vector<Clock::time_point> sentOn;
    std::vector<double> sentMs;
    for (int i = 0; i < kTones; ++i) {
        const auto on = Clock::now();
        out.SendShortMessage(0x99, 42, 100);
        std::this_thread::sleep_until(on + 15ms);
        const auto off = Clock::now();
        out.SendShortMessage(0x89, 42, 0);
        sentOn.push_back(on);
        sentMs.push_back(Us(off - on) / 1000);
        std::this_thread::sleep_for(35ms + (i * 1777us) % 21333us);
    }
    const QList<QByteArray> got = receiver.Take(2 * kTones, 2s);
    const QList<uint32_t>& frames = receiver.TakenFrames();
    if (got.size() != 2 * kTones) {
        std::printf("period %d: %lld of %d messages arrived\n", periodFrames,
                    static_cast<long long>(got.size()), 2 * kTones);
        return;
    }
    std::vector<double> lengthError;
    std::vector<double> onError;
    double lengthMin = 1e9;
    double lengthMax = 0;
    for (int i = 0; i < kTones; ++i) {
        const auto k = static_cast<qsizetype>(2 * i);
        const double portMs = static_cast<double>(frames[k + 1] - frames[k]) / kFramesPerMs;
        lengthMin = std::min(lengthMin, portMs);
        lengthMax = std::max(lengthMax, portMs);
        lengthError.push_back(std::abs(portMs - sentMs[static_cast<size_t>(i)]));
        const double portSinceFirst = static_cast<double>(frames[k] - frames[0]) / kFramesPerMs;
        const double sentSinceFirst = Us(sentOn[static_cast<size_t>(i)] - sentOn[0]) / 1000;
        onError.push_back(std::abs(portSinceFirst - sentSinceFirst));
    }
    std::printf("period %4d frames, %d tones of 15 ms: length at the port %.2f-%.2f ms, "
                "off from the sent length median %.3f worst %.3f ms; note-on jitter median "
                "%.3f worst %.3f ms\n",
                periodFrames, kTones, lengthMin, lengthMax, Median(lengthError), Worst(lengthError),
                Median(onError), Worst(onError));
}

// Starts the server and a receiving client and opens our output to it. Returns how long the
// open took in ms, or a negative value (having said why) when something would not start.
double OpenToReceiver(tq::JackServer& server, tq::JackMidiReceiver& receiver,
                      tq::SystemMidiOutput& out) {
    std::string why;
    if (!server.Start(&why) || !receiver.Open("bench-receiver", &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return -1;
    }
    const int port = static_cast<int>(out.PortNames().indexOf("JACK: bench-receiver:midi_in"));
    QString openWhy;
    const auto start = Clock::now();
    if (!out.Open(port, &openWhy)) {
        std::fprintf(stderr, "%s\n", qPrintable(openWhy));
        return -1;
    }
    return Us(Clock::now() - start) / 1000;
}

int Timing() {
    for (int period : {256, 1024}) {
        tq::JackServer server(period);
        tq::JackMidiReceiver receiver;
        tq::SystemMidiOutput out(QStringLiteral("Tonquill"));
        if (OpenToReceiver(server, receiver, out) < 0) {
            return 1;
        }
        std::this_thread::sleep_for(200ms); // the connection joins the graph
        BeatTones(out, receiver, period);
        out.Close();
        receiver.Close();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "timing") {
        return Timing();
    }
    tq::JackServer server;
    tq::JackMidiReceiver receiver;
    tq::SystemMidiOutput out(QStringLiteral("Tonquill"));
    const double openMs = OpenToReceiver(server, receiver, out);
    if (openMs < 0) {
        return 1;
    }
    std::printf("Open (a JACK client made and activated) (ms): %.1f\n", openMs);
    NotePairs(out, receiver);
    DispatchedPairs(out, receiver);
    Sweeps(out, receiver, 1);
    Sweeps(out, receiver, 4);
    out.Close();
    return 0;
}
