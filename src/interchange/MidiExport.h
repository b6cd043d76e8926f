#pragma once

#include <QByteArray>

#include <cstdint>

namespace tq {

class SongTarget;
struct MusicLine;

// Ticks per quarter note of an exported file: every length, dotted or triplet, is a whole
// number of ticks.
constexpr int kExportTicksPerQuarter = 480;

// A line's length in ticks at kExportTicksPerQuarter (0 for a length name the program
// does not know).
int64_t LineTicks(const MusicLine& line);

struct MidiExport {
    QByteArray bytes;
    int unreadableNotes = 0; // note cells whose name is not a note; left out
};

// The song as a standard MIDI file of format 1: a tempo track (tempo and time signature),
// then one track for Note 1 and one for Note 2. Each note sounds from the start of its
// line for the note/silence ratio of the line's length, with the note number and velocity
// of the program's MIDI output, on its first channel; silence sends nothing. Every track
// ends where the song's last line ends.
MidiExport ExportMidi(const SongTarget& song);

} // namespace tq
