#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tq {

// The program's side of one MIDI output port: the ports there are, open one, send short
// messages to it. Ports of every MIDI system the machine has are listed together.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // The output ports there are now, each as the user should see it ("ALSA: ...",
    // "JACK: ..."); the first is the system's default port.
    virtual QStringList PortNames() = 0;
    // Opens a port by its index in the last PortNames(); -1 opens the default port (the
    // first). False, with the reason, when it cannot be opened.
    virtual bool Open(int port, QString* why) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    // Sends one short message: the status byte and as many data bytes as its kind has
    // (two, or one for program change and channel pressure). Every message sent arrives,
    // in order, however many are sent at once. False when it could not be sent (no port
    // open, or the port has gone).
    virtual bool SendShortMessage(uint8_t status, uint8_t data1, uint8_t data2) = 0;
    // Why the open port stopped working (its server or client went away), once; empty
    // when it works or the failure was already taken.
    virtual QString TakeFailure() = 0;
};

} // namespace tq
