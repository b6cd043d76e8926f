#pragma once

#include "platform/MidiInput.h"

#include <semaphore.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace tq {

// Where a MIDI system's thread leaves the messages that arrive, and how the thread that made
// the queue hears of them. Arrive and Wake are for the MIDI system's one thread at a time:
// no locks, no allocation, atomics only. Everything else is for the making thread.
class MidiInQueue {
public:
    static constexpr size_t kCapacity = 4096;

    MidiInQueue();
    ~MidiInQueue();
    MidiInQueue(const MidiInQueue&) = delete;
    MidiInQueue& operator=(const MidiInQueue&) = delete;

    // Queues a short message (a status byte and its data bytes, nothing else) while started
    // and not filtered, and wakes the making thread; anything else is let go.
    void Arrive(const uint8_t* bytes, size_t size);
    // Has the handler called soon, once for any number of wakes before it runs.
    void Wake();

    void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
    void SetStarted(bool started) { started_.store(started, std::memory_order_release); }
    void SetFiltered(uint8_t status, bool filtered);
    bool Take(MidiMessage* message);
    // Drops what waits, and the count of what was dropped.
    void Clear();
    // How many messages found the queue full since the last call.
    uint64_t TakeDropped() { return dropped_.exchange(0); }

private:
    bool Filtered(uint8_t status) const;
    void Relay();
    void Deliver();

    std::array<MidiMessage, kCapacity> slots_{};
    alignas(64) std::atomic<size_t> written_{0}; // advanced by the MIDI system's thread
    alignas(64) std::atomic<size_t> read_{0};    // advanced by the making thread
    std::atomic<bool> started_{false};
    std::array<std::atomic<uint64_t>, 2> filtered_{}; // a bit for each status byte 128-255
    std::atomic<uint64_t> dropped_{0};

    // Posting a Qt event takes a lock and allocates, which JACK's real-time thread must not:
    // it posts a semaphore, and a thread of our own makes the queued call.
    std::atomic<bool> wakePending_{false};
    std::atomic<bool> quit_{false};
    sem_t wake_{};
    std::unique_ptr<QObject> receiver_; // lives in the making thread
    std::function<void()> handler_;
    std::thread relay_;
};

} // namespace tq
