#include "interchange/RtttlImport.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

// A tune's lines as "Length Note1 Mod" with "-" for an empty cell.
QStringList Lines(const RtttlTune& tune) {
    QStringList out;
    for (const MusicLine& l : tune.lines) {
        out << QStringLiteral("%1 %2 %3")
                   .arg(l.Length, l.Note1.isEmpty() ? QStringLiteral("-") : l.Note1,
                        l.Mod.isEmpty() ? QStringLiteral("-") : l.Mod);
    }
    return out;
}

TEST(Rtttl, TunesReadAsTheirAuthorsWroteThem) {
    const struct {
        const char* what;
        const char* text;
        int bpm;
        QStringList lines;
    } cases[] = {
        {"defaults d=4, o=6, b=63", "t::c,8d", 63, {"Quarter C6 -", "1/8 D6 -"}},
        {"controls in any order, unknown ones ignored",
         "t:b=120,x=9,o=5,d=8:a,4p,h",
         120,
         {"1/8 A5 -", "Quarter - -", "1/8 B5 -"}},
        {"sharps, and the dot before or after the scale",
         "t:d=4,o=5,b=90:c#.6,2d#6.,16g#",
         90,
         {"Quarter C#6 Dot", "Half D#6 Dot", "1/16 G#5 -"}},
        {"white space anywhere, upper case",
         " T : D = 2 , O = 4 , B = 100 : 4 C 5 , E , P ",
         100,
         {"Quarter C5 -", "Half E4 -", "Half - -"}},
        {"32nds: twice the BPM, every length doubled",
         "t:d=32,o=5,b=100:c,8d,1e",
         200,
         {"1/16 C5 -", "Quarter D5 -", "Whole E5 Dot", "Half E5 -"}}, // one note, two lines
        {"64ths: four times", "t:d=64,o=5,b=50:c,16d", 200, {"1/16 C5 -", "Quarter D5 -"}},
    };
    for (const auto& c : cases) {
        const RtttlText text = ReadRtttl(c.text);
        ASSERT_TRUE(text.ok) << c.what << ": " << text.why.toStdString();
        ASSERT_EQ(text.tunes.size(), 1u) << c.what;
        EXPECT_EQ(text.tunes[0].bpm, c.bpm) << c.what;
        EXPECT_EQ(Lines(text.tunes[0]), c.lines) << c.what;
    }
}

TEST(Rtttl, ACollectionGivesEveryTuneThatReadsAndSaysWhichLinesDidNot) {
    const RtttlText two = ReadRtttl("First Tune:d=4:c\r\n\r\nSecond:o=4:8a\n");
    ASSERT_TRUE(two.ok);
    ASSERT_EQ(two.tunes.size(), 2u);
    EXPECT_EQ(two.tunes[0].name, "First Tune");
    EXPECT_EQ(Lines(two.tunes[1]), QStringList{"1/8 A4 -"});
    EXPECT_TRUE(two.SkippedNote().isEmpty());

    // A heading and a broken tune among them leave the others to choose from.
    const RtttlText mixed = ReadRtttl("My ringtones\nok:d=4:c\nbad:d=4,o=5,b=140:8d,8x,8e\n");
    ASSERT_TRUE(mixed.ok);
    ASSERT_EQ(mixed.tunes.size(), 1u);
    EXPECT_EQ(mixed.SkippedNote(),
              "2 lines are not tunes and were left out, the first at line 1, column 1: no ':' "
              "after the tune's name (found \"My ringt\")");
    EXPECT_EQ(mixed.skipped.value(1), "line 3, column 23: not a note (found \"x,8e\")");

    const struct {
        const char* text;
        const char* why;
    } bad[] = {
        {"bad:d=4,o=5,b=140:8d,8x,8e", "line 1, column 23: not a note (found \"x,8e\")"},
        {"no colon at all", "line 1, column 1: no ':' after the tune's name (found \"no colon\")"},
        {"t:d=3:c", "line 1, column 5: not a duration of 1 to 64 (found \"3:c\")"},
        {"t:b=fast:c", "line 1, column 5: the value is not a number (found \"fast:c\")"},
        {"t:d=4:c5x", "line 1, column 9: unexpected text after a note (found \"x\")"},
        {"t:d=4:", "line 1, column 7: no notes (found \"the end\")"},
        {"", "no tune in the text"},
    };
    for (const auto& c : bad) {
        const RtttlText text = ReadRtttl(c.text);
        EXPECT_FALSE(text.ok) << c.text;
        EXPECT_TRUE(text.tunes.empty()) << c.text;
        EXPECT_EQ(text.why, c.why) << c.text;
    }
}

} // namespace
} // namespace tq
