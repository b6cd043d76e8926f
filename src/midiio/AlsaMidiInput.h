#pragma once

#include "midiio/MidiSourceSystem.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

class RtMidiIn;

namespace tq {

class MidiInQueue;

// MIDI in from a port of the ALSA sequencer, through RtMidi, whose own thread puts what
// arrives into the queue. A machine without the sequencer simply has no sources here.
class AlsaMidiInput final : public MidiSourceSystem {
public:
    AlsaMidiInput(const QString& clientName, MidiInQueue& queue);
    ~AlsaMidiInput() override;
    AlsaMidiInput(const AlsaMidiInput&) = delete;
    AlsaMidiInput& operator=(const AlsaMidiInput&) = delete;

    QStringList Sources() override;
    bool Open(const QString& source, QString* why) override;
    void Close() override;
    // RtMidi does not tell when an ALSA source goes away: there is nothing to report.
    QString TakeFailure() override { return {}; }

    // What RtMidi reported on the owner's thread (its input thread's reports are dropped).
    struct Errors {
        std::thread::id owner = std::this_thread::get_id();
        std::string last;
    };

private:
    bool Connect();
    static void Arrived(double, std::vector<unsigned char>* message, void* self);

    std::string clientName_;
    MidiInQueue& queue_;
    std::unique_ptr<RtMidiIn> rt_;
    Errors errors_;
};

} // namespace tq
