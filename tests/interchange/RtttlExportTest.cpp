// Songs to ringtone text, and back through the reader.
#include "interchange/RtttlExport.h"
#include "FakeSongTarget.h"
#include "core/NoteLengths.h"
#include "interchange/RtttlImport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tq {
namespace {

MusicLine L(const char* length, const char* note1, const char* note2 = "", const char* mod = "") {
    return {QString::fromLatin1(length), QString::fromLatin1(note1), QString::fromLatin1(note2),
            QString::fromLatin1(mod)};
}

FakeSongTarget Song(std::vector<MusicLine> lines, int32_t bpm = 120, int ratio = 100) {
    FakeSongTarget song;
    song.lines = std::move(lines);
    song.bpm = bpm;
    song.noteSilenceRatio = ratio;
    return song;
}

// In 192nds of a whole note.
int64_t Units(const std::vector<MusicLine>& lines, int lengthScale = 1) {
    double wholes = 0;
    for (const MusicLine& line : lines) {
        wholes += EquivalentLengthOf(line.Length, line.Mod) / lengthScale;
    }
    return std::llround(wholes * 192);
}

TEST(RtttlExport, EachLineIsWrittenShortAndWhatTheTuneCannotHoldIsCounted) {
    const struct {
        const char* what;
        QString name;
        FakeSongTarget song;
        const char* text;
        std::array<int, 5> counts; // Note 2 dropped, Note 2 alone, rounded, left out, unreadable
    } cases[] = {
        {"the commonest duration and scale are the defaults; others written in full",
         "t",
         Song({L("1/8", "C5"), L("1/8", "D5"), L("Quarter", "E6"), L("1/8", "F#5"),
               L("1/16", "G4")}),
         "t:d=8,o=5,b=120:c,d,4e6,f#,16g4\n",
         {}},
        {"the dot after the scale in any case of Dot, a silent line a pause",
         "t",
         Song({L("Quarter", "C#6", "", "Dot"), L("1/8", "E6", "", "dot"), L("Half", ""),
               L("Quarter", "D6"), L("Quarter", "A#5", "", "DOT")},
              900),
         "t:d=4,o=6,b=900:c#.,8e.,2p,d,a#5.\n",
         {}},
        {"Note 2 left out beside Note 1, the note when alone",
         "t",
         Song({L("Quarter", "C6", "E6"), L("Quarter", "", "G6"), L("Quarter", "")}),
         "t:d=4,o=6,b=120:c,g,p\n",
         {1, 1, 0, 0, 0}},
        {"a cell naming no note or octave 10 is a pause",
         "t",
         Song({L("Quarter", "X5"), L("Quarter", "C10"), L("Quarter", "B0")}),
         "t:d=4,o=0,b=120:p,p,b\n",
         {0, 0, 0, 0, 2}},
        {"1/16 triplets: the one too short where it falls is left out, the time kept",
         "t",
         Song({L("1/16", "C6", "", "Tri"), L("1/16", "D6", "", "Tri"), L("1/16", "E6", "", "Tri"),
               L("Quarter", "F6")}),
         "t:d=32,o=6,b=120:c,e,4f\n",
         {0, 0, 2, 1, 0}},
        {"quarter triplets: 16ths dotted and plain adding up to a quarter",
         "t",
         Song({L("Quarter", "C6", "", "Tri"), L("Quarter", "D6", "", "Tri"),
               L("Quarter", "E6", "", "Tri")}),
         "t:d=16,o=6,b=120:c.,d,e.\n",
         {0, 0, 3, 0, 0}},
        {"the name without ':', ',' or control characters, ten kept",
         "My:Tune,\tnumber twelve",
         Song({L("Quarter", "C6")}),
         "MyTunenumb:d=4,o=6,b=120:c\n",
         {}},
        {"ten characters, not bytes; a '%' kept",
         QStringLiteral("Noël %1 été"),
         Song({L("Quarter", "C6")}),
         "Noël %1 ét:d=4,o=6,b=120:c\n",
         {}},
        {"no name left", " \x01 ", Song({L("Quarter", "C6")}), "tune:d=4,o=6,b=120:c\n", {}},
    };
    for (const auto& c : cases) {
        const RtttlExport out = ExportRtttl(c.song, c.name);
        EXPECT_EQ(out.text, c.text) << c.what;
        const std::array<int, 5> counts = {out.droppedNote2, out.note2Alone, out.roundedLines,
                                           out.leftOutLines, out.unreadableNotes};
        EXPECT_EQ(counts, c.counts) << c.what;
        EXPECT_FALSE(out.ratioDropped) << c.what;
        EXPECT_TRUE(ReadRtttl(out.text).ok) << c.what;
    }
    EXPECT_TRUE(ExportRtttl(Song({L("1/8", "C5")}, 120, 50), "t").ratioDropped);
}

TEST(RtttlExport, RunsOfShortTripletsAfterAnyStartEndWithinHalfAThirtySecondOfTheSong) {
    const std::vector<std::vector<MusicLine>> starts = {
        {},
        {L("Whole", "C5", "", "Tri")},
        {L("Half", "C5", "", "Tri")},
        {L("Whole", "C5", "", "Tri"), L("1/8", "D5"), L("Half", "E5", "", "Tri")},
    };
    for (size_t s = 0; s < starts.size(); ++s) {
        for (const char* length : {"1/16", "1/8", "Quarter"}) {
            FakeSongTarget song = Song(starts[s]);
            for (int n = 1; n <= 8; ++n) {
                song.lines.push_back(L(length, n % 2 ? "G5" : "", "", "Tri"));
                const RtttlText back = ReadRtttl(ExportRtttl(song, "t").text);
                ASSERT_TRUE(back.ok);
                const int64_t written = Units(back.tunes[0].lines, back.tunes[0].lengthScale);
                // Within half the widest step a triplet meets (a Whole triplet between a
                // dotted Half and a Whole); within half a 1/32 once three short triplets
                // have made up for it.
                EXPECT_LE(std::abs(written - Units(song.lines)), n < 3 ? 12 : 3)
                    << "start " << s << ", " << n << " of " << length << " Tri";
            }
        }
    }
}

TEST(RtttlExport, ASongOfNote1AndTheTunesLengthsComesBackLineForLine) {
    const char* notes[] = {"C0", "C#1", "D2", "D#3", "E4", "F5", "",   "F#6",
                           "G7", "G#8", "A9", "A#4", "B5", "C5", "E5", "G5"};
    const char* lengths[] = {"Whole", "Half", "Quarter", "1/8", "1/16", "1/8", "1/8"};
    for (const auto& [step, bpm] : {std::pair{1, 1}, {3, 63}, {5, 140}, {7, 900}}) {
        FakeSongTarget song = Song({}, bpm);
        for (int i = 0; i < 60; ++i) {
            song.lines.push_back(L(lengths[(i * step) % 7], notes[(i * step) % 16], "",
                                   (i * step) % 5 == 0 ? "Dot" : ""));
        }
        const RtttlExport out = ExportRtttl(song, "t");
        EXPECT_EQ(out.Summary(), "The tune holds the song exactly.");
        const RtttlText back = ReadRtttl(out.text);
        ASSERT_TRUE(back.ok) << back.why.toStdString();
        FakeSongTarget again;
        ApplyTune(back.tunes.at(0), again);
        EXPECT_EQ(again.lines, song.lines) << out.text.toStdString();
        EXPECT_EQ(again.bpm, bpm);
    }
}

} // namespace
} // namespace tq
