// MIDI out through JACK, on a dummy server of its own (48 kHz, 256 frames: 5.3 ms periods):
// the cost of a note-on and note-off pair to the caller, and how long the silencing sweep
// (16 channels x 128 note-offs, sent back to back) takes until its last message has
// reached a receiving client. Prints medians and the worst.
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tq::JackServer server;
    std::string why;
    tq::JackMidiReceiver receiver;
    if (!server.Start(&why) || !receiver.Open("bench-receiver", &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    tq::SystemMidiOutput out(QStringLiteral("Tonquill"));
    const int port = static_cast<int>(out.PortNames().indexOf("JACK: bench-receiver:midi_in"));
    QString openWhy;
    const auto openStart = Clock::now();
    if (!out.Open(port, &openWhy)) {
        std::fprintf(stderr, "%s\n", qPrintable(openWhy));
        return 1;
    }
    std::printf("Open (a JACK client made and activated) (ms): %.1f\n",
                Us(Clock::now() - openStart) / 1000);
    NotePairs(out, receiver);
    DispatchedPairs(out, receiver);
    Sweeps(out, receiver, 1);
    Sweeps(out, receiver, 4);
    out.Close();
    return 0;
}
