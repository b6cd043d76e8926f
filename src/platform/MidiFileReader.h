#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace tq {

// One event of a track as the MIDI file window reads it.
struct MidiFileEvent {
    uint32_t deltaTicks = 0;
    // Microseconds per quarter note set by the latest Set Tempo event of this track at or
    // before this event (this one included); 0 while the track has set none.
    uint32_t tempo = 0;
    // Channel messages: the status (running status resolved) and their data bytes. Meta
    // and system-exclusive events, and positions outside the track, read as status 0
    // with data 0, so they are never taken for notes.
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

// A standard MIDI file, parsed whole from its bytes.
class MidiFileReader {
public:
    virtual ~MidiFileReader() = default;
    // False, with the reason, when the bytes are not a standard MIDI file this reader can
    // play (a time division of 0 included). What was parsed before is then gone.
    virtual bool Parse(const QByteArray& bytes, QString* why) = 0;
    virtual int TrackCount() const = 0;
    // Metrical time: ticks per quarter note (above 0). SMPTE time: 0, and
    // SmpteMillisecondsPerTick() gives the real length of a tick.
    virtual int TicksPerQuarterNote() const = 0;
    virtual double SmpteMillisecondsPerTick() const = 0;
    // Tracks are counted from 1, events from 1 to EventCount(track); any other track or
    // position gives an empty event (all zero).
    virtual int EventCount(int track) const = 0;
    virtual MidiFileEvent Event(int track, int index) const = 0;
};

} // namespace tq
