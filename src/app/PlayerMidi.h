#pragma once

#include "midiin/MIDIFileForm.h"
#include "midiin/MIDIInForm.h"
#include "midiout/MIDIOutForm.h"
#include "platform/Components.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tq {

class Clock;
class FileDialogs;
class LogSink;
class MainForm;
class MidiFileReader;
class MidiInput;
class NamedTimers;
class MessageBoxes;
class MidiOutput;
struct OutputSwitches;
struct PlayerState;

// How many ports there are, for the message about a port that is not among them: "there is
// 1 port; --list-midi shows it".
QString PortCount(const QStringList& names);

// MIDI output for the headless player: the MIDI ports component loaded from beside the
// player, driven through the same MIDIOutForm logic as the window's.
class PlayerMidiOut {
public:
    PlayerMidiOut(LogSink& log, MessageBoxes& boxes, PlayerState& state, OutputSwitches& switches);
    ~PlayerMidiOut();

    // Loads the component; false with the reason when it cannot be had.
    bool Load(QString* why);
    QStringList PortNames();
    // The MIDI input ports, as --midi-in takes them.
    QStringList InputPortNames();
    // The port a user means by text: its index as PortNames() lists it, or else the first
    // port whose name contains the text, ignoring case; -1 when none is.
    static int FindPort(const QStringList& names, const QString& wanted);
    // Switches MIDI output on as the window's box does, then chooses the port (by its name
    // in PortNames()), the channel (1 to 16), the instrument (1 to 128) and the octave
    // offset.
    void Start(const QString& port, int channel, int instrument, int octaveOffset);
    MIDIOutForm& Form() { return form_; }

private:
    bool shuttingDown_ = false;
    MIDIOutForm form_;
    std::unique_ptr<LoadedComponent> component_;
    std::unique_ptr<MidiOutput> output_;
};

// The cycling player's two sources for the headless player: live MIDI input and MIDI
// files, through the same window logic as the program's, their components loaded from
// beside the player.
class PlayerHeldNotes {
public:
    PlayerHeldNotes(MainForm& form, NamedTimers& timers, Clock& clock, FileDialogs& dialogs);
    ~PlayerHeldNotes();

    // Loads the component a source needs; false with the reason when it cannot be had.
    bool LoadMidiIo(QString* why);
    bool LoadMidiFile(QString* why);
    QStringList InputPortNames();
    // Switches live input on as the window's box does and listens to this port (by its name
    // in InputPortNames()).
    void StartInput(const QString& port);
    // Switches MIDI file playback on as the window's box does.
    void StartFile();
    MIDIInForm& In() { return in_; }
    MIDIFileForm& File() { return file_; }

private:
    MIDIInForm in_;
    MIDIFileForm file_;
    std::unique_ptr<LoadedComponent> midiIo_;
    std::unique_ptr<MidiInput> input_;
    std::unique_ptr<LoadedComponent> midiFile_;
    std::unique_ptr<MidiFileReader> reader_;
};

} // namespace tq
