#include "core/NoteFrequencies.h"
#include "platform/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(NoteFrequencies, FrequenciesFollowTheOctaveSevenTable) {
    struct Case {
        int note;
        int octave;
        double hz;
    };
    const Case cases[] = {{9, 4, 440},  {0, 4, 261.625}, {1, 4, 277.125}, {0, 7, 2093},
                          {0, 8, 4186}, {11, 9, 15804},  {5, 7, 2794},    {0, 0, 16.3515625},
                          {12, 4, 0},   {-1, 4, 0}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(NoteNumToFrequency(c.note, c.octave), c.hz) << c.note << "/" << c.octave;
    }
}

TEST(NoteFrequencies, NoteNamesAreReadFromTheFirstOneOrTwoCharacters) {
    ScriptedMessageBoxes boxes;
    struct Case {
        const char* text;
        int note;
    };
    const Case cases[] = {{"C4", 0},  {"C#4", 1},  {"D#2", 3}, {"E9", 4},   {"F#0", 6},
                          {"G#5", 8}, {"A#3", 10}, {"B4", 11}, {"C#45", 1}, {"Ab4", 9}};
    for (const Case& c : cases) {
        EXPECT_EQ(LetterToNoteNum(QString::fromLatin1(c.text), boxes), c.note) << c.text;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(OctaveOfNoteString("C#4"), 4);
    EXPECT_EQ(OctaveOfNoteString("G10"), 10); // MIDI note 127
    EXPECT_EQ(OctaveOfNoteString("C#"), 0);
}

TEST(NoteFrequencies, AnUnknownNoteShowsTheBoxAndGivesMinusOneThenFrequencyZero) {
    for (const char* bad : {"c4", "H4", "", "#4"}) {
        ScriptedMessageBoxes boxes;
        const int n = LetterToNoteNum(QString::fromLatin1(bad), boxes);
        EXPECT_EQ(n, -1) << bad;
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const auto& box = boxes.Boxes()[0];
        EXPECT_EQ(box.title, "LetterToNoteNum function");
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        EXPECT_EQ(box.text, QStringLiteral("LetterAndOctave is *") + QString::fromLatin1(bad) +
                                "*\nThe first 1 or 2 characters aren't a recognized note name.\n"
                                "(Returning -1 as the note number - this may cause errors!)");
        EXPECT_EQ(NoteNumToFrequency(n, 4), 0);
    }
}

TEST(NoteFrequencies, NoteStringsFoldIntoTheMotorRangeUnlessTheOctaveIsKept) {
    EXPECT_EQ(NoteNumToLetter(-1), "-");
    EXPECT_EQ(NoteNumToLetter(12), "");
    EXPECT_EQ(NoteNumToLetter(10), "A#");
    struct Case {
        int note;
        int octave;
        bool keep;
        int motorOctave;
        const char* out;
    };
    const Case cases[] = {
        {7, 5, false, 0, "G2"}, {4, 5, false, 0, "E3"},  {9, 3, false, 0, "A2"},
        {5, 3, false, 0, "F3"}, {0, 0, false, 0, "C1"},  {0, 4, false, 2, "C2"},
        {1, 4, true, 2, "C#4"}, {11, 9, false, 5, "B2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoteNumToNoteString(c.note, c.octave, c.keep, c.motorOctave), c.out)
            << c.note << "/" << c.octave;
    }
}

} // namespace
} // namespace tq
