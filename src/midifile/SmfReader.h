#pragma once

#include "platform/MidiFileReader.h"

#include <vector>

namespace tq {

// Standard MIDI files (formats 0, 1 and 2), parsed whole from their bytes.
//
// On bad input: a file that ends, at a chunk boundary, before all the tracks its header
// declares is played with the tracks it has (writers that miscount exist; the declared
// count never sizes anything). Reading stops once the declared tracks are found, so
// whatever follows the last of them is ignored. A chunk, event or number that runs past
// the end of its chunk or of the file is refused, as are a header without tracks, a file
// without an MTrk chunk and a time division of 0.
// Whether a file's first 12 bytes begin a standard MIDI file, bare ("MThd") or wrapped in
// a RIFF MIDI file ("RIFF", its size, "RMID").
bool LooksLikeMidiFile(const QByteArray& start);

class SmfReader final : public MidiFileReader {
public:
    bool Parse(const QByteArray& bytes, QString* why) override;
    int TrackCount() const override { return static_cast<int>(tracks_.size()); }
    int TicksPerQuarterNote() const override { return ticksPerQuarterNote_; }
    double SmpteMillisecondsPerTick() const override { return smpteMsPerTick_; }
    int EventCount(int track) const override;
    MidiFileEvent Event(int track, int index) const override;

    int Format() const { return format_; }
    // The beats per bar (numerator) of the first Time Signature event in the file's order,
    // 0 when there is none.
    int FirstTimeSignature() const { return firstTimeSignature_; }

private:
    std::vector<std::vector<MidiFileEvent>> tracks_;
    int format_ = 0;
    int ticksPerQuarterNote_ = 0;
    double smpteMsPerTick_ = 0;
    int firstTimeSignature_ = 0;
};

} // namespace tq
