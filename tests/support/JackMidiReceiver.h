#pragma once

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <string>

namespace tq {

// A JACK client with one MIDI input that keeps every message it receives, in order, and
// when the last of them arrived.
class JackMidiReceiver {
public:
    ~JackMidiReceiver();
    bool Open(const char* clientName, std::string* why);
    void Close();
    // The full name of its input port ("client:midi_in").
    std::string PortName() const;

    // Waits until count more messages than were taken so far have arrived (up to timeout)
    // and takes every message not taken yet, each as its bytes.
    QList<QByteArray> Take(size_t count, std::chrono::milliseconds timeout);
    // The frame time each message of the last Take was written at.
    const QList<uint32_t>& TakenFrames() const { return takenFrames_; }
    size_t Received() const { return received_.load(std::memory_order_acquire); }
    // On the steady clock, taken in the period the message arrived.
    std::chrono::steady_clock::time_point LastArrival() const;

private:
    static int Process(jack_nframes_t frames, void* self);

    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_ringbuffer_t* messages_ = nullptr;
    size_t taken_ = 0;
    QList<uint32_t> takenFrames_;
    std::atomic<bool> serverGone_{false};
    std::atomic<size_t> received_{0};
    std::atomic<int64_t> lastArrivalNs_{0};
};

} // namespace tq
