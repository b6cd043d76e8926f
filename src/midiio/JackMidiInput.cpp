#include "midiio/JackMidiInput.h"

#include "midiio/MidiInQueue.h"

#include <jack/midiport.h>

namespace tq {

JackMidiInput::JackMidiInput(const QString& clientName, MidiInQueue& queue)
    : queue_(queue), port_(clientName, JackMidiPort::Direction::In, this, &Process, &Gone) {}

JackMidiInput::~JackMidiInput() {
    Close();
}

QStringList JackMidiInput::Sources() {
    return port_.Peers();
}

bool JackMidiInput::Open(const QString& source, QString* why) {
    if (!port_.Connect(source, why)) {
        return false;
    }
    failureTaken_ = false;
    return true;
}

void JackMidiInput::Close() {
    port_.Close();
}

QString JackMidiInput::TakeFailure() {
    if (failureTaken_) {
        return {};
    }
    const QString failure = port_.Failure();
    failureTaken_ = !failure.isEmpty();
    return failure;
}

// JACK's real-time thread: the queue and atomics only.
int JackMidiInput::Process(jack_nframes_t frames, void* self) {
    auto* in = static_cast<JackMidiInput*>(self);
    void* buffer = jack_port_get_buffer(in->port_.Port(), frames);
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) == 0) {
            in->queue_.Arrive(event.buffer, event.size);
        }
    }
    return 0;
}

// The program hears of the failure as it would of a message.
void JackMidiInput::Gone(void* self) {
    static_cast<JackMidiInput*>(self)->queue_.Wake();
}

} // namespace tq
