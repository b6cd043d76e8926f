#pragma once

// Standard MIDI files put together byte by byte, for the reader's tests and benchmarks.
#include <QByteArray>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tq::smf {

inline QByteArray BigEndian(uint32_t value, int count) {
    QByteArray out;
    for (int i = count - 1; i >= 0; --i) {
        out += static_cast<char>(value >> (8 * i));
    }
    return out;
}

inline QByteArray VarLen(uint32_t value) {
    QByteArray out(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) {
        out.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    }
    return out;
}

// An event: its delta time, then its bytes as they stand in the file.
inline QByteArray Ev(uint32_t delta, std::initializer_list<int> bytes) {
    QByteArray out = VarLen(delta);
    for (int b : bytes) {
        out += static_cast<char>(b);
    }
    return out;
}

inline QByteArray Tempo(uint32_t delta, uint32_t usPerQuarter) {
    return Ev(delta, {0xFF, 0x51, 0x03}) + BigEndian(usPerQuarter, 3);
}

// Beats per bar over a quarter note.
inline QByteArray TimeSignature(uint32_t delta, int beatsPerBar) {
    return Ev(delta, {0xFF, 0x58, 0x04, beatsPerBar, 2, 24, 8});
}

inline QByteArray EndOfTrack(uint32_t delta = 0) {
    return Ev(delta, {0xFF, 0x2F, 0x00});
}

inline QByteArray Chunk(const char* type, const QByteArray& data) {
    return QByteArray(type, 4) + BigEndian(static_cast<uint32_t>(data.size()), 4) + data;
}

// A whole file; division as the header holds it (0xE7xx for SMPTE at 25 frames).
inline QByteArray File(int format, int division, const std::vector<QByteArray>& tracks) {
    QByteArray out =
        Chunk("MThd", BigEndian(format, 2) + BigEndian(tracks.size(), 2) + BigEndian(division, 2));
    for (const QByteArray& track : tracks) {
        out += Chunk("MTrk", track);
    }
    return out;
}

} // namespace tq::smf
