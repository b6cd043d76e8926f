#pragma once

#include "midiio/JackMidiPort.h"
#include "midiio/MidiPortSystem.h"

#include <jack/ringbuffer.h>

#include <atomic>
#include <cstdint>

namespace tq {

// MIDI out to a JACK port, written on libjack itself. Messages wait in a large lock-free
// queue, each stamped with the server's frame clock when it was sent, and go out one period
// later at the same place in their period: the spacing of messages at the port is the
// spacing they were sent with, at a fixed latency of one period. Each period takes as many
// as fit into its MIDI buffer, so a burst of thousands arrives whole and in order, spread
// over the next periods. Never starts a server.
class JackMidiOutput final : public MidiPortSystem {
public:
    explicit JackMidiOutput(const QString& clientName);
    ~JackMidiOutput() override;
    JackMidiOutput(const JackMidiOutput&) = delete;
    JackMidiOutput& operator=(const JackMidiOutput&) = delete;

    // The MIDI inputs of other clients: the places a message can go.
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
    void Drain();
    bool Failed();

    JackMidiPort port_;
    jack_ringbuffer_t* queue_ = nullptr;
    std::atomic<uint64_t> periods_{0}; // counted on JACK's thread
    // JACK's thread only: how many frames the messages now queued come later than their
    // stamps say, because earlier ones could not go in their own period (a burst, or the
    // periods before a new connection takes effect). Kept while the queue holds messages,
    // so a late run keeps its spacing; forgotten once it is empty.
    jack_nframes_t lag_ = 0;

    QString stalled_;
    bool failureTaken_ = false;
};

} // namespace tq
