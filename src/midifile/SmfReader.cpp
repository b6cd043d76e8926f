#include "midifile/SmfReader.h"

#include <climits>
#include <cstring>

namespace tq {

namespace {

// EventCount and the decoder's twenty extra positions must stay within an int.
constexpr size_t kMaxEventsPerTrack = INT_MAX - 100;

QString Hex(uint8_t byte) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QString AtByte(qsizetype pos) {
    return QStringLiteral(" at byte %1").arg(pos);
}

// The parse of one file. Positions are byte offsets from the start of the file, as the
// messages give them.
class SmfParser {
public:
    explicit SmfParser(const QByteArray& bytes)
        : data_(reinterpret_cast<const uint8_t*>(bytes.constData())), size_(bytes.size()) {}

    bool Header();
    bool Chunks();

    QString why;
    int format = 0;
    int declaredTracks = 0;
    int ticksPerQuarterNote = 0;
    double smpteMsPerTick = 0;
    int firstTimeSignature = 0;
    std::vector<std::vector<MidiFileEvent>> tracks;

private:
    bool Fail(const QString& text) {
        why = text;
        return false;
    }
    uint32_t Be(qsizetype pos, int count) const {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            value = value << 8 | data_[pos + i];
        }
        return value;
    }
    bool Division(uint16_t division);
    bool Track(qsizetype pos, qsizetype end, std::vector<MidiFileEvent>& events);
    bool Meta(qsizetype& pos, qsizetype end, uint32_t* tempo, bool* endOfTrack);
    bool VarLen(qsizetype& pos, qsizetype end, uint32_t* value);
    bool Skip(qsizetype& pos, qsizetype end, const char* what, uint32_t* length);
    bool ChannelData(qsizetype& pos, qsizetype end, uint8_t status, MidiFileEvent& event);

    const uint8_t* data_;
    qsizetype size_;
    qsizetype chunksStart_ = 0;
};

bool SmfParser::Header() {
    if (size_ == 0) {
        return Fail(QStringLiteral("the file is empty"));
    }
    if (size_ < 4 || std::memcmp(data_, "MThd", 4) != 0) {
        return Fail(QStringLiteral("not a standard MIDI file: it does not begin with MThd"));
    }
    if (size_ < 8) {
        return Fail(QStringLiteral("the header is cut short") + AtByte(4));
    }
    const uint32_t length = Be(4, 4);
    if (length < 6) {
        return Fail(QStringLiteral("header length %1 is shorter than 6").arg(length));
    }
    if (length > static_cast<uint64_t>(size_ - 8)) {
        return Fail(QStringLiteral("header length %1 runs past the end of the file").arg(length) +
                    AtByte(8));
    }
    format = static_cast<int>(Be(8, 2));
    if (format > 2) {
        return Fail(QStringLiteral("format %1 is not 0, 1 or 2").arg(format));
    }
    declaredTracks = static_cast<int>(Be(10, 2));
    if (declaredTracks == 0) {
        return Fail(QStringLiteral("the header declares no tracks: nothing to play"));
    }
    chunksStart_ = 8 + static_cast<qsizetype>(length);
    return Division(static_cast<uint16_t>(Be(12, 2)));
}

bool SmfParser::Division(uint16_t division) {
    if (division == 0) {
        return Fail(QStringLiteral("time division 0 gives no length to a tick"));
    }
    if ((division & 0x8000) == 0) {
        ticksPerQuarterNote = division;
        return true;
    }
    // SMPTE: the negative frame rate, then ticks per frame.
    const int fps = -static_cast<int8_t>(division >> 8);
    const int ticksPerFrame = division & 0xFF;
    if (fps != 24 && fps != 25 && fps != 29 && fps != 30) {
        return Fail(QStringLiteral("SMPTE frame rate %1 is not 24, 25, 29 or 30").arg(fps));
    }
    if (ticksPerFrame == 0) {
        return Fail(QStringLiteral("SMPTE time with 0 ticks per frame"));
    }
    const double rate = fps == 29 ? 29.97 : fps; // 29 stands for drop-frame 29.97
    smpteMsPerTick = 1000.0 / (rate * ticksPerFrame);
    return true;
}

bool SmfParser::Chunks() {
    qsizetype pos = chunksStart_;
    while (static_cast<int>(tracks.size()) < declaredTracks && size_ - pos >= 8) {
        const uint32_t length = Be(pos + 4, 4);
        const qsizetype start = pos + 8;
        if (length > static_cast<uint64_t>(size_ - start)) {
            return Fail(
                QStringLiteral("chunk length %1 runs past the end of the file").arg(length) +
                AtByte(start));
        }
        const qsizetype end = start + static_cast<qsizetype>(length);
        if (std::memcmp(data_ + pos, "MTrk", 4) == 0) {
            tracks.emplace_back();
            if (!Track(start, end, tracks.back())) {
                return false;
            }
        }
        pos = end;
    }
    if (tracks.empty()) {
        return Fail(QStringLiteral("no MTrk chunk: nothing to play"));
    }
    return true;
}

bool SmfParser::Track(qsizetype pos, qsizetype end, std::vector<MidiFileEvent>& events) {
    uint8_t running = 0;
    uint32_t tempo = 0;
    while (pos < end) {
        MidiFileEvent event;
        if (!VarLen(pos, end, &event.deltaTicks)) {
            return false;
        }
        if (pos == end) {
            return Fail(QStringLiteral("the track ends after a delta time") + AtByte(pos));
        }
        uint8_t status = data_[pos];
        if (status < 0x80) {
            if (running == 0) {
                return Fail(
                    QStringLiteral("data byte %1 with no status before it").arg(Hex(status)) +
                    AtByte(pos));
            }
            status = running;
        } else {
            ++pos;
        }
        bool endOfTrack = false;
        if (status == 0xFF) {
            if (!Meta(pos, end, &tempo, &endOfTrack)) {
                return false;
            }
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length = 0;
            if (!Skip(pos, end, "system-exclusive", &length)) {
                return false;
            }
        } else if (status > 0xF0) {
            return Fail(
                QStringLiteral("status byte %1 does not belong in a MIDI file").arg(Hex(status)) +
                AtByte(pos - 1));
        } else {
            if (!ChannelData(pos, end, status, event)) {
                return false;
            }
            // Meta and sysex events leave running status alone: the standard cancels it
            // there, but files that lean on it exist and a data byte means nothing else.
            running = status;
        }
        event.tempo = tempo;
        if (events.size() >= kMaxEventsPerTrack) {
            return Fail(QStringLiteral("a track has too many events to count"));
        }
        events.push_back(event);
        if (endOfTrack) {
            break; // what follows End of Track in its chunk is not played
        }
    }
    return true;
}

bool SmfParser::VarLen(qsizetype& pos, qsizetype end, uint32_t* value) {
    const qsizetype start = pos;
    *value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos == end) {
            return Fail(QStringLiteral("a variable-length number runs past the end of the track") +
                        AtByte(start));
        }
        const uint8_t byte = data_[pos++];
        *value = *value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return Fail(QStringLiteral("a variable-length number longer than 4 bytes") + AtByte(start));
}

bool SmfParser::Meta(qsizetype& pos, qsizetype end, uint32_t* tempo, bool* endOfTrack) {
    if (pos == end) {
        return Fail(QStringLiteral("a meta event is cut short") + AtByte(pos));
    }
    const uint8_t type = data_[pos++];
    uint32_t length = 0;
    if (!Skip(pos, end, "meta event", &length)) {
        return false;
    }
    if (type == 0x51 && length == 3) { // Set Tempo
        *tempo = Be(pos - 3, 3);
    }
    if (type == 0x58 && length >= 1 && firstTimeSignature == 0) { // Time Signature
        firstTimeSignature = data_[pos - length];
    }
    *endOfTrack = type == 0x2F;
    return true;
}

// A length followed by that many bytes; pos ends up after them.
bool SmfParser::Skip(qsizetype& pos, qsizetype end, const char* what, uint32_t* length) {
    if (!VarLen(pos, end, length)) {
        return false;
    }
    if (*length > static_cast<uint64_t>(end - pos)) {
        return Fail(QStringLiteral("%1 length %2 runs past the end of the track")
                        .arg(QLatin1String(what))
                        .arg(*length) +
                    AtByte(pos));
    }
    pos += static_cast<qsizetype>(*length);
    return true;
}

bool SmfParser::ChannelData(qsizetype& pos, qsizetype end, uint8_t status, MidiFileEvent& event) {
    const uint8_t kind = status & 0xF0;
    const int count = kind == 0xC0 || kind == 0xD0 ? 1 : 2; // program change, channel pressure
    if (end - pos < count) {
        return Fail(QStringLiteral("a channel message is cut short") + AtByte(pos));
    }
    for (int i = 0; i < count; ++i) {
        if (data_[pos + i] >= 0x80) {
            return Fail(QStringLiteral("status byte %1 where a data byte belongs")
                            .arg(Hex(data_[pos + i])) +
                        AtByte(pos + i));
        }
    }
    event.status = status;
    event.data1 = data_[pos];
    event.data2 = count == 2 ? data_[pos + 1] : 0;
    pos += count;
    return true;
}

} // namespace

namespace {

bool IsRiffMidi(const QByteArray& bytes) {
    return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "RMID";
}

// The standard MIDI file inside a RIFF MIDI file: its "data" chunk. RIFF sizes are
// little-endian and chunks are padded to an even length. Empty when there is none.
QByteArray RiffMidiData(const QByteArray& bytes) {
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData() + pos + 4);
        const qsizetype length = p[0] | p[1] << 8 | p[2] << 16 | qsizetype{p[3]} << 24;
        if (bytes.mid(pos, 4) == "data") {
            return bytes.mid(pos + 8, std::min(length, bytes.size() - pos - 8));
        }
        pos += 8 + length + (length & 1);
    }
    return {};
}

} // namespace

bool LooksLikeMidiFile(const QByteArray& start) {
    return start.startsWith("MThd") || IsRiffMidi(start);
}

bool SmfReader::Parse(const QByteArray& bytes, QString* why) {
    if (IsRiffMidi(bytes)) {
        const QByteArray data = RiffMidiData(bytes);
        if (data.isEmpty()) {
            if (why) {
                *why = QStringLiteral("a RIFF MIDI file without a data chunk: nothing to play");
            }
            *this = SmfReader();
            return false;
        }
        return Parse(data, why);
    }
    SmfParser parser(bytes);
    if (!parser.Header() || !parser.Chunks()) {
        if (why) {
            *why = parser.why;
        }
        *this = SmfReader();
        return false;
    }
    tracks_ = std::move(parser.tracks);
    format_ = parser.format;
    ticksPerQuarterNote_ = parser.ticksPerQuarterNote;
    smpteMsPerTick_ = parser.smpteMsPerTick;
    firstTimeSignature_ = parser.firstTimeSignature;
    return true;
}

int SmfReader::EventCount(int track) const {
    if (track < 1 || track > TrackCount()) {
        return 0;
    }
    return static_cast<int>(tracks_[static_cast<size_t>(track - 1)].size());
}

MidiFileEvent SmfReader::Event(int track, int index) const {
    if (index < 1 || index > EventCount(track)) {
        return {};
    }
    return tracks_[static_cast<size_t>(track - 1)][static_cast<size_t>(index - 1)];
}

} // namespace tq
