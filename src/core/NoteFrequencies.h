#pragma once

#include <QString>

#include <cstdint>

namespace tq {

class MessageBoxes;

// The note number (0 = C .. 11 = B) of a note string's name; the octave digit and
// anything else after the name are ignored. An unrecognised name is reported in a
// message box and gives -1.
int16_t LetterToNoteNum(const QString& letterAndOctave, MessageBoxes& boxes);

// The frequency in hertz of a note number in an octave: the octave-7 table halved or
// doubled per octave, so A4 is 440. Whole for octave 7 and up; a note number outside
// 0..11 gives 0.
double NoteNumToFrequency(int noteNum, double octave);

// "C" .. "B" for 0..11, "-" for -1, "" otherwise.
QString NoteNumToLetter(int noteNum);

// Name and octave joined ("C#4"). Without keepOctave the octave is folded into the
// motor's range C1..F3 after subtracting the motor octave setting.
QString NoteNumToNoteString(int noteNum, int octave, bool keepOctave, int motorOctave = 2);

// The octave of a note string: the number its last characters make ("C10" 10; 0 when it
// does not end in a digit), at most kMostOctave.
constexpr int kMostOctave = 1000;
int OctaveOfNoteString(const QString& noteString);

} // namespace tq
