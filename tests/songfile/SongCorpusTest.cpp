#include "SongTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tq {
namespace {

const QString kWeird = QStringLiteral("Probably weird file format");
const QString kLineError = QStringLiteral("Music list line error in save file");
const MusicLine kOldRow{"Whole", "A4", "", ""};
const std::vector<MusicLine> kSongRows = {
    {"Quarter", "C4", "E4", "Dot"}, {"1/8", "C#5", "", ""}, {"Half", "", "", ""}};

// The target before each load: a row and a time signature that any load would change.
void Prepare(FakeSongTarget& t) {
    t.lines = {kOldRow};
    t.timeSig = 9;
    t.lblTimeSig = "9";
}

// The settings of the files' common header.
void ExpectSongSettings(const FakeSongTarget& t) {
    EXPECT_EQ(t.keyboardOctave, 5);
    EXPECT_EQ(t.bpm, 120);
    EXPECT_EQ(t.timeSig, 3);
    EXPECT_EQ(t.noteSilenceRatio, 80);
    EXPECT_EQ(t.noteLengthIndex, 2);
    EXPECT_EQ(t.alternateTime, 40);
}

void ExpectUntouched(const FakeSongTarget& t) {
    EXPECT_EQ(t.lines, std::vector<MusicLine>{kOldRow});
    EXPECT_EQ(t.timeSig, 9);
    EXPECT_EQ(t.bpm, 140);
    EXPECT_EQ(t.stopPlayingCalls, 0);
}

TEST(SongCorpus, EachMalformedFileGivesItsMessagesAndLoadsWhatItCan) {
    struct Case {
        const char* file;
        std::vector<MsgAnswer> answers;
        QStringList titles;
        bool byteByByte;
        std::function<void(const FakeSongTarget&)> expect;
    };
    const Case cases[] = {
        {"empty.tql", {MsgAnswer::No}, {kWeird}, false, ExpectUntouched},
        {"empty.tql",
         {MsgAnswer::Yes},
         {kWeird},
         false,
         [](const FakeSongTarget& t) {
             EXPECT_TRUE(t.lines.empty());
             EXPECT_EQ(t.timeSig, 4);
         }},
        {"binary.tql", {MsgAnswer::No}, {kWeird}, true, ExpectUntouched},
        {"binary.tql",
         {MsgAnswer::Yes},
         {kWeird},
         true,
         [](const FakeSongTarget& t) { EXPECT_TRUE(t.lines.empty()); }},
        {"no-header.tql", {MsgAnswer::No}, {kWeird}, false, ExpectUntouched},
        {"no-header.tql",
         {MsgAnswer::Yes},
         {kWeird},
         false,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_EQ(t.lines, kSongRows);
         }},
        {"lower-case-header.tql", {MsgAnswer::No}, {kWeird}, false, ExpectUntouched},
        {"one-blank.tql",
         {},
         {kLineError, kLineError},
         false,
         [](const FakeSongTarget& t) {
             EXPECT_EQ(t.lines, (std::vector<MusicLine>{{"Quarter", "C4", "E4", ""},
                                                        {"Half", "D4", "", "Dot"},
                                                        {"1/8", "G4", "A4", ""}}));
         }},
        {"windows-1252.tql",
         {},
         {},
         true,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_EQ(t.lines, (std::vector<MusicLine>{
                                    {"Quarter", "C4", "E4", QString::fromUtf8("Dot caf\u00E9")},
                                    {"Half", "", "", QString::fromUtf8("\u20AC \u201Cx\u201D")}}));
         }},
        {"invalid-utf8.tql",
         {},
         {},
         true,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_EQ(t.lines, kSongRows);
         }},
        {"utf8-bom.tql",
         {},
         {},
         false,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_EQ(t.lines, (std::vector<MusicLine>{{"Quarter", "C4", "E4",
                                                         QString::fromUtf8("caf\u00E9 \u20AC")}}));
         }},
        // Without LF the whole file is one line: no settings and no list.
        {"cr-only.tql",
         {},
         {},
         false,
         [](const FakeSongTarget& t) {
             EXPECT_TRUE(t.lines.empty());
             EXPECT_EQ(t.timeSig, 4);
             EXPECT_EQ(t.bpm, 140);
         }},
        {"lf-only.tql",
         {},
         {},
         false,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_EQ(t.lines, kSongRows);
         }},
        {"crlf.tql",
         {},
         {},
         false,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_EQ(t.lines, kSongRows);
         }},
        // Keys without a blank are ignored; an empty value reads as 0.
        {"no-values.tql",
         {},
         {},
         false,
         [](const FakeSongTarget& t) {
             EXPECT_EQ(t.bpm, 140);
             EXPECT_EQ(t.bpmText, "");
             EXPECT_EQ(t.keyboardOctave, 4);
             EXPECT_EQ(t.Check(SongCheck::PlayNote1), 1);
             EXPECT_EQ(t.Check(SongCheck::PlayNote2), 0);
             EXPECT_EQ(t.noteLengthIndex, 0);
             EXPECT_EQ(t.timeSig, 1);
             EXPECT_EQ(t.lines, kSongRows);
         }},
        {"no-musicliststart.tql",
         {},
         {},
         false,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_TRUE(t.lines.empty());
         }},
        {"newer-revision.tql",
         {},
         {"Tonquill"},
         false,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             EXPECT_EQ(t.lines, kSongRows);
         }},
        {"nul-bytes.tql",
         {},
         {kLineError},
         false,
         [](const FakeSongTarget& t) {
             ExpectSongSettings(t);
             ASSERT_EQ(t.lines.size(), 1u);
             EXPECT_EQ(t.lines[0].Note1, QString("C") + QChar(0) + "4");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        SongRig rig;
        Prepare(rig.target);
        for (MsgAnswer a : c.answers) {
            rig.boxes.Answer(a);
        }
        rig.song.ActuallyLoadMusic(QStringLiteral(TQ_SONG_DATA "/") + c.file);
        EXPECT_EQ(rig.BoxTitles(), c.titles);
        EXPECT_EQ(rig.progress.ShowedByteByByte(), c.byteByByte);
        EXPECT_EQ(rig.progress.events.last(), "hide");
        EXPECT_FALSE(rig.target.broken);
        EXPECT_LE(rig.target.appendLinesCalls, 1);
        c.expect(rig.target);
    }
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
        EXPECT_FALSE(rig.progress.ShowedByteByByte());
        EXPECT_FALSE(rig.target.lines.empty());
        EXPECT_FALSE(rig.target.broken);

        const QString copy = dir.filePath(file);
        rig.dialogs.Answer(copy);
        rig.song.SaveMusic();
        EXPECT_EQ(ReadAll(copy), ReadAll(examples.filePath(file)));
    }
}

TEST(SongCorpus, AHundredThousandLineSongLoadsCompletelyInOneHandOver) {
    QStringList list;
    std::vector<MusicLine> rows;
    static const char* const kNotes[] = {"C4", "D#5", "G3", "A#6", "-"};
    for (int i = 0; i < 100000; ++i) {
        const QString n1 = kNotes[i % 5];
        const QString n2 = kNotes[(i / 5) % 5];
        list << QStringLiteral("1/8 %1 %2 %3").arg(n1, n2, i % 7 ? "-" : "Dot");
        rows.push_back({"1/8", n1 == "-" ? "" : n1, n2 == "-" ? "" : n2, i % 7 ? "" : "Dot"});
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("long.tql");
    ASSERT_TRUE(WriteAll(path, SongBytes({"BPM 300"}, list)));

    SongRig rig;
    rig.song.ActuallyLoadMusic(path);
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    EXPECT_EQ(rig.target.appendLinesCalls, 1);
    EXPECT_EQ(rig.target.lines, rows);
    EXPECT_EQ(rig.target.bpm, 300);
}

TEST(SongCorpus, HugeLinesAreReadWhole) {
    const QString megabyte(1 << 20, QLatin1Char('C'));
    struct Case {
        QStringList settings;
        QStringList list;
        int boxes;
        std::function<void(const FakeSongTarget&)> expect;
    };
    const Case cases[] = {
        {{}, {megabyte}, 1, [](const FakeSongTarget& t) { EXPECT_TRUE(t.lines.empty()); }},
        {{},
         {"Quarter " + megabyte + " E4"},
         0,
         [&](const FakeSongTarget& t) {
             ASSERT_EQ(t.lines.size(), 1u);
             EXPECT_EQ(t.lines[0].Note1, megabyte);
         }},
        {{"BPM " + QString(1 << 20, QLatin1Char('9'))},
         {},
         0,
         [](const FakeSongTarget& t) {
             EXPECT_EQ(t.bpm, 140);
             EXPECT_TRUE(t.bpmOrange);
         }},
    };
    for (const Case& c : cases) {
        SongRig rig;
        rig.song.LoadSongBytes(SongBytes(c.settings, c.list));
        ASSERT_EQ(int(rig.boxes.Boxes().size()), c.boxes);
        if (c.boxes) {
            EXPECT_TRUE(rig.boxes.Boxes()[0].text.contains("\n" + megabyte + "\n"));
        }
        EXPECT_FALSE(rig.target.broken);
        c.expect(rig.target);
    }
}

} // namespace
} // namespace tq
