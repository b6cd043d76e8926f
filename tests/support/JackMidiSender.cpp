#include "JackMidiSender.h"

#include <jack/midiport.h>

#include <algorithm>

namespace tq {
namespace {

// A message as it waits: its size, then up to three bytes.
constexpr size_t kSlot = 4;

} // namespace

JackMidiSender::~JackMidiSender() {
    Close();
}

bool JackMidiSender::Open(const char* clientName, std::string* why) {
    written_.store(0);
    jack_status_t status{};
    client_ = jack_client_open(clientName, JackNoStartServer, &status);
    if (client_ == nullptr) {
        *why = "no JACK server";
        return false;
    }
    messages_ = jack_ringbuffer_create(kSlot << 16);
    serverGone_.store(false);
    jack_on_shutdown(
        client_, [](void* self) { static_cast<JackMidiSender*>(self)->serverGone_.store(true); },
        this);
    port_ = jack_port_register(client_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (port_ == nullptr || jack_set_process_callback(client_, &Process, this) != 0 ||
        jack_activate(client_) != 0) {
        *why = "cannot make the sending JACK client";
        Close();
        return false;
    }
    return true;
}

void JackMidiSender::Close() {
    // After its server has gone, libjack frees the client when anyone opens the next one.
    if (client_ != nullptr && !serverGone_.load()) {
        jack_client_close(client_);
    }
    client_ = nullptr;
    if (messages_ != nullptr) {
        jack_ringbuffer_free(messages_);
        messages_ = nullptr;
    }
}

std::string JackMidiSender::PortName() const {
    return jack_port_name(port_);
}

void JackMidiSender::Send(const QList<QByteArray>& messages) {
    QByteArray queued;
    for (const QByteArray& m : messages) {
        QByteArray slot(kSlot, '\0');
        slot[0] = static_cast<char>(std::min<qsizetype>(m.size(), kSlot - 1));
        std::copy_n(m.constData(), slot[0], slot.data() + 1);
        queued += slot;
    }
    // One write: the process callback sees all of them or none.
    jack_ringbuffer_write(messages_, queued.constData(), static_cast<size_t>(queued.size()));
}

std::chrono::steady_clock::time_point JackMidiSender::LastWritten() const {
    return std::chrono::steady_clock::time_point(
        std::chrono::nanoseconds(lastWrittenNs_.load(std::memory_order_acquire)));
}

int JackMidiSender::Process(jack_nframes_t frames, void* self) {
    auto* s = static_cast<JackMidiSender*>(self);
    void* buffer = jack_port_get_buffer(s->port_, frames);
    jack_midi_clear_buffer(buffer);
    size_t count = 0;
    char slot[kSlot];
    while (jack_ringbuffer_peek(s->messages_, slot, kSlot) == kSlot) {
        const auto size = static_cast<size_t>(slot[0]);
        if (jack_midi_event_write(buffer, 0, reinterpret_cast<jack_midi_data_t*>(slot + 1), size) !=
            0) {
            break; // the buffer is full: the rest go in the next period
        }
        jack_ringbuffer_read_advance(s->messages_, kSlot);
        ++count;
    }
    if (count > 0) {
        s->lastWrittenNs_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                                std::memory_order_release);
        s->written_.fetch_add(count, std::memory_order_release);
    }
    return 0;
}

} // namespace tq
