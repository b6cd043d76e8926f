#pragma once

#include <QByteArray>

#include <cstdint>

namespace tq {

// Writes a standard MIDI file of format 1, track after track. Each track's events are
// given in time order with their absolute tick; the writer turns them into delta times.
class SmfWriter {
public:
    explicit SmfWriter(int ticksPerQuarterNote);

    void BeginTrack();
    void Tempo(int64_t tick, uint32_t usPerQuarterNote);
    // Beats per bar, with the quarter note as the beat.
    void TimeSignature(int64_t tick, int beatsPerBar);
    // A two-data-byte channel message (note on, note off).
    void Channel(int64_t tick, uint8_t status, uint8_t data1, uint8_t data2);
    // End of Track; closes the track.
    void EndTrack(int64_t tick);

    // The header and every closed track.
    QByteArray Bytes() const;

private:
    void Delta(int64_t tick);
    void Meta(int64_t tick, uint8_t type, const QByteArray& data);

    int ticksPerQuarterNote_;
    int tracks_ = 0;
    QByteArray body_;
    qsizetype trackStart_ = 0;
    int64_t lastTick_ = 0;
};

} // namespace tq
