#include "interchange/SmfWriter.h"

#include <algorithm>

namespace tq {

namespace {

void BigEndian(QByteArray& out, uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

// A variable-length number holds 28 bits; later ticks are held at its largest value.
void VarLen(QByteArray& out, uint32_t value) {
    value = std::min<uint32_t>(value, 0x0FFFFFFF);
    char bytes[4];
    int count = 0;
    do {
        bytes[count++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out += static_cast<char>(bytes[--count] | 0x80);
    }
    out += bytes[0];
}

} // namespace

SmfWriter::SmfWriter(int ticksPerQuarterNote) : ticksPerQuarterNote_(ticksPerQuarterNote) {}

void SmfWriter::BeginTrack() {
    body_ += "MTrk";
    trackStart_ = body_.size();
    BigEndian(body_, 0, 4); // the length, filled in by EndTrack
    lastTick_ = 0;
}

void SmfWriter::Delta(int64_t tick) {
    const int64_t delta = std::max<int64_t>(tick - lastTick_, 0);
    VarLen(body_, static_cast<uint32_t>(std::min<int64_t>(delta, 0x0FFFFFFF)));
    lastTick_ = std::max(lastTick_, tick);
}

void SmfWriter::Meta(int64_t tick, uint8_t type, const QByteArray& data) {
    Delta(tick);
    body_ += static_cast<char>(0xFF);
    body_ += static_cast<char>(type);
    VarLen(body_, static_cast<uint32_t>(data.size()));
    body_ += data;
}

void SmfWriter::Tempo(int64_t tick, uint32_t usPerQuarterNote) {
    QByteArray data;
    BigEndian(data, std::min<uint32_t>(usPerQuarterNote, 0xFFFFFF), 3);
    Meta(tick, 0x51, data);
}

void SmfWriter::TimeSignature(int64_t tick, int beatsPerBar) {
    // Numerator, denominator as a power of two (a quarter), clocks per click, 32nds per beat.
    const char data[4] = {static_cast<char>(std::clamp(beatsPerBar, 1, 255)), 2, 24, 8};
    Meta(tick, 0x58, QByteArray(data, 4));
}

void SmfWriter::Channel(int64_t tick, uint8_t status, uint8_t data1, uint8_t data2) {
    Delta(tick);
    body_ += static_cast<char>(status);
    body_ += static_cast<char>(data1 & 0x7F);
    body_ += static_cast<char>(data2 & 0x7F);
}

void SmfWriter::EndTrack(int64_t tick) {
    Meta(tick, 0x2F, {});
    QByteArray length;
    BigEndian(length, static_cast<uint32_t>(body_.size() - trackStart_ - 4), 4);
    body_.replace(trackStart_, 4, length);
    ++tracks_;
}

QByteArray SmfWriter::Bytes() const {
    QByteArray out("MThd");
    BigEndian(out, 6, 4);
    BigEndian(out, 1, 2); // format 1: tracks played together
    BigEndian(out, static_cast<uint32_t>(tracks_), 2);
    BigEndian(out, static_cast<uint32_t>(ticksPerQuarterNote_), 2);
    return out + body_;
}

} // namespace tq
