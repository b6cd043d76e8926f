#pragma once

#include "midiio/MidiPortSystem.h"

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <cstdint>

namespace tq {

// MIDI out to a JACK port, written on libjack itself. Messages wait in a large lock-free
// queue and each period takes as many as fit into its MIDI buffer, so a burst of thousands
// arrives whole and in order, spread over the next periods. Never starts a server.
class JackMidiOutput final : public MidiPortSystem {
public:
    explicit JackMidiOutput(const QString& clientName);
    ~JackMidiOutput() override;
    JackMidiOutput(const JackMidiOutput&) = delete;
    JackMidiOutput& operator=(const JackMidiOutput&) = delete;

    // The MIDI inputs of every client: the places a message can go.
    QStringList Ports() override;
    bool Open(const QString& port, QString* why) override;
    void Close() override;
    // Waits while the queue is full, up to kFullQueueWaitMs, rather than drop a message.
    bool Send(const uint8_t* bytes, size_t size) override;
    QString TakeFailure() override;

    static constexpr size_t kQueueBytes = 1 << 18;
    static constexpr int kFullQueueWaitMs = 2000;

private:
    static int Process(jack_nframes_t frames, void* self);
    static void Shutdown(jack_status_t code, const char* reason, void* self);
    static void PortConnect(jack_port_id_t a, jack_port_id_t b, int connect, void* self);
    bool Start(QString* why);
    void Stop();
    void Drain();
    bool Failed();
    bool DestinationLost();

    QByteArray clientName_;
    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_ringbuffer_t* queue_ = nullptr;
    QString destinationName_;

    // Shared with JACK's threads.
    std::atomic<jack_port_t*> destination_{nullptr};
    std::atomic<bool> serverGone_{false}; // this client is shut down, whatever the cause
    std::atomic<bool> serverDied_{false};
    std::atomic<bool> destinationGone_{false};
    std::atomic<uint64_t> periods_{0};
    char shutdownReason_[256] = {};

    bool destinationLost_ = false;
    QString stalled_;
    bool failureTaken_ = false;
};

} // namespace tq
