#include "interchange/MidiExport.h"

#include "core/MusicLine.h"
#include "core/NoteFrequencies.h"
#include "core/NoteLengths.h"
#include "interchange/SmfWriter.h"
#include "midiout/MIDIOutForm.h"
#include "platform/MessageBoxes.h"
#include "songfile/SongTarget.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tq {

namespace {

constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kNoteOff = 0x80;

// The MIDI note number the program's MIDI output sends for a note string; -1 when the
// string does not name a note.
int MidiNoteOf(const QString& note) {
    SilentMessageBoxes quiet;
    const int noteNum = LetterToNoteNum(note, quiet);
    if (noteNum < 0) {
        return -1;
    }
    const int midi = MIDIOutForm::MIDINoteNumber(noteNum, OctaveOfNoteString(note));
    return midi <= 127 ? midi : -1;
}

} // namespace

int64_t LineTicks(const MusicLine& line) {
    return std::llround(EquivalentLengthOf(line.Length, line.Mod) * 4 * kExportTicksPerQuarter);
}

MidiExport ExportMidi(const SongTarget& song) {
    MidiExport result;
    std::vector<MusicLine> lines;
    std::vector<int64_t> starts{0};
    lines.reserve(static_cast<size_t>(std::max(song.LineCount(), 0)));
    for (int32_t i = 1; i <= song.LineCount(); ++i) {
        lines.push_back(song.Line(i));
        starts.push_back(starts.back() + LineTicks(lines.back()));
    }
    const int64_t end = starts.back();

    SmfWriter smf(kExportTicksPerQuarter);
    smf.BeginTrack();
    smf.Tempo(0, static_cast<uint32_t>(std::lround(60'000'000.0 / std::max(song.BPM(), 1))));
    smf.TimeSignature(0, song.TimeSig());
    smf.EndTrack(end);

    const auto channel = static_cast<uint8_t>(MIDIOutForm::kDefaultChannel);
    const int ratio = song.NoteSilenceRatio();
    for (QString MusicLine::*voice : {&MusicLine::Note1, &MusicLine::Note2}) {
        smf.BeginTrack();
        for (size_t i = 0; i < lines.size(); ++i) {
            const QString& note = lines[i].*voice;
            const int64_t length = starts[i + 1] - starts[i];
            if (note.isEmpty() || length <= 0) {
                continue;
            }
            const int midi = MidiNoteOf(note);
            if (midi < 0) {
                ++result.unreadableNotes;
                continue;
            }
            // As the sequencer sounds it: the ratio's share of the line, at least a tick.
            const int64_t sounding =
                std::clamp<int64_t>(std::llround(length * ratio / 100.0), 1, length);
            const auto key = static_cast<uint8_t>(midi);
            smf.Channel(starts[i], kNoteOn | channel, key, MIDIOutForm::kNoteOnVelocity);
            smf.Channel(starts[i] + sounding, kNoteOff | channel, key, 0);
        }
        smf.EndTrack(end);
    }
    result.bytes = smf.Bytes();
    return result;
}

} // namespace tq
