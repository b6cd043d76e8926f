// Undo and redo, lines through the clipboard, and the question about unsaved changes.
#include "EditorRig.h"
#include "RecordingClipboard.h"
#include "editor/ComputerKeyboard.h"
#include "editor/MainFormSongTarget.h"
#include "platform/ScriptedFileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tq {
namespace {

struct HistoryRig : EditorRig {
    RecordingClipboard clipboard;
    MainFormSongTarget target{form};
    NullLoadProgress progress;
    ScriptedFileDialogs dialogs;
    SongFile songs{target, progress, boxes, dialogs, log};

    HistoryRig() {
        form.SetClipboard(&clipboard);
        form.SetSaveSong([this] { songs.SaveMusic(); });
        Load({"Quarter C4 - -", "Half E4 G4 Dot", "Whole F4 - -", "1/8 A4 - -"});
        form.SongLoaded(QStringLiteral("/songs/Tune.tql"));
    }
    // Everything an edit and its undo must agree on: rows, selection and settings.
    QString State() {
        QStringList out;
        for (const MusicLine& l : form.List().AllLines()) {
            out << QStringList({l.Length, l.Note1, l.Note2, l.Mod}).join('|');
        }
        const MusicList::Selection s = form.List().CurrentSelection();
        const SongSettings t = CaptureSongSettings(form);
        return out.join(' ') +
               QStringLiteral(" @%1%2 bpm %3/%4 alt %5 sig %6 ratio %7 len %8 "
                              "oct %9")
                   .arg(s.Current)
                   .arg(s.Selected ? "*" : "")
                   .arg(t.BPM)
                   .arg(t.BPMText, t.AlternateTimeText)
                   .arg(t.TimeSig)
                   .arg(t.NoteSilenceRatio)
                   .arg(t.NoteLengthIndex)
                   .arg(t.KeyboardOctaveText) +
               QStringLiteral(" replace %1").arg(t.Checks[2]);
    }
};

TEST(EditHistory, EveryKindOfEditUndoesToTheExactStateBeforeAndRedoesToTheStateAfter) {
    using Step = std::function<void(HistoryRig&)>;
    struct Case {
        const char* undoText;
        int selected; // before the edit; 0: line 2 is the current item, not selected
        Step edit;
    };
    const Case cases[] = {
        {"Insert line 2", 2, [](HistoryRig& r) { r.form.PianoKey_Click(14); }},
        {"Insert line 5", 0, [](HistoryRig& r) { r.form.PianoKey_Click(35); }},
        {"Replace line 2", 2,
         [](HistoryRig& r) {
             r.form.NoteReplaceCheck.Checked = true;
             r.form.NoteLengthReplaceCheck.Checked = true;
             r.form.PianoKey_Click(13);
             r.form.NoteReplaceCheck.Checked = false;
             r.form.NoteLengthReplaceCheck.Checked = false;
         }},
        {"Insert blank line 3", 3, [](HistoryRig& r) { r.form.SilentLineButton_Click(); }},
        {"Erase line 4", 4, [](HistoryRig& r) { r.form.Command1_Click(); }},
        {"Clear Note 2 of line 2", 2, [](HistoryRig& r) { r.form.ClearNote2Button_Click(); }},
        {"Mod change on line 1", 1, [](HistoryRig& r) { r.form.SetModTripletCheck(true); }},
        {"Cut 3 lines", 3,
         [](HistoryRig& r) {
             r.form.List().ExtendRangeTo(1);
             r.form.CutLines();
         }},
        {"Paste 2 lines", 2,
         [](HistoryRig& r) {
             r.clipboard.SetText("Half C5 - -\r\n//comment\r\n\r\n1/16 - d5 Tri\r\n");
             r.form.PasteLines();
         }},
        {"Clear list", 0, [](HistoryRig& r) { r.form.ClearList(); }},
        {"Tempo change", 0,
         [](HistoryRig& r) {
             for (const char* typed : {"", "7", "72", "720", "72"}) {
                 r.form.UserChange(SettingKind::Tempo, [&] { r.form.SetBPMText(typed); });
             }
         }},
        {"Option change", 0,
         [](HistoryRig& r) {
             r.form.UserChange(SettingKind::Option, [&] { r.form.SetNoteReplaceCheck(true); });
         }},
        {"Import Song.mid", 2,
         [](HistoryRig& r) {
             r.form.ImportSong("Song.mid", [](SongTarget& t) {
                 t.SetBPMVariable(96);
                 t.SetBPMText("96");
                 t.SetTimeSig(3);
                 t.ClearLines();
                 t.AppendLines({{"Half", "D4", "", ""}});
             });
         }},
    };
    for (const Case& c : cases) {
        HistoryRig r;
        r.form.List().SelectLine(c.selected ? c.selected : 2);
        if (!c.selected) {
            r.form.List().DeselectSelected();
        }
        const QString before = r.State();
        c.edit(r);
        const QString after = r.State();
        ASSERT_NE(after, before) << c.undoText;
        EXPECT_EQ(r.form.History().count(), 1) << c.undoText;
        EXPECT_EQ(r.form.History().undoText(), c.undoText);
        EXPECT_TRUE(r.form.IsModified()) << c.undoText;
        for (int round = 0; round < 2; ++round) {
            r.form.History().undo();
            EXPECT_EQ(r.State(), before) << c.undoText;
            EXPECT_FALSE(r.form.IsModified()) << c.undoText;
            r.form.History().redo();
            EXPECT_EQ(r.State(), after) << c.undoText;
        }
    }
}

TEST(EditHistory, TypingBackToTheStartLeavesNoStepAndLoadingOrSavingMakesTheSongClean) {
    HistoryRig r;
    for (const char* typed : {"14", "140"}) {
        r.form.UserChange(SettingKind::Tempo, [&] { r.form.SetBPMText(typed); });
    }
    EXPECT_EQ(r.form.History().count(), 0);
    EXPECT_FALSE(r.form.IsModified());
    // Code that sets a control (the cycling player, a loaded song) records nothing.
    r.form.SetAlternateTimeText("15");
    EXPECT_EQ(r.form.History().count(), 0);

    QTemporaryDir dir;
    r.form.PianoKey_Click(12);
    r.dialogs.Answer(dir.filePath("Saved"));
    r.songs.SaveMusic();
    EXPECT_FALSE(r.form.IsModified());
    EXPECT_EQ(r.form.SongName(), "Saved.tql");
    r.form.History().undo(); // back before the save: differs from the file again
    EXPECT_TRUE(r.form.IsModified());
    r.songs.ActuallyLoadMusic(dir.filePath("Saved.tql"));
    EXPECT_EQ(r.form.History().count(), 0);
    EXPECT_FALSE(r.form.IsModified());
    EXPECT_EQ(r.form.List().LineCount(), 5);
}

TEST(EditHistory, CopiedLinesAreSongFileLinesAndPasteBackInFrontOfTheSelectedLine) {
    HistoryRig r;
    r.form.List().SelectLine(2);
    r.form.List().ExtendRangeTo(3);
    r.form.CopyLines();
    EXPECT_EQ(r.clipboard.Text(), "Half E4 G4 Dot\nWhole F4 - -\n");
    EXPECT_EQ(r.form.History().count(), 0);
    r.form.List().SelectLine(1);
    r.form.PasteLines();
    EXPECT_EQ(r.form.List().LineCount(), 6);
    EXPECT_EQ(r.form.List().Line(1), (MusicLine{"Half", "E4", "G4", "Dot"}));
    EXPECT_TRUE(r.form.List().IsLineSelected(3)); // the same line, moved down
}

TEST(EditHistory, PastingTextThatIsNotMusicLinesIsRefusedWithAMessageAndChangesNothing) {
    const struct {
        const char* text;
        const char* shows;
    } cases[] = {
        {"", "should be\nLength Note1 Note2"},
        {"// only a comment\n\n", "should be\nLength Note1 Note2"},
        {"Half C4 -\nBPM 140\nWhole D4 -", "This line isn't:\nBPM 140"},
        {"Quarter C4", "This line isn't:\nQuarter C4"},
        {"Dear John, how are you?", "This line isn't:\nDear John, how are you?"},
        {"Half C4 - -\nhalf e4 g4 dot", "This line isn't:\nhalf e4 g4 dot"},
        {"Quarter\tG4 - -", "This line isn't:\nQuarter\tG4 - -"},
        {"Quarter H4 - -", "This line isn't:\nQuarter H4 - -"},
        {"1/8 C4 E4 Dotted", "This line isn't:\n1/8 C4 E4 Dotted"},
    };
    for (const auto& c : cases) {
        HistoryRig r;
        const QString before = r.State();
        r.clipboard.SetText(c.text);
        r.form.PasteLines();
        EXPECT_EQ(r.State(), before) << c.text;
        EXPECT_EQ(r.form.History().count(), 0) << c.text;
        ASSERT_EQ(r.boxes.Boxes().size(), 1u) << c.text;
        EXPECT_EQ(r.boxes.Boxes()[0].title, "Can't paste");
        EXPECT_TRUE(r.boxes.Boxes()[0].text.contains(c.shows)) << c.text;
    }
}

TEST(EditHistory, SelectingPlayingAndStoppingNeverEditTheSong) {
    HistoryRig r;
    r.Load({"Quarter C4 - -", "Half E4 G4 Dot", "Whole C4 - Tri", "1/8 X4 - Dot"});
    const QString before = r.State();
    r.form.MainList_ItemClick(2);
    r.form.MainList_ItemClick(3);
    EXPECT_FALSE(r.form.ModDottedCheck.Checked);
    EXPECT_TRUE(r.form.ModTripletCheck.Checked);
    r.At(r.ElapsedMs() + 3000, [&r] { r.form.StopPlayButton_Click(); });
    r.form.PlayAllButton_Click(); // the bad note's box comes up during it
    r.form.MainList_ItemClick(1);
    EXPECT_FALSE(r.form.ModDottedCheck.Checked || r.form.ModTripletCheck.Checked);
    EXPECT_EQ(r.form.History().count(), 0);
    EXPECT_FALSE(r.form.IsModified());
    EXPECT_EQ(r.State().section(' ', 0, 3), before.section(' ', 0, 3));
}

TEST(EditHistory, AfterUndoAndRedoTheModifierBoxesShowTheSelectedLine) {
    HistoryRig r;
    r.form.MainList_ItemClick(1); // Quarter C4, no modifier
    r.form.SetModDottedCheck(true);
    EXPECT_EQ(r.form.List().Line(1).Mod, "Dot");
    r.form.History().undo();
    EXPECT_FALSE(r.form.ModDottedCheck.Checked); // a note entered now is not dotted
    r.form.History().redo();
    EXPECT_TRUE(r.form.ModDottedCheck.Checked);
    EXPECT_EQ(r.form.History().count(), 1);
}

TEST(EditHistory, UnsavedChangesAreSavedDiscardedOrKeptAsTheUserAnswers) {
    const struct {
        bool edited;
        MsgAnswer answer;
        bool saveDialogCancelled;
        bool mayGoOn;
    } cases[] = {
        {false, MsgAnswer::Cancel, false, true}, // nothing to ask
        {true, MsgAnswer::Discard, false, true}, {true, MsgAnswer::Cancel, false, false},
        {true, MsgAnswer::Save, false, true},    {true, MsgAnswer::Save, true, false},
    };
    for (const auto& c : cases) {
        HistoryRig r;
        QTemporaryDir dir;
        if (c.edited) {
            r.form.PianoKey_Click(12);
        }
        r.boxes.Answer(c.answer);
        r.dialogs.Answer(c.saveDialogCancelled ? QString() : dir.filePath("Out.tql"));
        EXPECT_EQ(r.form.AskToSaveChanges(), c.mayGoOn);
        ASSERT_EQ(r.boxes.Boxes().size(), c.edited ? 1u : 0u);
        if (c.edited) {
            EXPECT_EQ(r.boxes.Boxes()[0].text, "Save changes to Tune.tql?");
            EXPECT_EQ(r.boxes.Boxes()[0].buttons, MsgButtons::SaveDiscardCancel);
        }
        const bool saved = c.answer == MsgAnswer::Save && !c.saveDialogCancelled;
        EXPECT_EQ(QFile::exists(dir.filePath("Out.tql")), saved);
        EXPECT_EQ(r.form.IsModified(), c.edited && !saved);
    }
}

TEST(EditHistory, TheComputerKeyboardPlaysTwoOctavesLikeATracker) {
    const char* lower = "ZSXDCVGBHNJM";
    const char* upper = "Q2W3ER5T6Y7U";
    for (int note = 0; note < 12; ++note) {
        EXPECT_EQ(PianoKeyForComputerKey(lower[note]), 12 + note) << lower[note];
        EXPECT_EQ(PianoKeyForComputerKey(upper[note]), 24 + note) << upper[note];
    }
    for (int other : {int('A'), int('1'), int('4'), int('I'), int(','), int(Qt::Key_Space),
                      int(Qt::Key_F1), 0}) {
        EXPECT_EQ(PianoKeyForComputerKey(other), -1) << other;
    }
}

} // namespace
} // namespace tq
