#pragma once

#include "core/MusicLine.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace tq {

class SongTarget;

// What the import made of a standard MIDI file.
struct MidiImport {
    bool read = false; // false: the reader refused the file, for the reason in why
    QString why;
    std::vector<MusicLine> lines;
    int32_t bpm = 120;
    // In whole percent: what the notes' sounding times show (see ImportMidi).
    int noteSilenceRatio = 100;
    // Beats per bar: the file's first time signature when the program offers it, otherwise
    // a new song's.
    int32_t timeSig = 4;
    // What was dropped, rounded or flattened, in a sentence or two.
    QString summary;
};

// Reads a standard MIDI file into music-list lines. Each line lasts from one onset to the
// next (the last to the end of its track), rounded to the nearest length the program has,
// dotted and triplet ones included; a silence the notes leave before the next onset,
// beyond what the file's note/silence ratio explains, becomes silent lines. A file as
// ExportMidi writes it (format 1, a track without notes, then two tracks of one note at a
// time) gives Note 1 from its first note track and Note 2 from its second; any other file
// keeps the two highest notes sounding at each onset, with channel 10's drums left out.
// The song's note/silence ratio is the one the lines were measured with. The first tempo
// becomes the BPM; beats are counted in the file's ticks, so later tempo
// changes move nothing. Note numbers are named as the MIDI input names them.
MidiImport ImportMidi(const QByteArray& bytes);

// Puts the import into a song as the reader puts a song file's settings and list there: the
// BPM, the note/silence ratio and the time signature, then the lines in place of the whole
// list.
void ApplyImport(const MidiImport& import, SongTarget& target);

} // namespace tq
