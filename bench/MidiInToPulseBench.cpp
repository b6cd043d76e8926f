// Live MIDI input as the player hears it, on a JACK dummy server (48 kHz, 256 frames):
// from a Note On written into a sending client's period to the first pulse of that note
// starting on the speaker, through the MIDI ports component, the live input window's
// logic and the cycling player on the real clock and event loop. Once with nothing else
// held, once with three notes held (a pulse is then usually in progress).
#include "JackMidiSender.h"
#include "JackServer.h"
#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "core/NoteFrequencies.h"
#include "core/Rounding.h"
#include "editor/MainForm.h"
#include "midiin/MIDIInForm.h"
#include "platform/MidiIoComponent.h"
#include "platform/QtEventPump.h"
#include "platform/QtNamedTimers.h"
#include "platform/Speaker.h"
#include "platform/SteadyClock.h"
#include "platform/StreamMessageBoxes.h"
#include "playback/ToneDispatcher.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A silent speaker that notes when each tone starts and waits its length, as a real one.
class TimingSpeaker final : public tq::Speaker {
public:
    QString Name() const override { return QStringLiteral("timing"); }
    bool Beep(int32_t frequency, int32_t durationMs) override {
        starts.push_back({frequency, Clock::now()});
        std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
        return true;
    }
    void Silence() override {}
    std::vector<std::pair<int32_t, Clock::time_point>> starts;
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tq::JackServer server;
    tq::JackMidiSender sender;
    std::string why;
    if (!server.Start(&why) || !sender.Open("keyboard", &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    QString loadWhy;
    auto component = tq::LoadComponent(TQ_MIDIIO_PLUGIN, tq::kMidiIoComponent, &loadWhy);
    if (!component) {
        std::fprintf(stderr, "%s\n", qPrintable(loadWhy));
        return 1;
    }
    auto input = qobject_cast<tq::MidiIoComponent*>(component->Instance())->CreateInput("bench");

    tq::SteadyClock clock;
    tq::QtEventPump pump;
    tq::NonLockingSleep sleep(clock, pump);
    TimingSpeaker speaker;
    tq::NullLog log;
    tq::StreamMessageBoxes boxes;
    tq::OutputSwitches switches;
    tq::ToneDispatcher tones(log, boxes, sleep, speaker, switches);
    tq::MainForm form({log, boxes, sleep, tones, switches});
    tq::QtNamedTimers timers;
    tq::MIDIInForm midiIn(form, timers);
    timers.SetTickHandler([&midiIn](const QString& key) { midiIn.cTmr_Timer(key); });
    midiIn.SetInputProvider([&input] { return input.get(); });
    midiIn.UseMIDIInCheck_Click(true);

    const auto note = [&sender](int status, int n) {
        sender.Send({QByteArray(1, static_cast<char>(status)) + char(n) + char(100)});
    };
    for (const int background : {0, 3}) {
        for (int n = 0; n < background; ++n) {
            note(0x90, 40 + n);
        }
        std::vector<double> ms;
        for (int i = 0; i < 200; ++i) {
            const int n = 72 + i % 12;
            const size_t before = speaker.starts.size();
            const size_t written = sender.Written();
            note(0x90, n);
            const auto giveUp = Clock::now() + 1s;
            size_t found = 0;
            while (found == 0 && Clock::now() < giveUp) {
                sleep.MsgWaitObj(1);
                for (size_t k = before; k < speaker.starts.size() && sender.Written() > written;
                     ++k) {
                    // note 72 + x is "C6".. by the player's names; match by order of pulses
                    if (speaker.starts[k].first ==
                        tq::RoundToInt32(tq::NoteNumToFrequency(n % 12, n / 12))) {
                        found = k;
                        break;
                    }
                }
            }
            if (found != 0) {
                ms.push_back(std::chrono::duration<double, std::milli>(
                                 speaker.starts[found].second - sender.LastWritten())
                                 .count());
            }
            note(0x80, n);
            sleep.MsgWaitObj(40);
        }
        std::printf("%d other notes held: Note On -> first pulse (ms): median %.2f  90th %.2f  "
                    "worst %.2f  (%zu notes)\n",
                    background, Percentile(ms, 0.5), Percentile(ms, 0.9), Percentile(ms, 1.0),
                    ms.size());
        for (int n = 0; n < background; ++n) {
            note(0x80, 40 + n);
        }
    }
    midiIn.UseMIDIInCheck_Click(false);
    return 0;
}
