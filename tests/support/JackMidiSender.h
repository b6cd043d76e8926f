#pragma once

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <string>

namespace tq {

// A JACK client with one MIDI output that sends the messages it is given from the next
// period on, as many as fit in each, and tells when it wrote them.
class JackMidiSender {
public:
    ~JackMidiSender();
    bool Open(const char* clientName, std::string* why);
    void Close();
    // The full name of its output port ("client:midi_out").
    std::string PortName() const;

    // Each message is its bytes (at most three). All of them wait for the same period.
    void Send(const QList<QByteArray>& messages);
    size_t Written() const { return written_.load(std::memory_order_acquire); }
    // On the steady clock, taken in the period the last message was written into.
    std::chrono::steady_clock::time_point LastWritten() const;

private:
    static int Process(jack_nframes_t frames, void* self);

    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_ringbuffer_t* messages_ = nullptr;
    std::atomic<bool> serverGone_{false};
    std::atomic<size_t> written_{0};
    std::atomic<int64_t> lastWrittenNs_{0};
};

} // namespace tq
