// Songs loaded into and saved from the real main-window logic.
#include "EditorRig.h"
#include "editor/MainFormSongTarget.h"
#include "platform/ScriptedFileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

struct SongRig : EditorRig {
    MainFormSongTarget target{form};
    NullLoadProgress progress;
    ScriptedFileDialogs dialogs;
    SongFile songs{target, progress, boxes, dialogs, log};

    void LoadText(const QString& settings, const QString& lines = {}) {
        songs.LoadSongBytes(
            (kFormatText + "\r\n" + settings + "\r\nMUSICLISTSTART\r\n" + lines).toUtf8());
    }
};

TEST(SongTarget, TheExampleSongsLoadIntoTheWindowAndSaveBackUnchanged) {
    const QDir examples(QStringLiteral(TQ_EXAMPLES));
    const QStringList songs = examples.entryList({"*.tql"}, QDir::Files);
    ASSERT_EQ(songs.size(), 5);
    for (const QString& name : songs) {
        SongRig r;
        QFile f(examples.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        r.songs.LoadSongBytes(bytes);
        EXPECT_TRUE(r.boxes.Boxes().empty()) << name.toStdString();
        EXPECT_GT(r.form.List().LineCount(), 10);
        EXPECT_EQ(SongText(r.target), bytes) << name.toStdString();
    }
}

TEST(SongTarget, SettingsGoThroughTheControlsHandlers) {
    SongRig r;
    r.form.SetNoteReplaceCheck(true);
    r.form.SetTimeSigSlider(7);
    r.form.State().MusicIsPlaying = true;
    r.LoadText("BPM 20\r\nAlternateTime 14\r\nNoteSilenceRatio 5\r\nNoteReplace 0\r\n"
               "KeyboardOctave 6\r\nAddNote2 1\r\nNoteClickAdd 0",
               "quarter c#4 e4\r\n1/8 C4 D4 Dot extra\r\n");
    EXPECT_EQ(r.form.Settings().BPM, 20); // the variable is set first
    EXPECT_TRUE(r.form.BPMText.Invalid);  // the text box then refuses it
    EXPECT_EQ(r.form.Settings().AlternateTime, 14);
    EXPECT_TRUE(r.form.AlternateTimeText.Invalid);
    EXPECT_EQ(r.form.NoteSilenceRatioLabel, "05%");
    EXPECT_EQ(r.form.Settings().TimeSig, 4);      // no TimeSig line: back to 4
    EXPECT_TRUE(r.form.NoteReplaceCheck.Checked); // not read
    EXPECT_EQ(r.form.OctLabel[2], "7");
    EXPECT_TRUE(r.form.AddNote2Option);
    EXPECT_FALSE(r.form.AddNote1Option);
    EXPECT_FALSE(r.form.NoteReplaceCheck.Enabled); // NoteClickAdd's handler ran
    EXPECT_FALSE(r.form.State().MusicIsPlaying);
    EXPECT_EQ(r.form.List().Line(1), (MusicLine{"quarter", "C#4", "E4", ""}));
    EXPECT_EQ(r.form.List().Line(2).Mod, "Dot extra");
}

// The position display shows the loaded song, not what the previous one left there.
TEST(SongTarget, ALoadedSongShowsItsOwnPosition) {
    SongRig r;
    r.Load({"Whole C4 - -", "Whole D4 - -", "1/8 Tri E4 - -"});
    r.form.ShowEditPosition();
    ASSERT_EQ(r.form.Position().Labels().PlayBar, "003");
    QTemporaryDir dir;
    const struct {
        const char* lines;
        PositionLabels shown;
    } cases[] = {
        {"Half C4 -\r\nHalf D4 -\r\n", {"001", "01 01/02", "03.00", false}}, // its last line
        {"", {"001", "001", "00.00", false}},
    };
    for (const auto& c : cases) {
        QFile f(dir.filePath("song.tql"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write((kFormatText + "\r\nTimeSig 4\r\nMUSICLISTSTART\r\n" + c.lines).toUtf8());
        f.close();
        ASSERT_TRUE(r.songs.ActuallyLoadMusic(f.fileName()));
        const PositionLabels& l = r.form.Position().Labels();
        EXPECT_EQ((QStringList{l.PlayBar, l.PlayPos, l.PlaySig}),
                  (QStringList{c.shown.PlayBar, c.shown.PlayPos, c.shown.PlaySig}));
        EXPECT_EQ(l.PlayPosError, c.shown.PlayPosError);
    }
}

} // namespace
} // namespace tq
