#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace tq {

class MidiFileReader;

// A MIDI file as the file window plays it: every position of every track in one list,
// ordered by time.
struct DecodedMidiFile {
    std::vector<double> times;                 // ms from the start, non-decreasing
    std::vector<std::array<uint8_t, 3>> bytes; // note (data 1), velocity (data 2), status
    int32_t songLength = 0;                    // the largest time of any position, ms

    int32_t TotalEvents() const { return static_cast<int32_t>(times.size()); }
};

// Decodes what the reader has parsed. progress gets the texts the window shows while it
// works ("Decoding events... 40%"); clockMs is the millisecond tick count that keeps the
// percentages to one every 50 ms.
DecodedMidiFile DecodeMidiFile(const MidiFileReader& reader,
                               const std::function<void(const QString&)>& progress,
                               const std::function<uint32_t()>& clockMs);

} // namespace tq
