// The file window's decoding: each tempo's stretch is rounded on its own, and every track
// has twenty empty positions after its events. A Set Tempo takes effect at its own tick
// (the reader's tempo at an event includes the event's own change), before the first one
// the file format's default of 500000 us per quarter note holds, and the merge hands over
// every position of every track. An SMPTE file's ticks have a fixed length, so its tempos
// are ignored.
#include "midiin/MidiFileDecoder.h"

#include "core/Rounding.h"
#include "platform/MidiFileReader.h"

#include <algorithm>

namespace tq {

namespace {

constexpr int kExtraPositions = 20;
constexpr uint32_t kDefaultTempo = 500000;
constexpr int64_t kLastTempoEnd = 2147483647;
constexpr uint32_t kProgressEveryMs = 50;

struct Position {
    int64_t tick = 0;
    double time = 0;
    std::array<uint8_t, 3> bytes{}; // note, velocity, status
};
// Position 0 of each track stands before its first event: time 0, an empty event.
using Track = std::vector<Position>;

struct TempoChange {
    int64_t tick;
    uint32_t tempo; // us per quarter note
};

void Show(const std::function<void(const QString&)>& progress, const QString& text) {
    if (progress) {
        progress(text);
    }
}

// Shows a progress text at most every kProgressEveryMs: a file of many small tracks
// would otherwise spend its time repainting the window.
class ProgressTexts {
public:
    ProgressTexts(const std::function<void(const QString&)>& progress,
                  const std::function<uint32_t()>& clockMs)
        : progress_(progress), clockMs_(clockMs) {}
    template <typename MakeText> void Show(const MakeText& text) {
        const uint32_t now = clockMs_ ? clockMs_() : 0;
        if (progress_ && (!shown_ || now - shownAt_ >= kProgressEveryMs)) {
            shown_ = true;
            shownAt_ = now;
            progress_(text());
        }
    }
    // The next text shows whatever the time.
    void ShowNext() { shown_ = false; }

private:
    const std::function<void(const QString&)>& progress_;
    const std::function<uint32_t()>& clockMs_;
    bool shown_ = false;
    uint32_t shownAt_ = 0;
};

QString TrackNumber(int track) {
    return QStringLiteral("%1").arg(track, 2, 10, QLatin1Char('0'));
}

// Tick to milliseconds over the merged tempo changes. Each tempo's stretch ends where the
// next begins (the last at tick 2147483647); the start time of each stretch is worked out
// once, and a cursor follows a track's ticks, which never decrease.
class TempoMap {
public:
    TempoMap(const std::vector<TempoChange>& changes, int ticksPerQuarterNote) {
        int64_t start = 0;
        double time = 0;
        for (size_t k = 0; k < changes.size(); ++k) {
            const bool last = k + 1 == changes.size();
            const int64_t length = (last ? kLastTempoEnd : changes[k + 1].tick) - changes[k].tick;
            const double msPerTick = changes[k].tempo / 1000.0 / ticksPerQuarterNote;
            stretches_.push_back({start, length, msPerTick, time});
            time =
                static_cast<double>(RoundHalfEven(static_cast<double>(length) * msPerTick + time));
            start += length;
        }
    }

    void Rewind() { cursor_ = 0; }

    double TickToMs(int64_t tick) {
        const size_t last = stretches_.size() - 1;
        if (cursor_ < last && tick > stretches_[cursor_ + 1].start) {
            // The first stretch that ends at or after the tick.
            const auto next = std::lower_bound(
                stretches_.begin() + static_cast<ptrdiff_t>(cursor_) + 1, stretches_.end(), tick,
                [](const Stretch& s, int64_t t) { return s.start < t; });
            cursor_ = static_cast<size_t>(next - stretches_.begin()) - 1;
        }
        const Stretch& s = stretches_[cursor_];
        const int64_t ticks = std::min(tick - s.start, s.length);
        return static_cast<double>(
            RoundHalfEven(static_cast<double>(ticks) * s.msPerTick + s.time));
    }

private:
    struct Stretch {
        int64_t start; // ticks of the stretches before this one
        int64_t length;
        double msPerTick;
        double time; // ms at its start
    };
    std::vector<Stretch> stretches_;
    size_t cursor_ = 0;
};

// Pass 1: every track's positions and their ticks, and the tempo changes of all tracks
// in one map ordered by tick (on the same tick: lower track, then earlier change).
std::vector<TempoChange> ReadTracks(const MidiFileReader& reader, ProgressTexts& progress,
                                    std::vector<Track>& tracks) {
    std::vector<TempoChange> changes;
    uint32_t lastTempo = 0; // carried from track to track
    for (int t = 1; t <= reader.TrackCount(); ++t) {
        progress.Show(
            [t] { return QStringLiteral("Decoding tempo changes... Track ") + TrackNumber(t); });
        const int positions = std::max(reader.EventCount(t), 0) + kExtraPositions;
        Track& track = tracks.emplace_back();
        track.reserve(static_cast<size_t>(positions) + 1);
        track.emplace_back();
        int64_t tick = 0;
        for (int e = 1; e <= positions; ++e) {
            const MidiFileEvent event = reader.Event(t, e);
            tick += event.deltaTicks;
            // A change first seen at an event was made by that event, at its own tick.
            if (event.tempo != lastTempo) {
                lastTempo = event.tempo;
                if (lastTempo > 0) {
                    changes.push_back({tick, lastTempo});
                }
            }
            track.push_back({tick, 0, {event.data1, event.data2, event.status}});
        }
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    return changes;
}

// Pass 2: the positions' times in ms; gives the largest.
double TimeTracks(const MidiFileReader& reader, std::vector<TempoChange> changes,
                  ProgressTexts& progress, std::vector<Track>& tracks) {
    const double smpteMsPerTick = reader.SmpteMillisecondsPerTick();
    const bool smpte = reader.TicksPerQuarterNote() <= 0;
    if (changes.empty() || changes.front().tick > 0) {
        changes.insert(changes.begin(), {0, kDefaultTempo});
    }
    TempoMap map(changes, std::max(reader.TicksPerQuarterNote(), 1));
    double longest = 0;
    for (size_t t = 0; t < tracks.size(); ++t) {
        progress.Show([t] {
            return QStringLiteral("Decoding absolute timings... Track ") +
                   TrackNumber(static_cast<int>(t) + 1);
        });
        map.Rewind();
        for (size_t e = 1; e < tracks[t].size(); ++e) {
            Position& p = tracks[t][e];
            p.time = smpte ? static_cast<double>(
                                 RoundHalfEven(static_cast<double>(p.tick) * smpteMsPerTick))
                           : map.TickToMs(p.tick);
            longest = std::max(longest, p.time);
        }
    }
    return longest;
}

// Pass 3: the tracks merged by time, the lower track first on the same time.
void MergeTracks(const std::vector<Track>& tracks, size_t totalEvents,
                 const std::function<void(const QString&)>& progress,
                 const std::function<uint32_t()>& clockMs, DecodedMidiFile& song) {
    struct Cursor {
        double time;
        size_t track;
        size_t pos;
    };
    // A heap with the earliest time, then the lowest track, on top.
    const auto later = [](const Cursor& a, const Cursor& b) {
        return a.time > b.time || (a.time == b.time && a.track > b.track);
    };
    std::vector<Cursor> heap;
    for (size_t t = 0; t < tracks.size(); ++t) {
        heap.push_back({0.0, t, 0});
    }
    std::make_heap(heap.begin(), heap.end(), later);
    song.times.reserve(totalEvents);
    song.bytes.reserve(totalEvents);
    const double lastIndex = totalEvents > 1 ? static_cast<double>(totalEvents - 1) : 1.0;
    uint32_t shownAt = 0;
    for (size_t k = 0; k < totalEvents && !heap.empty(); ++k) {
        const uint32_t now = clockMs ? clockMs() : 0;
        if (k == 0 || now - shownAt >= kProgressEveryMs) {
            shownAt = now;
            Show(progress, QStringLiteral("Decoding events... %1%")
                               .arg(RoundHalfEven(static_cast<double>(k) / lastIndex * 100)));
        }
        std::pop_heap(heap.begin(), heap.end(), later);
        Cursor& c = heap.back();
        const Position& p = tracks[c.track][c.pos];
        song.times.push_back(p.time);
        song.bytes.push_back(p.bytes);
        if (++c.pos < tracks[c.track].size()) {
            c.time = tracks[c.track][c.pos].time;
            std::push_heap(heap.begin(), heap.end(), later);
        } else {
            heap.pop_back();
        }
    }
}

} // namespace

DecodedMidiFile DecodeMidiFile(const MidiFileReader& reader,
                               const std::function<void(const QString&)>& progress,
                               const std::function<uint32_t()>& clockMs) {
    Show(progress, QStringLiteral("Initialising... "));
    std::vector<Track> tracks;
    ProgressTexts texts(progress, clockMs);
    std::vector<TempoChange> changes = ReadTracks(reader, texts, tracks);
    texts.ShowNext();
    DecodedMidiFile song;
    song.songLength = RoundToInt32(TimeTracks(reader, std::move(changes), texts, tracks));
    // Every position the merge hands over, each track's position 0 included.
    size_t totalEvents = 0;
    for (const Track& track : tracks) {
        totalEvents += track.size();
    }
    MergeTracks(tracks, totalEvents, progress, clockMs, song);
    return song;
}

} // namespace tq
