#include "SongTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

// Every setting the reader can touch, one entry per control, so that a case also catches
// changes it should not make.
QStringList Snapshot(const FakeSongTarget& t) {
    const auto n = [](auto v) { return QString::number(v); };
    const auto orange = [](bool o) { return o ? QStringLiteral(" orange") : QString(); };
    QStringList s = {
        "octave " + n(t.keyboardOctave) + " '" + t.keyboardOctaveText + "' " + t.octLabels[0] +
            t.octLabels[1] + t.octLabels[2],
        "bpm " + n(t.bpm) + " '" + t.bpmText + "'" + orange(t.bpmOrange),
        "timesig " + n(t.timeSig) + " " + t.lblTimeSig,
        "ratio " + n(t.noteSilenceRatio) + " " + t.noteSilenceRatioLabel,
        "length " + n(t.noteLengthIndex),
        "alternate " + n(t.alternateTime) + " '" + t.alternateTimeText + "'" +
            orange(t.alternateTimeOrange),
        "options " + n(t.addNote1) + n(t.addNote2) + (t.addNoteOptionsEnabled ? "" : " disabled"),
    };
    QString checks = QStringLiteral("checks ");
    for (int c : t.checks) {
        checks += n(c);
    }
    return s << checks;
}

// The defaults with the entries that start like one of the changes replaced.
QStringList Expected(const QStringList& changes) {
    QStringList s = Snapshot(FakeSongTarget());
    for (const QString& c : changes) {
        for (QString& e : s) {
            if (e.section(' ', 0, 0) == c.section(' ', 0, 0)) {
                e = c;
            }
        }
    }
    return s;
}

TEST(SongReader, EachSettingsKeyRunsTheControlsOwnHandlerAndOutOfRangeValuesNeverLand) {
    const std::pair<QStringList, QStringList> cases[] = {
        {{"KeyboardOctave 6"}, {"octave 6 '6' 567"}},
        // The text box's handler lifts a low or unreadable octave to its minimum of 2.
        {{"keyboardoctave 1"}, {"octave 2 '2' 123"}},
        {{"KeyboardOctave abc"}, {"octave 2 '2' 123"}},
        {{"KEYBOARDOCTAVE 7.5"}, {"octave 8 '7.5' 789"}},
        // Octaves beyond the unsigned 8-bit variable are dropped.
        {{"KeyboardOctave 256"}, {}},
        {{"KeyboardOctave -1"}, {}},
        {{"bpm 120.5"}, {"bpm 120 '120.5'"}},
        {{"Bpm 121.5"}, {"bpm 122 '121.5'"}},
        // The variable is set before the text box, which refuses an out-of-range text.
        {{"BPM 20"}, {"bpm 20 '20' orange"}},
        // A tempo below 1 never reaches the variable.
        {{"BPM 0"}, {"bpm 140 '0' orange"}},
        {{"BPM -30"}, {"bpm 140 '-30' orange"}},
        {{"BPM 99999999999"}, {"bpm 140 '99999999999' orange"}},
        {{"BPM abc"}, {}},
        {{"BPM "}, {"bpm 140 ''"}},
        {{"BPM 100", "BPM 200"}, {"bpm 200 '200'"}},
        {{"TimeSig 7"}, {"timesig 7 7"}},
        {{"TimeSig 0"}, {"timesig 1 1"}},
        {{"TimeSig 99"}, {"timesig 32 32"}},
        {{"NoteSilenceRatio 5"}, {"ratio 5 05%"}},
        {{"NoteSilenceRatio 0"}, {"ratio 5 05%"}},
        {{"NoteSilenceRatio 250"}, {"ratio 100 100%"}},
        {{"NoteLength 0"}, {"length 0"}},
        {{"NoteLength 5"}, {}},
        {{"NoteLength -1"}, {}},
        {{"AlternateTime 44.5"}, {"alternate 44 '44'"}},
        {{"AlternateTime 5"}, {"alternate 5 '5' orange"}},
        // An alternation time below 1 or beyond 16 bits is shown, orange, but not used.
        {{"AlternateTime 0"}, {"alternate 30 '0' orange"}},
        {{"AlternateTime 40000"}, {"alternate 30 '40000' orange"}},
        {{"NoteClickPlay 0", "ClickPlayNote1 0.4", "ClickPlayNote2 0", "playnote1 0"},
         {"checks 01000001"}},
        {{"NoteClickAdd 0", "NoteLengthReplace 1", "PlayNote2 0"},
         {"checks 10011110", "options 10 disabled"}},
        // Check-box states other than 0 and 1 are dropped; NoteReplace is never read.
        {{"PlayNote1 2", "PlayNote2 -1", "NoteReplace 1"}, {}},
        {{"AddNote1 0"}, {"options 00"}},
        {{"AddNote2 7"}, {"options 01"}},
        {{"AddNote2 0.5"}, {"options 01"}},
        {{"AddNote1 abc"}, {"options 00"}},
        // Lines without a blank have no value; the others here are no settings at all.
        {{"BPM", "PlayNote1", "BPM\t120", " BPM 120", "//BPM 120", "Volume 5", "Revision 100"}, {}},
    };
    for (const auto& [lines, changes] : cases) {
        SongRig rig;
        rig.song.LoadSongBytes(SongBytes(lines, {}));
        EXPECT_EQ(Snapshot(rig.target), Expected(changes)) << lines.join(" | ").toStdString();
        EXPECT_FALSE(rig.target.broken) << lines.join(" | ").toStdString();
        EXPECT_TRUE(rig.boxes.Boxes().empty()) << lines.join(" | ").toStdString();
    }
}

TEST(SongReader, AFileWithoutTimeSigResetsItToFourAndKeepsWhatItDoesNotName) {
    SongRig rig;
    rig.target.SetTimeSig(7);
    rig.target.bpm = 90;
    rig.song.LoadSongBytes(SongBytes({"PlayNote1 0"}, {}));
    EXPECT_EQ(rig.target.lblTimeSig, "4");
    EXPECT_EQ(rig.target.bpm, 90);
}

TEST(SongReader, ANewerRevisionIsReportedOncePerLineAndLoadingGoesOn) {
    const std::pair<const char*, size_t> cases[] = {
        {"Revision 149", 1},  {"REVISION 148.6", 1}, {"Revision 148.5", 0},
        {"Revision 149x", 0}, {"Revision", 0},       {"RevisionX 200", 0},
    };
    for (const auto& [line, boxes] : cases) {
        SongRig rig;
        rig.song.LoadSongBytes(SongBytes({line, "BPM 99"}, {"Half C4 -"}));
        ASSERT_EQ(rig.boxes.Boxes().size(), boxes) << line;
        EXPECT_EQ(rig.target.bpm, 99) << line;
        EXPECT_EQ(rig.target.lines.size(), 1u) << line;
    }
    SongRig rig;
    rig.song.LoadSongBytes(SongBytes({"revision 200"}, {}));
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    const auto& box = rig.boxes.Boxes()[0];
    EXPECT_EQ(box.title, "Tonquill");
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(box.text,
              "This file was made with a newer version of Tonquill than you're using. As long "
              "as it doesn't contain info about features only in a newer version, there should "
              "be no problem opening it with this version.\r\n\r\nHowever, I'll have made the "
              "newer version for a reason, so I recommend that you download and use it "
              "instead.\r\n\r\nYou can get it from https://tonquill.example.org/download");
}

TEST(SongReader, AFileWithoutTheFormatTextAsksFirst) {
    SongRig rig;
    rig.boxes.Answer(MsgAnswer::No);
    rig.song.LoadSongBytes("Tonquill by Vellomar\r\nMUSICLISTSTART\r\n");
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    const auto& box = rig.boxes.Boxes()[0];
    EXPECT_EQ(box.title, "Probably weird file format");
    EXPECT_EQ(box.text, "This file doesn't contain this text at the start of it which says that "
                        "it is in this program's format: \nTonquill by Vellomar file format\n\n"
                        "Of course, apart from that it could still be in this program's "
                        "format.\nTry to load it?");
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
}

// The first bad line has its own box; at the second the user may skip all the rest, and
// is then told how many there were. Lines with control characters are never notes.
TEST(SongReader, MalformedListLinesAreSkippedAndCancelKeepsTheRowsReadSoFar) {
    const QString line = QStringLiteral("Music list line error in save file");
    const QString skip = QStringLiteral("Skip the other bad lines?");
    using A = MsgAnswer;
    const std::tuple<std::vector<MsgAnswer>, QStringList, size_t> cases[] = {
        {{A::Ok, A::No, A::Ok, A::Ok}, {line, skip, line, line}, 3},
        {{A::Ok, A::No, A::Cancel}, {line, skip, line}, 2},
        {{A::Cancel}, {line}, 1},
        {{A::Ok, A::Yes}, {line, skip, line}, 3},
    };
    for (const auto& [answers, titles, rows] : cases) {
        SongRig rig;
        for (MsgAnswer a : answers) {
            rig.boxes.Answer(a);
        }
        rig.song.LoadSongBytes(SongBytes({}, {"Quarter C4 E4", "1/4 C4", "Half D4 - Dot", "Whole",
                                              "1/8 G4 A4", QString("Half \x01\x7f E4")}));
        ASSERT_EQ(rig.BoxTitles(), titles);
        EXPECT_EQ(rig.target.lines.size(), rows);
        EXPECT_EQ(rig.target.stopPlayingCalls, 1);
        const auto& box = rig.boxes.Boxes()[0];
        EXPECT_EQ(box.title, "Music list line error in save file");
        EXPECT_EQ(box.buttons, MsgButtons::OkCancel);
        EXPECT_EQ(box.text,
                  "After 'MUSICLISTSTART' in the save file, there should be only lines of \n"
                  "Length Note1 Note2\r\nOR:Length Note1 Note2 Mod\nHowever, there are less "
                  "than 3 things on this line separated by a space. \nThe line is: \n1/4 C4\n"
                  "This line will be skipped.\n\nCarry on trying to load the file?");
        EXPECT_TRUE(rig.log.Trimmed().contains("LoadMusicListLineError(ERRORLINE:1/4 C4)"));
        if (answers.back() == A::Yes) {
            EXPECT_EQ(rig.boxes.Boxes().back().text,
                      "3 lines of this file were not music and were skipped.");
        }
    }
}

TEST(SongReader, AUtf16OrUtf32FileIsRefusedWithItsEncodingNamedAndChangesNothing) {
    const std::pair<QByteArray, QString> cases[] = {
        {QByteArray("\xFF\xFET\0o\0", 6), "UTF-16"},
        {QByteArray("\xFE\xFF\0T\0o", 6), "UTF-16"},
        {QByteArray("\xFF\xFE\0\0T\0\0\0", 8), "UTF-32"},
        {QByteArray("\0\0\xFE\xFF\0\0\0T", 8), "UTF-32"},
    };
    for (const auto& [bytes, encoding] : cases) {
        SongRig rig;
        rig.target.lines = {{"Whole", "A4", "", ""}};
        EXPECT_FALSE(rig.song.LoadSongBytes(bytes));
        ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
        EXPECT_EQ(rig.boxes.Boxes()[0].text,
                  "This file is " + encoding +
                      " text, which this program can't read.\n\nSave it as UTF-8 or Latin-1 "
                      "and load it again.");
        EXPECT_EQ(rig.target.lines.size(), 1u);
        EXPECT_EQ(rig.target.clearLinesCalls, 0);
    }
}

TEST(SongReader, LoadingAFileLogsItsStepsAndShowsLoadingInPlaceOfTheButtons) {
    QTemporaryDir dir;
    const QString path = dir.filePath("song.tql");
    ASSERT_TRUE(WriteAll(path, SongBytes({"Revision 148", "BPM 120"}, {"Half C4 D4"})));
    SongRig rig;
    rig.song.ActuallyLoadMusic(path);
    EXPECT_EQ(rig.progress.events, (QStringList{"show", "text Loading...", "repaint", "hide"}));
    EXPECT_EQ(rig.log.Trimmed(),
              (QStringList{"ActuallyLoadMusic(\"" + path + "\") - START",
                           "Removing new-line chars from value of each index in SplitFile()",
                           "GetSettingValue(\"BPM 120\")", "Loading music list", "EndOfLoadMusic",
                           "ActuallyLoadMusic() - END"}));
    EXPECT_EQ(rig.log.indent, 0);
}

TEST(SongReader, AFileThatCannotBeReadIsReportedAndChangesNothing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder");
    QFile big(dir.filePath("big.tql"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(SongFile::kMaxSongBytes + 1)); // sparse: no disk used
    big.close();
    const QString locked = dir.filePath("locked.tql");
    ASSERT_TRUE(WriteAll(locked, SongBytes({}, {})));
    QFile::setPermissions(locked, QFile::WriteOwner);
    QFile::setPermissions(dir.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);

    const std::pair<QString, QString> cases[] = {
        {dir.filePath("folder"), "It is a folder, not a file."},
        {dir.filePath("missing.tql"), "No such file or directory."},
        {dir.filePath("big.tql"), "It is 67108865 bytes, more than the limit of 67108864 bytes."},
        {locked, "Permission denied."},
        {"/dev/zero", "It is a device, not a file."},
    };
    for (const auto& [path, why] : cases) {
        SongRig rig;
        rig.target.lines = {{"Whole", "A4", "", ""}};
        {
            AsUnprivilegedUser nobody;
            rig.song.ActuallyLoadMusic(path);
        }
        ASSERT_EQ(rig.boxes.Boxes().size(), 1u) << path.toStdString();
        EXPECT_EQ(rig.boxes.Boxes()[0].title, "Can't open file!");
        EXPECT_EQ(rig.boxes.Boxes()[0].text,
                  "The file you want to open...\n" + path + "\n...can't be read.\n\n" + why);
        EXPECT_EQ(rig.target.lines.size(), 1u);
        EXPECT_EQ(rig.target.clearLinesCalls, 0);
        EXPECT_EQ(rig.progress.events.last(), "hide");
    }
}

} // namespace
} // namespace tq
