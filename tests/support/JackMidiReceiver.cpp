#include "JackMidiReceiver.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace tq {
namespace {

// A message as it is kept: its size, up to three bytes, then its frame time.
constexpr size_t kSlot = 8;
constexpr size_t kFrameAt = 4;

} // namespace

JackMidiReceiver::~JackMidiReceiver() {
    Close();
}

bool JackMidiReceiver::Open(const char* clientName, std::string* why) {
    received_.store(0);
    taken_ = 0;
    jack_status_t status{};
    client_ = jack_client_open(clientName, JackNoStartServer, &status);
    if (client_ == nullptr) {
        *why = "no JACK server";
        return false;
    }
    messages_ = jack_ringbuffer_create(kSlot << 16);
    serverGone_.store(false);
    jack_on_shutdown(
        client_, [](void* self) { static_cast<JackMidiReceiver*>(self)->serverGone_.store(true); },
        this);
    port_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (port_ == nullptr || jack_set_process_callback(client_, &Process, this) != 0 ||
        jack_activate(client_) != 0) {
        *why = "cannot make the receiving JACK client";
        Close();
        return false;
    }
    return true;
}

void JackMidiReceiver::Close() {
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

std::string JackMidiReceiver::PortName() const {
    return jack_port_name(port_);
}

QList<QByteArray> JackMidiReceiver::Take(size_t count, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (Received() < taken_ + count && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    QList<QByteArray> taken;
    takenFrames_.clear();
    char slot[kSlot];
    while (jack_ringbuffer_read(messages_, slot, kSlot) == kSlot) {
        taken << QByteArray(slot + 1, slot[0]);
        uint32_t frame = 0;
        std::memcpy(&frame, slot + kFrameAt, sizeof frame);
        takenFrames_ << frame;
    }
    taken_ += static_cast<size_t>(taken.size());
    return taken;
}

std::chrono::steady_clock::time_point JackMidiReceiver::LastArrival() const {
    return std::chrono::steady_clock::time_point(
        std::chrono::nanoseconds(lastArrivalNs_.load(std::memory_order_acquire)));
}

int JackMidiReceiver::Process(jack_nframes_t frames, void* self) {
    auto* r = static_cast<JackMidiReceiver*>(self);
    void* buffer = jack_port_get_buffer(r->port_, frames);
    const uint32_t count = jack_midi_get_event_count(buffer);
    const jack_nframes_t periodStart = jack_last_frame_time(r->client_);
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0) {
            continue;
        }
        const size_t size = std::min<size_t>(event.size, 3);
        char slot[kSlot] = {static_cast<char>(size)};
        std::copy_n(event.buffer, size, slot + 1);
        const uint32_t frame = periodStart + event.time;
        std::memcpy(slot + kFrameAt, &frame, sizeof frame);
        jack_ringbuffer_write(r->messages_, slot, kSlot);
    }
    if (count > 0) {
        r->lastArrivalNs_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                                std::memory_order_release);
        r->received_.fetch_add(count, std::memory_order_release);
    }
    return 0;
}

} // namespace tq
