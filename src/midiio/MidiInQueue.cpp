#include "midiio/MidiInQueue.h"

#include "midiio/SystemMidiOutput.h"

#include <QMetaObject>
#include <QObject>

#include <cerrno>

namespace tq {

static_assert((MidiInQueue::kCapacity & (MidiInQueue::kCapacity - 1)) == 0);

MidiInQueue::MidiInQueue() : receiver_(std::make_unique<QObject>()) {
    sem_init(&wake_, 0, 0);
    relay_ = std::thread([this] { Relay(); });
}

MidiInQueue::~MidiInQueue() {
    // The relay must be done with the receiver before it goes; its destruction then drops a
    // call still waiting in the event queue.
    quit_.store(true);
    sem_post(&wake_);
    relay_.join();
    receiver_.reset();
    sem_destroy(&wake_);
}

bool MidiInQueue::Filtered(uint8_t status) const {
    const unsigned bit = status - 0x80u;
    return (filtered_[bit / 64].load(std::memory_order_relaxed) >> (bit % 64) & 1) != 0;
}

void MidiInQueue::SetFiltered(uint8_t status, bool filtered) {
    if (status < 0x80) {
        return;
    }
    const unsigned bit = status - 0x80u;
    const uint64_t mask = uint64_t{1} << (bit % 64);
    if (filtered) {
        filtered_[bit / 64].fetch_or(mask);
    } else {
        filtered_[bit / 64].fetch_and(~mask);
    }
}

void MidiInQueue::Arrive(const uint8_t* bytes, size_t size) {
    if (size == 0 || !started_.load(std::memory_order_acquire)) {
        return;
    }
    const uint8_t status = bytes[0];
    if (SystemMidiOutput::ShortMessageSize(status) != size || Filtered(status)) {
        return;
    }
    MidiMessage message{status, 0, 0};
    if (size > 1) {
        message.data1 = bytes[1];
    }
    if (size > 2) {
        message.data2 = bytes[2];
    }
    if (message.data1 > 0x7F || message.data2 > 0x7F) {
        return;
    }
    const size_t written = written_.load(std::memory_order_relaxed);
    if (written - read_.load(std::memory_order_acquire) == kCapacity) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
    } else {
        slots_[written % kCapacity] = message;
        written_.store(written + 1, std::memory_order_release);
    }
    Wake();
}

void MidiInQueue::Wake() {
    if (!wakePending_.exchange(true)) {
        sem_post(&wake_);
    }
}

bool MidiInQueue::Take(MidiMessage* message) {
    const size_t read = read_.load(std::memory_order_relaxed);
    if (read == written_.load(std::memory_order_acquire)) {
        return false;
    }
    *message = slots_[read % kCapacity];
    read_.store(read + 1, std::memory_order_release);
    return true;
}

void MidiInQueue::Clear() {
    read_.store(written_.load(std::memory_order_acquire), std::memory_order_release);
    dropped_.store(0);
}

void MidiInQueue::Relay() {
    while (true) {
        while (sem_wait(&wake_) != 0 && errno == EINTR) {
        }
        if (quit_.load()) {
            return;
        }
        QMetaObject::invokeMethod(
            receiver_.get(), [this] { Deliver(); }, Qt::QueuedConnection);
    }
}

void MidiInQueue::Deliver() {
    // Cleared first, so what arrives while the handler runs calls it again. An exchange, so
    // that what came before a wake this one stands for is seen by the handler.
    wakePending_.exchange(false);
    if (handler_) {
        handler_();
    }
}

} // namespace tq
