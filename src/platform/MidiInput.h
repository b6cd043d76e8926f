#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace tq {

struct MidiMessage {
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0; // 0 for messages with one data byte
};

// The program's side of one MIDI input port. Messages arrive on the MIDI system's own
// thread and wait in a lock-free queue; the program is told on its own thread.
class MidiInput {
public:
    virtual ~MidiInput() = default;
    // The input ports (sources) there are now, as the user should see them ("JACK: ...",
    // "ALSA: ...").
    virtual QStringList PortNames() = 0;
    // Opens a port by its index in the last PortNames(). False, with the reason, when it
    // cannot be opened. Nothing is queued until Start.
    virtual bool Open(int port, QString* why) = 0;
    virtual bool IsOpen() const = 0;
    // Start and stop queuing what arrives; Close stops, drops the queue and closes.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    // Messages of this status byte (such as 254, Active Sensing) are dropped on arrival.
    virtual void SetFiltered(uint8_t status, bool filtered) = 0;
    // Called on the thread that created this input (it must run a Qt event loop) when
    // messages are waiting; one call may stand for many messages.
    virtual void SetMessagesWaiting(std::function<void()> handler) = 0;
    // Takes the oldest waiting message; false when none waits.
    virtual bool TakeMessage(MidiMessage* message) = 0;
    // Why the open port stopped working, once; empty otherwise.
    virtual QString TakeFailure() = 0;
};

} // namespace tq
