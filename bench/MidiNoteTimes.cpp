// Prints the time of every Note On (velocity above 0) of a MIDI file as the file window
// decodes it, one "ms channel note" line each, in the window's play order. For checking
// the decoding against an independent reader (scripts/compare-midi-times.py).
#include "core/FileGate.h"
#include "midifile/SmfReader.h"
#include "midiin/MidiFileDecoder.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: midi_note_times FILE.mid\n", stderr);
        return 2;
    }
    const tq::InputFile file = tq::ReadWhole(tq::PathFromBytes(argv[1]), tq::kMaxMidiFileBytes);
    tq::SmfReader reader;
    QString why = file.why;
    if (!file.ok || !reader.Parse(file.bytes, &why)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(why));
        return 3;
    }
    const tq::DecodedMidiFile song = tq::DecodeMidiFile(reader, {}, {});
    for (int k = 0; k < song.TotalEvents(); ++k) {
        const auto& b = song.bytes[static_cast<size_t>(k)];
        if ((b[2] & 0xF0) == 0x90 && b[1] > 0) {
            std::printf("%.0f %d %d\n", song.times[static_cast<size_t>(k)], b[2] & 0x0F, b[0]);
        }
    }
    return 0;
}
