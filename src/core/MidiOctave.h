#pragma once

namespace tq {

// The program numbers MIDI notes from its own octaves: "C4" (262 Hz) is note 48, and note
// 60 is "C5". The octave offset moves that numbering by whole octaves for the MIDI
// windows: +1 gives General MIDI's, where "C4", middle C, is note 60. The same offset
// means the same thing going out and coming in.
constexpr int kMinOctaveOffset = -2;
constexpr int kMaxOctaveOffset = 2;

constexpr int ClampOctaveOffset(int offset) {
    return offset < kMinOctaveOffset   ? kMinOctaveOffset
           : offset > kMaxOctaveOffset ? kMaxOctaveOffset
                                       : offset;
}

// The note number sent for a note of the program's numbering (octave x 12 + note).
constexpr int MidiNoteOfProgramNote(int programNote, int offset) {
    return programNote + 12 * offset;
}

// The program's note for a MIDI note number that came in; below 0 it has no name.
constexpr int ProgramNoteOfMidiNote(int midiNote, int offset) {
    return midiNote - 12 * offset;
}

} // namespace tq
