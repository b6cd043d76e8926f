#include "EditorRig.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

QStringList Rows(const MusicList& list) {
    QStringList out;
    for (int i = 1; i <= list.LineCount(); ++i) {
        const MusicLine l = list.Line(i);
        out << QStringList({l.Length, l.Note1, l.Note2, l.Mod}).join('|');
    }
    return out;
}

TEST(NoteEntry, AKeyClickOnAnEmptyListSoundsAndAppends) {
    EditorRig r;
    r.form.PianoKey_Click(12);
    EXPECT_EQ(Rows(r.form.List()), QStringList({"1/8|C4||"}));
    EXPECT_EQ(r.Tones(), QStringList({"262@0+50"}));
    EXPECT_EQ(r.form.List().GetSelectedIndex(), -1);
    EXPECT_FALSE(r.form.List().HasSelectedLine());
    EXPECT_EQ(r.form.Position().Labels().PlayPos, "01 ");
}

TEST(NoteEntry, InsertReplaceAndSelectionRules) {
    struct Case {
        const char* name;
        int selected; // 0: none
        bool replace;
        bool asNote2;
        bool replaceLength;
        int key;
        QStringList rows;
        int selectedAfter; // 0: nothing selected
    };
    const Case cases[] = {
        {"insert before the selected row",
         2,
         false,
         false,
         false,
         14,
         {"Quarter|C4||", "1/8|D4||", "Half|E4||", "Whole|F4||"},
         3},
        {"replace Note 2 keeps the length",
         2,
         true,
         true,
         false,
         14,
         {"Quarter|C4||", "Half|E4|D4|", "Whole|F4||"},
         3},
        {"replace with the length",
         2,
         true,
         false,
         true,
         14,
         {"Quarter|C4||", "1/8|D4||", "Whole|F4||"},
         3},
        {"replace the last row",
         3,
         true,
         false,
         false,
         14,
         {"Quarter|C4||", "Half|E4||", "Whole|D4||"},
         0},
        {"replace with nothing selected appends",
         0,
         true,
         false,
         false,
         14,
         {"Quarter|C4||", "Half|E4||", "Whole|F4||", "1/8|D4||"},
         0},
        {"orange group",
         0,
         false,
         false,
         false,
         1,
         {"Quarter|C4||", "Half|E4||", "Whole|F4||", "1/8|C#3||"},
         0},
        {"green group",
         0,
         false,
         false,
         false,
         35,
         {"Quarter|C4||", "Half|E4||", "Whole|F4||", "1/8|B5||"},
         0},
    };
    for (const Case& c : cases) {
        EditorRig r;
        r.Load({"Quarter C4 - -", "Half E4 - -", "Whole F4 - -"});
        if (c.selected) {
            r.form.List().SelectLine(c.selected);
        }
        r.form.SetNoteReplaceCheck(c.replace);
        r.form.SetNoteLengthReplaceCheck(c.replaceLength);
        if (c.asNote2) {
            r.form.SetAddNote2Option(true);
        }
        r.form.PianoKey_Click(c.key);
        EXPECT_EQ(Rows(r.form.List()), c.rows) << c.name;
        if (c.selectedAfter) {
            EXPECT_TRUE(r.form.List().IsLineSelected(c.selectedAfter)) << c.name;
        } else {
            EXPECT_FALSE(r.form.List().HasSelectedLine()) << c.name;
        }
    }
}

TEST(NoteEntry, BlankLinesAndModifiers) {
    EditorRig r;
    r.Load({"Quarter C4 - -", "Half E4 - -"});
    r.form.SetModTripletCheck(true);
    r.form.SetNoteLengthComboIndex(4);
    r.form.SilentLineButton_Click();
    EXPECT_EQ(Rows(r.form.List()).last(), "1/16|||Tri");

    // Blank line in replace mode without "Replace Length too": unchanged, selection moves.
    r.form.List().SelectLine(1);
    r.form.SetNoteReplaceCheck(true);
    r.form.SilentLineButton_Click();
    EXPECT_EQ(Rows(r.form.List())[0], "Quarter|C4||");
    EXPECT_TRUE(r.form.List().IsLineSelected(2));

    // Ticking Dotted while Triplet is ticked clears Triplet; the selected line follows.
    r.form.SetModDottedCheck(true);
    EXPECT_FALSE(r.form.ModTripletCheck.Checked);
    EXPECT_EQ(r.form.List().Line(2).Mod, "Dot");
    r.form.SetModTripletCheck(true);
    EXPECT_FALSE(r.form.ModDottedCheck.Checked);
    EXPECT_EQ(r.form.List().Line(2).Mod, "Tri");

    // A line click mirrors its Mod in the boxes (and plays it once).
    r.form.MainList_ItemClick(1);
    EXPECT_FALSE(r.form.ModTripletCheck.Checked);
    r.form.MainList_ItemClick(2);
    EXPECT_TRUE(r.form.ModTripletCheck.Checked);
    r.form.List().SetCell(1, MusicList::ModColumn, "dotted");
    r.form.MainList_ItemClick(1);
    EXPECT_TRUE(r.form.ModDottedCheck.Checked);
    EXPECT_FALSE(r.form.ModTripletCheck.Checked);
}

TEST(NoteEntry, ClearEraseAndUnselect) {
    EditorRig r;
    r.Load({"Quarter C4 E4 -", "Half D4 F4 -", "Whole G4 - -"});
    r.form.ClearNote1Button_Click(); // nothing selected: nothing happens
    EXPECT_EQ(r.form.List().Line(1).Note1, "C4");
    r.form.List().SelectLine(2);
    r.form.ClearNote1Button_Click();
    r.form.ClearNote2Button_Click();
    EXPECT_EQ(Rows(r.form.List())[1], "Half|||");
    r.form.Command1_Click();
    EXPECT_EQ(r.form.List().LineCount(), 2);
    EXPECT_TRUE(r.form.List().IsLineSelected(2)); // its successor moved up
    r.form.Command1_Click();                      // the last row
    EXPECT_EQ(r.form.List().LineCount(), 1);
    EXPECT_FALSE(r.form.List().HasSelectedLine());
    r.form.List().SelectLine(1);
    r.form.UnselectButton_Click();
    EXPECT_FALSE(r.form.List().HasSelectedLine());
    EXPECT_EQ(r.form.List().GetSelectedIndex(), 1); // still the current item
    EXPECT_EQ(r.form.Position().Labels().PlayBar, "001");
}

TEST(NoteEntry, OctaveTextUpDownAndCtrlArrows) {
    EditorRig r;
    struct Step {
        const char* typed; // nullptr: Ctrl+key instead
        int keyCode;
        const char* text;
        int octave;
        const char* labels;
    };
    const Step steps[] = {
        {"x", 0, "4", 4, "3 4 5"},
        {"1", 0, "2", 2, "1 2 3"},
        {"12", 0, "12", 12, "11 12 13"},
        {"", 0, "", 12, "11 12 13"},
        {"9", 0, "9", 9, "8 9 10"},
        {nullptr, 38, "9", 9, "8 9 10"},
        {"2", 0, "2", 2, "1 2 3"},
        {nullptr, 40, "2", 2, "1 2 3"},
        {nullptr, 38, "3", 3, "2 3 4"},
        {"7.5", 0, "7.5", 8, "7 8 9"},
        {"300", 0, "300", 255, "254 255 256"},
    };
    for (const Step& s : steps) {
        if (s.typed) {
            r.form.SetKeyboardOctaveText(QString::fromLatin1(s.typed));
        } else {
            r.form.PianoKey_KeyDown(0, s.keyCode, 2);
        }
        EXPECT_EQ(r.form.KeyboardOctaveText.Text, s.text) << (s.typed ? s.typed : "ctrl");
        EXPECT_EQ(r.form.KeyboardOctave, s.octave) << (s.typed ? s.typed : "ctrl");
        EXPECT_EQ(QStringList(r.form.OctLabel.begin(), r.form.OctLabel.end()).join(' '), s.labels);
    }
    r.form.SetKeyboardOctaveText("2");
    r.form.PianoKey_Click(0);
    EXPECT_EQ(r.form.List().Line(1).Note1, "C1");
    r.form.PianoKey_KeyDown(0, 38, 1); // Shift+Up does nothing
    EXPECT_EQ(r.form.KeyboardOctave, 2);
    r.form.KeyboardOctaveUpDown_Step(+1);
    EXPECT_EQ(r.form.KeyboardOctaveText.Text, "3");
}

TEST(NoteEntry, EditingCheckBoxesEnableEachOther) {
    EditorRig r;
    EXPECT_FALSE(r.form.NoteLengthReplaceCheck.Enabled);
    r.form.SetNoteReplaceCheck(true);
    EXPECT_TRUE(r.form.NoteLengthReplaceCheck.Enabled);
    r.form.SetNoteLengthReplaceCheck(true);
    r.form.SetNoteClickAddCheck(false);
    EXPECT_FALSE(r.form.AddNoteOptionsEnabled);
    EXPECT_FALSE(r.form.NoteReplaceCheck.Enabled);
    EXPECT_FALSE(r.form.NoteLengthReplaceCheck.Enabled);
    EXPECT_TRUE(r.form.NoteLengthReplaceCheck.Checked); // the tick stays
    r.form.SetNoteClickAddCheck(true);
    EXPECT_TRUE(r.form.NoteLengthReplaceCheck.Enabled);
    // A key click without "add" only sounds.
    r.form.SetNoteClickAddCheck(false);
    r.form.PianoKey_Click(21);
    EXPECT_EQ(r.form.List().LineCount(), 0);
    EXPECT_EQ(r.Tones(), QStringList({"440@0+50"}));
}

TEST(NoteEntry, AddNoteTracesItsDecisions) {
    EditorRig r;
    r.form.AddNote(1, 4, 2);
    EXPECT_EQ(r.log.Trimmed().mid(0, 9),
              QStringList({"AddNote(1, 4, 2 (Quarter)) - START", "NoteLetter = C#",
                           "GetSelectedIndex(MainList) returned -1 - inserting at end of list.",
                           "InsertPoint = 1", "Not possible to replace as-of-yet unmade note.",
                           "Replace = FALSE", "INSERTING (creating list item)...",
                           "Setting note's text...",
                           "It's not meant to be silent - setting text for NOTE1."}));
}

} // namespace
} // namespace tq
