#include "midiio/JackMidiOutput.h"

#include <jack/midiport.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace tq {
namespace {

using namespace std::chrono_literals;

// Each queued message takes one slot: its size, up to three bytes, then the frame time it
// was sent at. The queue's size is a multiple of the slot, so a slot never wraps and the
// reader sees whole slots only.
constexpr size_t kSlot = 8;
constexpr size_t kStampAt = 4;
static_assert(JackMidiOutput::kQueueBytes % kSlot == 0);

} // namespace

JackMidiOutput::JackMidiOutput(const QString& clientName)
    : port_(clientName, JackMidiPort::Direction::Out, this, &Process),
      queue_(jack_ringbuffer_create(kQueueBytes)) {}

JackMidiOutput::~JackMidiOutput() {
    Close();
    jack_ringbuffer_free(queue_);
}

QStringList JackMidiOutput::Ports() {
    return port_.Peers();
}

bool JackMidiOutput::Open(const QString& port, QString* why) {
    if (port_.ServerGone()) {
        port_.Close();
    }
    // Only while no client of ours runs is the queue not being read.
    if (!port_.IsOpen()) {
        jack_ringbuffer_reset(queue_);
    }
    if (!port_.Connect(port, why)) {
        return false;
    }
    stalled_.clear();
    failureTaken_ = false;
    return true;
}

void JackMidiOutput::Close() {
    if (!port_.IsOpen()) {
        return;
    }
    Drain();
    port_.Close();
}

// Closing right after a burst (the silencing sweep before the program ends) must not cut
// its tail: wait until the queue is empty and the period that took the last message is over.
void JackMidiOutput::Drain() {
    const auto until = std::chrono::steady_clock::now() + 1s;
    while (jack_ringbuffer_read_space(queue_) >= kSlot && !Failed()) {
        if (std::chrono::steady_clock::now() > until) {
            return;
        }
        std::this_thread::sleep_for(1ms);
    }
    const uint64_t emptyAt = periods_.load();
    while (periods_.load() < emptyAt + 2 && !port_.ServerGone() &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(1ms);
    }
}

bool JackMidiOutput::Failed() {
    return port_.ServerGone() || port_.PeerLost() || !stalled_.isEmpty();
}

bool JackMidiOutput::Send(const uint8_t* bytes, size_t size) {
    if (!port_.IsOpen() || Failed()) {
        return false;
    }
    char slot[kSlot] = {static_cast<char>(size)};
    std::memcpy(slot + 1, bytes, size);
    const jack_nframes_t sentAt = jack_frame_time(port_.Client());
    std::memcpy(slot + kStampAt, &sentAt, sizeof sentAt);
    const auto until = std::chrono::steady_clock::now() + kFullQueueWaitMs * 1ms;
    while (jack_ringbuffer_write_space(queue_) < kSlot) {
        if (Failed()) {
            return false;
        }
        if (std::chrono::steady_clock::now() > until) {
            stalled_ = QStringLiteral("The JACK server has taken no MIDI messages for %1 s.")
                           .arg(kFullQueueWaitMs / 1000);
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    jack_ringbuffer_write(queue_, slot, kSlot);
    return true;
}

QString JackMidiOutput::TakeFailure() {
    if (failureTaken_) {
        return {};
    }
    QString failure = port_.Failure();
    if (failure.isEmpty() && port_.IsOpen()) {
        failure = stalled_;
    }
    failureTaken_ = !failure.isEmpty();
    return failure;
}

// JACK's real-time thread: no locks, no allocation; the queue and atomics only.
int JackMidiOutput::Process(jack_nframes_t frames, void* self) {
    auto* out = static_cast<JackMidiOutput*>(self);
    void* buffer = jack_port_get_buffer(out->port_.Port(), frames);
    jack_midi_clear_buffer(buffer);
    // A new connection joins the server's graph some periods after it is made, and what a
    // period carries before that goes nowhere: it waits in the queue until then.
    if (jack_port_connected(out->port_.Port()) == 0) {
        out->periods_.fetch_add(1, std::memory_order_release);
        return 0;
    }
    // A message sent during the previous period lands one period after its stamp, at the
    // same offset; one that cannot (a later one of a burst, or one kept back) comes at the
    // earliest free place, and those after it as much later as it did.
    const jack_nframes_t periodStart = jack_last_frame_time(out->port_.Client());
    jack_nframes_t nextFree = 0;
    char slot[kSlot];
    while (jack_ringbuffer_peek(out->queue_, slot, kSlot) == kSlot) {
        const auto size = static_cast<size_t>(slot[0]);
        jack_nframes_t sentAt = 0;
        std::memcpy(&sentAt, slot + kStampAt, sizeof sentAt);
        // Frame times wrap around; the difference of two of them does not.
        const auto due = static_cast<int32_t>(sentAt + frames + out->lag_ - periodStart);
        if (due >= static_cast<int32_t>(frames)) {
            break; // sent during this period: it goes in the next one
        }
        const auto at = static_cast<jack_nframes_t>(std::max(due, static_cast<int32_t>(nextFree)));
        if (jack_midi_max_event_size(buffer) < size) {
            break;
        }
        jack_midi_data_t* event = jack_midi_event_reserve(buffer, at, size);
        if (event == nullptr) {
            break;
        }
        std::memcpy(event, slot + 1, size);
        jack_ringbuffer_read_advance(out->queue_, kSlot);
        out->lag_ += at - static_cast<jack_nframes_t>(due); // 0 when it went in its place
        nextFree = at;
    }
    if (jack_ringbuffer_read_space(out->queue_) < kSlot) {
        out->lag_ = 0;
    }
    out->periods_.fetch_add(1, std::memory_order_release);
    return 0;
}

} // namespace tq
