#pragma once

#include "midiout/MIDIOutForm.h"
#include "platform/Components.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tq {

class LogSink;
class MessageBoxes;
class MidiOutput;
struct OutputSwitches;
struct PlayerState;

// MIDI output for the headless player: the MIDI ports component loaded from beside the
// player, driven through the same MIDIOutForm logic as the window's.
class PlayerMidiOut {
public:
    PlayerMidiOut(LogSink& log, MessageBoxes& boxes, PlayerState& state, OutputSwitches& switches);
    ~PlayerMidiOut();

    // Loads the component; false with the reason when it cannot be had.
    bool Load(QString* why);
    QStringList PortNames();
    // The port a user means by text: its index as PortNames() lists it, or else the first
    // port whose name contains the text, ignoring case; -1 when none is.
    static int FindPort(const QStringList& names, const QString& wanted);
    // Switches MIDI output on as the window's box does, then chooses the port (an index
    // into PortNames()), the channel (1 to 16) and the instrument (1 to 128).
    void Start(int port, int channel, int instrument);
    MIDIOutForm& Form() { return form_; }

private:
    bool shuttingDown_ = false;
    MIDIOutForm form_;
    std::unique_ptr<LoadedComponent> component_;
    std::unique_ptr<MidiOutput> output_;
};

} // namespace tq
