#include "midiin/MidiFileDecoder.h"
#include "MidiFileBytes.h"
#include "midifile/SmfReader.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tq {
namespace {

using namespace smf;
using Note = std::tuple<int, double, int, int>; // index, time, status, note

DecodedMidiFile Decode(const QByteArray& bytes,
                       const std::function<void(const QString&)>& progress = {},
                       const std::function<uint32_t()>& clock = {}) {
    SmfReader reader;
    EXPECT_TRUE(reader.Parse(bytes, nullptr));
    return DecodeMidiFile(reader, progress, clock);
}

TEST(MidiFileDecoder, TimesFollowTheMergedTempoMapAndTheLowerTrackGoesFirst) {
    const struct {
        const char* name;
        QByteArray bytes;
        std::vector<Note> notes; // the events with a status
        int totalEvents, songLength;
    } cases[] = {
        // Track 2's tempos from their own ticks: 125.125 ms a tick from tick 0, 62.5 from
        // tick 6. Tick 4 is 500.5 ms, kept as 500; tick 5 625.625; tick 8 is the first
        // stretch's 750.75, kept as 751, and 2 x 62.5 more. Every track's positions count:
        // 1 + 5 + 20 and 1 + 4 + 20.
        {"tempo changed in track 2",
         File(1, 4,
              {Ev(0, {0x90, 60, 100}) + Ev(4, {0x80, 60, 0}) + Ev(1, {0x90, 62, 100}) +
                   Ev(3, {0x80, 62, 0}) + EndOfTrack(),
               Tempo(0, 500500) + Ev(4, {0xFF, 0x06, 0}) + Tempo(2, 250000) + EndOfTrack()}),
         {{1, 0, 0x90, 60}, {4, 500, 0x80, 60}, {6, 626, 0x90, 62}, {29, 876, 0x80, 62}},
         51,
         876},
        // A conductor track of tempos only: 96 ticks at 500000, 250000 and 1000000 us.
        {"conductor track",
         File(1, 96,
              {Tempo(0, 500000) + Tempo(96, 250000) + Tempo(96, 1000000),
               Ev(0, {0x90, 60, 1}) + Ev(96, {0x90, 62, 1}) + Ev(96, {0x90, 64, 1}) +
                   Ev(96, {0x90, 65, 1})}),
         {{3, 0, 0x90, 60}, {5, 500, 0x90, 62}, {27, 750, 0x90, 64}, {28, 1750, 0x90, 65}},
         49,
         1750},
        // Before the first Set Tempo the default of 500000 us holds.
        {"late first tempo",
         File(0, 96,
              {Ev(0, {0x90, 60, 1}) + Tempo(96, 1000000) + Ev(0, {0x90, 62, 1}) +
               Ev(96, {0x90, 64, 1})}),
         {{1, 0, 0x90, 60}, {3, 500, 0x90, 62}, {4, 1500, 0x90, 64}},
         25,
         1500},
        // Track 1's empty positions at 500 ms come before track 2's note there.
        {"same times in two tracks",
         File(1, 96,
              {Ev(0, {0x90, 60, 1}) + Ev(96, {0x90, 64, 1}),
               Ev(0, {0x91, 48, 1}) + Ev(96, {0x91, 52, 1})}),
         {{1, 0, 0x90, 60}, {3, 0, 0x91, 48}, {4, 500, 0x90, 64}, {25, 500, 0x91, 52}},
         46,
         500},
        {"no Set Tempo: 500000 us per quarter",
         File(0, 96, {Ev(1, {0x90, 60, 1}) + Ev(47, {0x80, 60, 0}) + Ev(49, {0x90, 62, 1})}),
         {{1, 5, 0x90, 60}, {2, 250, 0x80, 60}, {3, 505, 0x90, 62}},
         24,
         505},
        {"SMPTE 29.97 fps, 10 ticks a frame, tempo ignored",
         File(0, 0xE30A, {Tempo(0, 1000000) + Ev(100, {0x90, 60, 1}) + Ev(200, {0x80, 60, 0})}),
         {{2, 334, 0x90, 60}, {3, 1001, 0x80, 60}},
         24,
         1001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedMidiFile song = Decode(c.bytes);
        std::vector<Note> notes;
        for (int k = 0; k < song.TotalEvents(); ++k) {
            const auto& b = song.bytes[static_cast<size_t>(k)];
            if (b[2] != 0) {
                notes.emplace_back(k, song.times[static_cast<size_t>(k)], b[2], b[0]);
            }
        }
        EXPECT_EQ(notes, c.notes);
        EXPECT_EQ(song.TotalEvents(), c.totalEvents);
        EXPECT_EQ(song.songLength, c.songLength);
        EXPECT_TRUE(std::is_sorted(song.times.begin(), song.times.end()));
    }
}

TEST(MidiFileDecoder, ATrackOf150000EventsIsDecodedWhole) {
    QByteArray track = Ev(1, {0x90, 60, 1});
    for (int i = 1; i < 150000; ++i) {
        track += Ev(1, {60 + i % 2, 1}); // running status
    }
    const DecodedMidiFile song = Decode(File(0, 1000, {track}));
    ASSERT_EQ(song.TotalEvents(), 1 + 150000 + 20);
    EXPECT_EQ(song.bytes[150000], (std::array<uint8_t, 3>{61, 1, 0x90}));
    EXPECT_EQ(song.times[150000], 75000);
    EXPECT_EQ(song.bytes[150001][2], 0);
    EXPECT_EQ(song.songLength, 75000);
}

// The clock wraps around between the two percentages.
TEST(MidiFileDecoder, ProgressNamesEachTrackAndGivesPercentagesAtMostEvery50Ms) {
    int calls = 0;
    QStringList progress;
    Decode(
        File(0, 96, {{}}), [&progress](const QString& text) { progress << text; },
        [&calls] {
            ++calls;
            return calls <= 10 ? 0xFFFFFFF0u : calls <= 15 ? 0x20u : 0x22u;
        });
    EXPECT_EQ(progress, QStringList({"Initialising... ", "Decoding tempo changes... Track 01",
                                     "Decoding absolute timings... Track 01",
                                     "Decoding events... 0%", "Decoding events... 65%"}));
}

TEST(MidiFileDecoder, AFileOfManyTracksShowsProgressAtMostEvery50Ms) {
    uint32_t now = 0;
    int shown = 0;
    Decode(
        File(1, 96, std::vector<QByteArray>(2000)), [&shown](const QString&) { ++shown; },
        [&now] { return now++; }); // a millisecond a reading
    // Two passes over 2000 tracks and a merge of 44000 positions, a reading of the clock
    // each: one text in 50 readings at most, not one a track.
    EXPECT_LE(shown, 1 + 2 * (2000 / 50 + 1) + 44000 / 50 + 1);
    EXPECT_GE(shown, 3);
}

} // namespace
} // namespace tq
