#pragma once

#include <QString>

#include <cstdint>

namespace tq {

// The switches of the main window that decide where a tone goes.
struct OutputSwitches {
    bool UseMIDIOut = false;
    bool UseMotor = false;
    bool UseFMOD = false;
    bool MutePCSpeaker = false;
    bool UsePortamento = false;
    bool DoNotShutUpFMOD = false;
    // The motor octave setting that folds notes into the motor's range.
    int MotorOctave = 2;
};

// The outputs a tone can take besides the PC speaker. Each mod plugs its own in.

class MidiToneOutput {
public:
    virtual ~MidiToneOutput() = default;
    virtual int NoteToMIDI(int noteNum, int octave) = 0;
    virtual void MIDINoteOn(int midiNote) = 0;
    // channel -1 means the configured channel.
    virtual void MIDINoteOff(int midiNote, int channel) = 0;
};

class MotorToneOutput {
public:
    virtual ~MotorToneOutput() = default;
    // Drives the motor for the tone; returns when it is done.
    virtual void PlayMotorNote(const QString& motorNoteString, double durationMs) = 0;
};

class FmodToneOutput {
public:
    virtual ~FmodToneOutput() = default;
    // Sounds the tone on the soundcard; returns after the duration unless noWait, and
    // leaves it sounding when noStop.
    virtual void FMODBeep(int32_t frequency, double durationMs, bool noStop, bool noWait) = 0;
};

class PortamentoToneOutput {
public:
    virtual ~PortamentoToneOutput() = default;
    virtual void SetWantedPitch(int32_t frequency) = 0;
    // Starts the glide; returns at once.
    virtual void StartSound() = 0;
};

} // namespace tq
