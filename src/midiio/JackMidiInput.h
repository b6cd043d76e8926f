#pragma once

#include "midiio/JackMidiPort.h"
#include "midiio/MidiSourceSystem.h"

namespace tq {

class MidiInQueue;

// MIDI in from a JACK port, on libjack itself: a client with one input, "midi_in", connected
// from the chosen source. Each period's events go into the queue on JACK's real-time thread.
class JackMidiInput final : public MidiSourceSystem {
public:
    JackMidiInput(const QString& clientName, MidiInQueue& queue);
    ~JackMidiInput() override;
    JackMidiInput(const JackMidiInput&) = delete;
    JackMidiInput& operator=(const JackMidiInput&) = delete;

    // The MIDI outputs of other clients.
    QStringList Sources() override;
    bool Open(const QString& source, QString* why) override;
    void Close() override;
    QString TakeFailure() override;

private:
    static int Process(jack_nframes_t frames, void* self);
    static void Gone(void* self);

    MidiInQueue& queue_;
    JackMidiPort port_;
    bool failureTaken_ = false;
};

} // namespace tq
