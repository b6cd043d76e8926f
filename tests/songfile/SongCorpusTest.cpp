#include "SongTestSupport.h"
#include "songfile/SongFormat.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

const MusicLine kOldRow{"Whole", "A4", "", ""};
const std::vector<MusicLine> kSongRows = {
    {"Quarter", "C4", "E4", "Dot"}, {"1/8", "C#5", "", ""}, {"Half", "", "", ""}};
const QStringList kNone;
const QStringList kWeird{"Probably weird file format"};
const QString kLineError = QStringLiteral("Music list line error in save file");
const QString kSkip = QStringLiteral("Skip the other bad lines?");

TEST(SongCorpus, EachMalformedFileGivesItsMessagesAndLoadsWhatItCan) {
    enum Settings { Untouched, Header, Default };
    struct Case {
        const char* file;
        MsgAnswer answer; // to the format question
        QStringList titles;
        bool byteByByte;
        Settings settings; // Header: those of the files' common header
        std::vector<MusicLine> rows;
    };
    const std::vector<MusicLine> old{kOldRow};
    const Case cases[] = {
        {"empty.tql", MsgAnswer::No, kWeird, false, Untouched, old},
        {"empty.tql", MsgAnswer::Yes, kWeird, false, Default, {}},
        {"binary.tql", MsgAnswer::No, kWeird, true, Untouched, old},
        {"binary.tql", MsgAnswer::Yes, kWeird, true, Default, {}},
        {"no-header.tql", MsgAnswer::No, kWeird, false, Untouched, old},
        {"no-header.tql", MsgAnswer::Yes, kWeird, false, Header, kSongRows},
        {"lower-case-header.tql", MsgAnswer::No, kWeird, false, Untouched, old},
        {"one-blank.tql",
         MsgAnswer::Yes,
         {kLineError, kSkip, kLineError},
         false,
         Header,
         {{"Quarter", "C4", "E4", ""}, {"Half", "D4", "", "Dot"}, {"1/8", "G4", "A4", ""}}},
        {"windows-1252.tql",
         MsgAnswer::Yes,
         kNone,
         true,
         Header,
         {{"Quarter", "C4", "E4", QString::fromUtf16(u"Dot caf\u00E9")},
          {"Half", "", "", QString::fromUtf16(u"\u20AC \u201Cx\u201D")}}},
        {"invalid-utf8.tql", MsgAnswer::Yes, kNone, true, Header, kSongRows},
        {"utf8-bom.tql",
         MsgAnswer::Yes,
         kNone,
         false,
         Header,
         {{"Quarter", "C4", "E4", QString::fromUtf16(u"caf\u00E9 \u20AC")}}},
        // Without LF the whole file is one line: no settings and no list.
        {"cr-only.tql", MsgAnswer::Yes, kNone, false, Default, {}},
        {"lf-only.tql", MsgAnswer::Yes, kNone, false, Header, kSongRows},
        {"crlf.tql", MsgAnswer::Yes, kNone, false, Header, kSongRows},
        {"no-musicliststart.tql", MsgAnswer::Yes, kNone, false, Header, {}},
        {"newer-revision.tql", MsgAnswer::Yes, {"Tonquill"}, false, Header, kSongRows},
        // A note with a NUL in it is no note.
        {"nul-bytes.tql", MsgAnswer::Yes, {kLineError, kSkip, kLineError}, false, Header, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        SongRig rig;
        rig.target.lines = {kOldRow};
        rig.target.SetTimeSig(9);
        rig.boxes.Answer(c.answer);
        rig.song.ActuallyLoadMusic(QStringLiteral(TQ_SONG_DATA "/") + c.file);
        EXPECT_EQ(rig.BoxTitles(), c.titles);
        EXPECT_EQ(rig.progress.ShowedByteByByte(), c.byteByByte);
        EXPECT_EQ(rig.progress.events.last(), "hide");
        EXPECT_FALSE(rig.target.broken);
        EXPECT_EQ(rig.target.lines, c.rows);
        EXPECT_EQ(rig.target.stopPlayingCalls, c.settings == Untouched ? 0 : 1);
        const int timeSig = c.settings == Untouched ? 9 : c.settings == Header ? 3 : 4;
        EXPECT_EQ(rig.target.timeSig, timeSig);
        EXPECT_EQ(rig.target.bpm, c.settings == Header ? 120 : 140);
        EXPECT_EQ(rig.target.keyboardOctave, c.settings == Header ? 5 : 4);
    }
}

TEST(SongCorpus, KeysWithoutABlankAreIgnoredAndEmptyValuesReadAsZero) {
    SongRig rig;
    rig.song.ActuallyLoadMusic(QStringLiteral(TQ_SONG_DATA "/no-values.tql"));
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    EXPECT_EQ(rig.target.bpm, 140);
    EXPECT_EQ(rig.target.bpmText, "");
    EXPECT_EQ(rig.target.keyboardOctave, 4);
    EXPECT_EQ(rig.target.Check(SongCheck::PlayNote1), 1);
    EXPECT_EQ(rig.target.Check(SongCheck::PlayNote2), 0);
    EXPECT_EQ(rig.target.noteLengthIndex, 0);
    EXPECT_EQ(rig.target.timeSig, 1);
    EXPECT_EQ(rig.target.lines, kSongRows);
}

// The example songs load without a question and are written back byte for byte.
TEST(SongCorpus, EveryExampleSongLoadsCleanlyAndSavesBackUnchanged) {
    const QDir examples(QStringLiteral(TQ_EXAMPLES));
    const QStringList files = examples.entryList({QStringLiteral("*.tql")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    QTemporaryDir dir;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        SongRig rig;
        rig.song.ActuallyLoadMusic(examples.filePath(file));
        EXPECT_TRUE(rig.boxes.Boxes().empty());
        EXPECT_FALSE(rig.target.lines.empty());
        rig.dialogs.Answer(dir.filePath(file));
        rig.song.SaveMusic();
        EXPECT_EQ(ReadAll(dir.filePath(file)), ReadAll(examples.filePath(file)));
    }
}

TEST(SongCorpus, AHundredThousandLineSongLoadsCompletelyInTwoHandOvers) {
    QStringList list;
    std::vector<MusicLine> rows;
    const QString notes[] = {"C4", "D#5", "G3", "A#6", ""};
    for (int i = 0; i < 100000; ++i) {
        rows.push_back({"1/8", notes[i % 5], notes[(i / 5) % 5], i % 7 ? "" : "Dot"});
        list << MusicListLineText(rows.back());
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("long.tql");
    ASSERT_TRUE(WriteAll(path, SongBytes({"BPM 300"}, list)));

    SongRig rig;
    rig.song.ActuallyLoadMusic(path);
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    EXPECT_EQ(rig.target.appendLinesCalls, 2); // 65,536 lines at a time
    EXPECT_EQ(rig.target.lines, rows);
    EXPECT_EQ(rig.target.bpm, 300);
}

TEST(SongCorpus, HugeLinesAreReadWhole) {
    const QString megabyte(1 << 20, QLatin1Char('C'));
    SongRig rig;
    rig.song.LoadSongBytes(SongBytes({"BPM " + QString(1 << 20, QLatin1Char('9'))},
                                     {megabyte, "Quarter " + megabyte + " E4"}));
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    EXPECT_TRUE(rig.boxes.Boxes()[0].text.contains("\n" + megabyte + "\n"));
    ASSERT_EQ(rig.target.lines.size(), 1u);
    EXPECT_EQ(rig.target.lines[0].Note1, megabyte);
    EXPECT_EQ(rig.target.bpm, 140);
    EXPECT_TRUE(rig.target.bpmOrange);
}

} // namespace
} // namespace tq
