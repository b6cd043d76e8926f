// Songs to standard MIDI files and back.
#include "FakeSongTarget.h"
#include "MidiFileBytes.h"
#include "interchange/MidiExport.h"
#include "interchange/MidiImport.h"
#include "midifile/SmfReader.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

MusicLine L(const char* length, const char* note1, const char* note2, const char* mod = "") {
    return {QString::fromLatin1(length), QString::fromLatin1(note1), QString::fromLatin1(note2),
            QString::fromLatin1(mod)};
}

// Every length, plain, dotted and triplet, with one note, two notes, Note 2 alone, a
// repeated note and silences: at the start, between notes, at the end, and longer than
// a dotted whole.
std::vector<MusicLine> EveryLength() {
    std::vector<MusicLine> lines = {L("Quarter", "", ""), L("1/16", "", "", "Tri")};
    const char* notes1[] = {"C4", "D#5", "", "G3", "A4", "B2", "C4"};
    const char* notes2[] = {"", "E4", "F#6", "", "C3", "", "G2"};
    int i = 0;
    for (const char* mod : {"", "Dot", "Tri"}) {
        for (const char* length : {"Whole", "Half", "Quarter", "1/8", "1/16"}) {
            lines.push_back(L(length, notes1[i % 7], notes2[i % 7], mod));
            lines.push_back(L(length, notes1[(i + 3) % 7], notes2[(i + 5) % 7], mod));
            if (++i % 4 == 0) {
                lines.push_back(L(length, "", "", mod));
            }
        }
    }
    lines.push_back(L("1/8", "C4", "", ""));
    lines.push_back(L("1/8", "C4", "", ""));
    lines.push_back(L("Whole", "", "", "Dot"));
    lines.push_back(L("Whole", "", "", "Dot"));
    lines.push_back(L("1/16", "", "", "Tri"));
    return lines;
}

TEST(MidiInterchange, ExportThenImportGivesBackEveryLineTheTempoRatioAndTimeSignature) {
    const struct {
        int ratio;
        int32_t bpm;
        int32_t timeSig;
    } cases[] = {{5, 40, 1}, {7, 97, 3}, {37, 120, 4}, {80, 140, 7}, {90, 60, 3}, {100, 600, 32}};
    for (const auto& c : cases) {
        FakeSongTarget song;
        song.lines = EveryLength();
        song.noteSilenceRatio = c.ratio;
        song.bpm = c.bpm;
        song.timeSig = c.timeSig;
        const MidiImport back = ImportMidi(ExportMidi(song).bytes);
        ASSERT_TRUE(back.read) << back.why.toStdString();
        EXPECT_EQ(back.lines, song.lines) << "ratio " << c.ratio;
        EXPECT_EQ(back.bpm, c.bpm);
        EXPECT_EQ(back.noteSilenceRatio, c.ratio);
        EXPECT_EQ(back.timeSig, c.timeSig);
        EXPECT_FALSE(back.summary.contains(QLatin1String("rounded"))) << back.summary.toStdString();
    }
}

TEST(MidiInterchange, ExportSoundsEachNoteAsTheMidiOutputWouldForTheRatioOfItsLine) {
    FakeSongTarget song;
    song.lines = {L("Quarter", "C4", ""), L("Half", "", "A4"), L("1/8", "", "")};
    song.noteSilenceRatio = 50;
    song.bpm = 120;
    SmfReader smf;
    ASSERT_TRUE(smf.Parse(ExportMidi(song).bytes, nullptr));
    ASSERT_EQ(smf.Format(), 1);
    ASSERT_EQ(smf.TrackCount(), 3);
    EXPECT_EQ(smf.TicksPerQuarterNote(), 480);
    EXPECT_EQ(smf.Event(1, 1).tempo, 500000u);
    // Track, then (delta, status, note, velocity) of each event; meta events read as 0.
    const std::vector<std::vector<std::array<int, 4>>> expected = {
        {{0, 0, 0, 0}, {0, 0, 0, 0}, {1680, 0, 0, 0}},
        {{0, 0x90, 48, 96}, {240, 0x80, 48, 0}, {1440, 0, 0, 0}},
        {{480, 0x90, 57, 96}, {480, 0x80, 57, 0}, {720, 0, 0, 0}},
    };
    for (int t = 1; t <= 3; ++t) {
        ASSERT_EQ(smf.EventCount(t), 3) << "track " << t;
        for (int e = 1; e <= 3; ++e) {
            const MidiFileEvent ev = smf.Event(t, e);
            EXPECT_EQ((std::array<int, 4>{int(ev.deltaTicks), ev.status, ev.data1, ev.data2}),
                      expected[size_t(t - 1)][size_t(e - 1)])
                << "track " << t << " event " << e;
        }
    }
}

TEST(MidiInterchange, ImportKeepsTheTopTwoOfAThreeNoteChord) {
    using namespace smf;
    const QByteArray tempo = Tempo(0, 600000);
    auto on = [](int ch, int key) { return Ev(0, {0x90 | ch, key, 100}); };
    auto off = [](uint32_t delta, int ch, int key) { return Ev(delta, {0x80 | ch, key, 0}); };
    const struct {
        const char* shape;
        QByteArray file;
    } cases[] = {
        {"one track", File(0, 96,
                           {tempo + on(0, 60) + on(0, 67) + on(0, 64) + off(96, 0, 60) +
                            off(0, 0, 64) + off(0, 0, 67) + EndOfTrack()})},
        {"a track per note, drums aside",
         File(1, 96,
              {tempo + EndOfTrack(96), on(0, 64) + off(96, 0, 64) + EndOfTrack(),
               on(1, 60) + on(9, 80) + off(96, 1, 60) + EndOfTrack(),
               on(2, 67) + off(96, 2, 67) + EndOfTrack()})},
        {"two note tracks, one of them with two notes at once",
         File(1, 96,
              {tempo + EndOfTrack(96),
               on(0, 60) + on(0, 64) + off(96, 0, 60) + off(0, 0, 64) + EndOfTrack(),
               on(1, 67) + off(96, 1, 67) + EndOfTrack()})},
    };
    for (const auto& c : cases) {
        const MidiImport in = ImportMidi(c.file);
        ASSERT_TRUE(in.read) << c.shape;
        EXPECT_EQ(in.lines, (std::vector<MusicLine>{L("Quarter", "G5", "E5")})) << c.shape;
        EXPECT_EQ(in.bpm, 100) << c.shape;
        EXPECT_TRUE(in.summary.contains(QLatin1String("1 note dropped"))) << c.shape;
    }
}

// Files as sequencers write them: one track, notes that stop short of the next onset.
TEST(MidiInterchange, ImportTakesTheRatioFromTheNotesAndTheFirstTimeSignatureOffered) {
    using namespace smf;
    // Three quarter notes, each sounding for `sounding` of its 96 ticks.
    const auto notes = [](uint32_t sounding) {
        QByteArray out;
        for (int key : {60, 62, 64}) {
            out += Ev(0, {0x90, key, 100}) + Ev(sounding, {0x80, key, 0});
            out += Ev(96 - sounding, {0xFF, 0x01, 0x00}); // an empty text event to the next beat
        }
        return out + EndOfTrack();
    };
    const struct {
        const char* what;
        QByteArray meta;
        uint32_t sounding;
        int ratio;
        int32_t timeSig;
    } cases[] = {
        {"3/4 then 6/8, notes at three quarters", TimeSignature(0, 3) + TimeSignature(0, 6), 72, 75,
         3},
        {"no time signature, notes held to the next", {}, 96, 100, 4},
        {"40 beats to the bar, more than a bar holds", TimeSignature(0, 40), 48, 50, 4},
    };
    for (const auto& c : cases) {
        const MidiImport in =
            ImportMidi(File(0, 96, {Tempo(0, 500000) + c.meta + notes(c.sounding)}));
        ASSERT_TRUE(in.read) << c.what;
        EXPECT_EQ(in.noteSilenceRatio, c.ratio) << c.what;
        EXPECT_EQ(in.timeSig, c.timeSig) << c.what;
        EXPECT_EQ(in.lines, (std::vector<MusicLine>{L("Quarter", "C5", ""), L("Quarter", "D5", ""),
                                                    L("Quarter", "E5", "")}))
            << c.what;
    }
}

// A 40-byte file can hold one note of 2^28 ticks at one tick per quarter: millions of lines.
TEST(MidiInterchange, ImportStopsAtAHundredThousandLinesAndSaysSo) {
    using namespace smf;
    // A long note, then a short note with a long silence after it to the track's end.
    for (const auto& [noteTicks, endTicks] : {std::pair{0x0FFFFFFFu, 0u}, {1u, 0x0FFFFFFFu}}) {
        const QByteArray track =
            Ev(0, {0x90, 60, 100}) + Ev(noteTicks, {0x80, 60, 0}) + EndOfTrack(endTicks);
        const MidiImport in = ImportMidi(File(0, 1, {track}));
        ASSERT_TRUE(in.read);
        EXPECT_EQ(in.lines.size(), 100'000u) << noteTicks;
        EXPECT_TRUE(in.summary.endsWith("the song stops at 100000 lines, the rest of the file "
                                        "left out."))
            << in.summary.toStdString();
    }
}

} // namespace
} // namespace tq
