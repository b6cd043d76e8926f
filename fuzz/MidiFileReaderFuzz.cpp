// libFuzzer target for the MIDI file reader and the decoder behind it. Besides crashes it
// catches a reader that breaks its own promises, and a decoder whose tempo map, cursors
// and heap give anything but what the window's plain table-by-table decoding gives.
#include "core/Rounding.h"
#include "midifile/SmfReader.h"
#include "midiin/MidiFileDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using namespace tq;

struct Change {
    int64_t tick;
    uint32_t tempo;
};

double PlainTickToMs(const std::vector<Change>& map, int64_t tick, int ticksPerQuarter) {
    int64_t remaining = tick;
    double time = 0;
    for (size_t k = 0; k < map.size(); ++k) {
        int64_t segment = (k + 1 < map.size() ? map[k + 1].tick : 2147483647) - map[k].tick;
        if (remaining < segment) {
            segment = remaining;
        }
        const double msPerTick = map[k].tempo / 1000.0 / ticksPerQuarter;
        time = static_cast<double>(RoundHalfEven(static_cast<double>(segment) * msPerTick + time));
        remaining -= segment;
        if (remaining <= 0) {
            break;
        }
    }
    return time;
}

// Passes 1 and 2: every position's time (position 0 included), and the longest.
std::vector<std::vector<double>> PlainTimes(const MidiFileReader& r, double* longest) {
    std::vector<Change> map;
    uint32_t lastTempo = 0;
    for (int t = 1; t <= r.TrackCount(); ++t) {
        int64_t tick = 0;
        for (int e = 1; e <= r.EventCount(t) + 20; ++e) {
            const MidiFileEvent v = r.Event(t, e);
            if (v.tempo != lastTempo) {
                lastTempo = v.tempo;
                if (lastTempo > 0) {
                    map.push_back({tick, lastTempo});
                }
            }
            tick += v.deltaTicks;
        }
    }
    std::stable_sort(map.begin(), map.end(),
                     [](const Change& a, const Change& b) { return a.tick < b.tick; });
    if (map.empty()) {
        map.push_back({0, 500000});
    }
    std::vector<std::vector<double>> times;
    *longest = 0;
    for (int t = 1; t <= r.TrackCount(); ++t) {
        std::vector<double>& track = times.emplace_back(1, 0.0);
        int64_t tick = 0;
        for (int e = 1; e <= r.EventCount(t) + 20; ++e) {
            tick += r.Event(t, e).deltaTicks;
            const double ms = r.TicksPerQuarterNote() > 0
                                  ? PlainTickToMs(map, tick, r.TicksPerQuarterNote())
                                  : static_cast<double>(RoundHalfEven(
                                        static_cast<double>(tick) * r.SmpteMillisecondsPerTick()));
            track.push_back(ms);
            *longest = std::max(*longest, ms);
        }
    }
    return times;
}

// Pass 3: the smallest time at any cursor, the lowest track on a tie.
DecodedMidiFile PlainDecode(const MidiFileReader& r) {
    DecodedMidiFile song;
    double longest = 0;
    const std::vector<std::vector<double>> times = PlainTimes(r, &longest);
    song.songLength = RoundToInt32(longest);
    size_t total = 0;
    for (const auto& track : times) {
        total += track.size() - 1;
    }
    std::vector<size_t> cursor(times.size(), 0);
    for (size_t k = 0; k < total; ++k) {
        size_t best = times.size();
        for (size_t t = 0; t < times.size(); ++t) {
            if (cursor[t] < times[t].size() &&
                (best == times.size() || times[t][cursor[t]] < times[best][cursor[best]])) {
                best = t;
            }
        }
        const MidiFileEvent v = r.Event(static_cast<int>(best) + 1, static_cast<int>(cursor[best]));
        song.times.push_back(times[best][cursor[best]++]);
        song.bytes.push_back({v.data1, v.data2, v.status});
    }
    return song;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SmfReader reader;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString why;
    if (!reader.Parse(bytes, &why)) {
        if (why.isEmpty() || reader.TrackCount() != 0) {
            __builtin_trap();
        }
        return 0;
    }
    int64_t events = 0;
    for (int t = 1; t <= reader.TrackCount(); ++t) {
        events += reader.EventCount(t);
    }
    // Each event takes at least two bytes of the file, each track eight.
    if (reader.TrackCount() < 1 || reader.TrackCount() * 8 > static_cast<int64_t>(size) ||
        events * 2 > static_cast<int64_t>(size) ||
        (reader.TicksPerQuarterNote() > 0) == (reader.SmpteMillisecondsPerTick() > 0)) {
        __builtin_trap();
    }
    const DecodedMidiFile song = DecodeMidiFile(reader, nullptr, nullptr);
    const DecodedMidiFile plain = PlainDecode(reader);
    if (song.times != plain.times || song.bytes != plain.bytes ||
        song.songLength != plain.songLength) {
        __builtin_trap();
    }
    return 0;
}
