#include "SongTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tq {
namespace {

// Every setting the reader can touch, so a case also catches changes it should not make.
struct Settings {
    int octave;
    QString octaveText;
    QString octaveLabels;
    int bpm;
    QString bpmText;
    bool bpmOrange;
    int timeSig;
    QString lblTimeSig;
    int ratio;
    QString ratioLabel;
    int length;
    int alternateTime;
    QString alternateText;
    bool alternateOrange;
    std::array<int, 8> checks;
    bool addNote1;
    bool addNote2;
    bool optionsEnabled;

    static Settings Of(const FakeSongTarget& t) {
        return {t.keyboardOctave,
                t.keyboardOctaveText,
                t.octLabels[0] + "," + t.octLabels[1] + "," + t.octLabels[2],
                t.bpm,
                t.bpmText,
                t.bpmOrange,
                t.timeSig,
                t.lblTimeSig,
                t.noteSilenceRatio,
                t.noteSilenceRatioLabel,
                t.noteLengthIndex,
                t.alternateTime,
                t.alternateTimeText,
                t.alternateTimeOrange,
                t.checks,
                t.addNote1,
                t.addNote2,
                t.addNoteOptionsEnabled};
    }
    bool operator==(const Settings&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Settings& s) {
    os << "octave " << s.octave << " '" << s.octaveText.toStdString() << "' labels "
       << s.octaveLabels.toStdString() << ", bpm " << s.bpm << " '" << s.bpmText.toStdString()
       << "' orange " << s.bpmOrange << ", timesig " << s.timeSig << " '"
       << s.lblTimeSig.toStdString() << "', ratio " << s.ratio << " '" << s.ratioLabel.toStdString()
       << "', length " << s.length << ", alt " << s.alternateTime << " '"
       << s.alternateText.toStdString() << "' orange " << s.alternateOrange << ", checks";
    for (int c : s.checks) {
        os << ' ' << c;
    }
    return os << ", add1 " << s.addNote1 << " add2 " << s.addNote2 << " enabled "
              << s.optionsEnabled;
}

constexpr size_t Box(SongCheck c) {
    return static_cast<size_t>(c);
}

TEST(SongReader, EachSettingsKeyRunsTheControlsOwnHandlerAndOutOfRangeValuesNeverLand) {
    struct Case {
        QStringList lines;
        std::function<void(Settings&)> expect;
    };
    const Case cases[] = {
        {{"KeyboardOctave 6"},
         [](Settings& s) { s.octave = 6, s.octaveText = "6", s.octaveLabels = "5,6,7"; }},
        // The text box's handler lifts a low octave to its minimum of 2.
        {{"keyboardoctave 1"},
         [](Settings& s) { s.octave = 2, s.octaveText = "2", s.octaveLabels = "1,2,3"; }},
        {{"KEYBOARDOCTAVE 7.5"},
         [](Settings& s) { s.octave = 8, s.octaveText = "7.5", s.octaveLabels = "7,8,9"; }},
        {{"KeyboardOctave abc"},
         [](Settings& s) { s.octave = 2, s.octaveText = "2", s.octaveLabels = "1,2,3"; }},
        // Octaves that do not fit the unsigned 8-bit variable are dropped.
        {{"KeyboardOctave 256"}, [](Settings&) {}},
        {{"KeyboardOctave -1"}, [](Settings&) {}},
        {{"BPM 120"}, [](Settings& s) { s.bpm = 120, s.bpmText = "120"; }},
        {{"bpm 120.5"}, [](Settings& s) { s.bpm = 120, s.bpmText = "120.5"; }},
        {{"Bpm 121.5"}, [](Settings& s) { s.bpm = 122, s.bpmText = "121.5"; }},
        // The variable is set before the text box, which refuses an out-of-range text.
        {{"BPM 20"}, [](Settings& s) { s.bpm = 20, s.bpmText = "20", s.bpmOrange = true; }},
        // A tempo below 1 never reaches the variable.
        {{"BPM 0"}, [](Settings& s) { s.bpmText = "0", s.bpmOrange = true; }},
        {{"BPM -30"}, [](Settings& s) { s.bpmText = "-30", s.bpmOrange = true; }},
        {{"BPM 0.4"}, [](Settings& s) { s.bpmText = "0.4", s.bpmOrange = true; }},
        {{"BPM 99999999999"}, [](Settings& s) { s.bpmText = "99999999999", s.bpmOrange = true; }},
        // Not numeric: the text box puts the tempo back.
        {{"BPM abc"}, [](Settings&) {}},
        {{"BPM "}, [](Settings& s) { s.bpmText = ""; }},
        {{"BPM  150"}, [](Settings& s) { s.bpm = 150, s.bpmText = " 150"; }},
        {{"BPM 100", "BPM 200"}, [](Settings& s) { s.bpm = 200, s.bpmText = "200"; }},
        {{"TimeSig 7"}, [](Settings& s) { s.timeSig = 7, s.lblTimeSig = "7"; }},
        {{"TimeSig 0"}, [](Settings& s) { s.timeSig = 1, s.lblTimeSig = "1"; }},
        {{"TimeSig -3"}, [](Settings& s) { s.timeSig = 1, s.lblTimeSig = "1"; }},
        {{"TimeSig 99"}, [](Settings& s) { s.timeSig = 32, s.lblTimeSig = "32"; }},
        {{"NoteSilenceRatio 5"}, [](Settings& s) { s.ratio = 5, s.ratioLabel = "05%"; }},
        {{"NoteSilenceRatio 100"}, [](Settings& s) { s.ratio = 100, s.ratioLabel = "100%"; }},
        {{"NoteSilenceRatio 0"}, [](Settings& s) { s.ratio = 5, s.ratioLabel = "05%"; }},
        {{"NoteSilenceRatio 250"}, [](Settings& s) { s.ratio = 100, s.ratioLabel = "100%"; }},
        {{"NoteLength 0"}, [](Settings& s) { s.length = 0; }},
        {{"NoteLength 4"}, [](Settings& s) { s.length = 4; }},
        {{"NoteLength 5"}, [](Settings&) {}},
        {{"NoteLength -1"}, [](Settings&) {}},
        {{"AlternateTime 45"}, [](Settings& s) { s.alternateTime = 45, s.alternateText = "45"; }},
        {{"AlternateTime 44.5"}, [](Settings& s) { s.alternateTime = 44, s.alternateText = "44"; }},
        {{"AlternateTime 5"},
         [](Settings& s) { s.alternateTime = 5, s.alternateText = "5", s.alternateOrange = true; }},
        // An alternation time below 1 or beyond 16 bits is shown, orange, but not used.
        {{"AlternateTime 0"}, [](Settings& s) { s.alternateText = "0", s.alternateOrange = true; }},
        {{"AlternateTime "}, [](Settings& s) { s.alternateText = "0", s.alternateOrange = true; }},
        {{"AlternateTime 40000"},
         [](Settings& s) { s.alternateText = "40000", s.alternateOrange = true; }},
        {{"PlayNote1 0"}, [](Settings& s) { s.checks[Box(SongCheck::PlayNote1)] = 0; }},
        {{"playnote2 0"}, [](Settings& s) { s.checks[Box(SongCheck::PlayNote2)] = 0; }},
        {{"ClickPlayNote1 0.4"}, [](Settings& s) { s.checks[Box(SongCheck::ClickPlayNote1)] = 0; }},
        {{"ClickPlayNote2 0"}, [](Settings& s) { s.checks[Box(SongCheck::ClickPlayNote2)] = 0; }},
        {{"NoteClickPlay 0"}, [](Settings& s) { s.checks[Box(SongCheck::NoteClickPlay)] = 0; }},
        {{"NoteClickAdd 0"},
         [](Settings& s) { s.checks[Box(SongCheck::NoteClickAdd)] = 0, s.optionsEnabled = false; }},
        {{"NoteLengthReplace 1"},
         [](Settings& s) { s.checks[Box(SongCheck::NoteLengthReplace)] = 1; }},
        // Check-box states other than 0 and 1 are dropped.
        {{"PlayNote1 2"}, [](Settings&) {}},
        {{"PlayNote1 -1"}, [](Settings&) {}},
        {{"PlayNote1 abc"}, [](Settings& s) { s.checks[Box(SongCheck::PlayNote1)] = 0; }},
        // NoteReplace is written but never read.
        {{"NoteReplace 1"}, [](Settings&) {}},
        {{"AddNote1 0"}, [](Settings& s) { s.addNote1 = false; }},
        {{"AddNote2 1"}, [](Settings& s) { s.addNote1 = false, s.addNote2 = true; }},
        {{"AddNote2 7"}, [](Settings& s) { s.addNote1 = false, s.addNote2 = true; }},
        {{"AddNote2 0.5"}, [](Settings& s) { s.addNote1 = false, s.addNote2 = true; }},
        {{"AddNote1 0", "AddNote2 0"}, [](Settings& s) { s.addNote1 = false; }},
        {{"AddNote1 abc"}, [](Settings& s) { s.addNote1 = false; }},
        // Lines without a blank have no value; other lines are no settings at all.
        {{"BPM"}, [](Settings&) {}},
        {{"PlayNote1"}, [](Settings&) {}},
        {{"BPM\t120"}, [](Settings&) {}},
        {{" BPM 120"}, [](Settings&) {}},
        {{"//BPM 120"}, [](Settings&) {}},
        {{"Volume 5", "Revision 100", "bpm120 5"}, [](Settings&) {}},
    };
    for (const Case& c : cases) {
        SongRig rig;
        Settings expected = Settings::Of(rig.target);
        c.expect(expected);
        rig.song.LoadSongBytes(SongBytes(c.lines, {}));
        EXPECT_EQ(Settings::Of(rig.target), expected) << c.lines.join(" | ").toStdString();
        EXPECT_FALSE(rig.target.broken) << c.lines.join(" | ").toStdString();
        EXPECT_TRUE(rig.boxes.Boxes().empty()) << c.lines.join(" | ").toStdString();
    }
}

TEST(SongReader, AFileWithoutTimeSigResetsItToFourAndKeepsSettingsItDoesNotName) {
    SongRig rig;
    rig.target.timeSig = 7;
    rig.target.lblTimeSig = "7";
    rig.target.bpm = 90;
    rig.target.bpmText = "90";
    rig.target.checks[Box(SongCheck::NoteReplace)] = 1;
    rig.song.LoadSongBytes(SongBytes({"NoteReplace 0", "PlayNote1 0"}, {}));
    EXPECT_EQ(rig.target.timeSig, 4);
    EXPECT_EQ(rig.target.lblTimeSig, "4");
    EXPECT_EQ(rig.target.bpm, 90);
    EXPECT_EQ(rig.target.checks[Box(SongCheck::NoteReplace)], 1);
    EXPECT_EQ(rig.target.checks[Box(SongCheck::PlayNote1)], 0);
}

TEST(SongReader, TheMusicListReplacesTheOldOneInOneBulkCallAndPlaybackStops) {
    SongRig rig;
    rig.target.lines = {{"Whole", "A4", "", ""}};
    rig.target.musicIsPlaying = true;
    rig.song.LoadSongBytes(
        SongBytes({}, {"//Length Note1 Note2", "Quarter C4 E4 Dot", "", "1/8 c#5 - -", "//comment",
                       "Half - - -", "quarter c#4 e4", "1/8 C4 D4 Dot extra"}));
    const std::vector<MusicLine> expected = {{"Quarter", "C4", "E4", "Dot"},
                                             {"1/8", "C#5", "", ""},
                                             {"Half", "", "", ""},
                                             {"quarter", "C#4", "E4", ""},
                                             {"1/8", "C4", "D4", "Dot extra"}};
    EXPECT_EQ(rig.target.lines, expected);
    EXPECT_EQ(rig.target.clearLinesCalls, 1);
    EXPECT_EQ(rig.target.appendLinesCalls, 1);
    EXPECT_FALSE(rig.target.musicIsPlaying);
    EXPECT_EQ(rig.target.stopPlayingCalls, 1);
}

TEST(SongReader, SettingsAfterMusicListStartAreListLinesAndAMissingStartEmptiesTheList) {
    struct Case {
        QByteArray bytes;
        int bpm;
        std::vector<MusicLine> lines;
    };
    const QByteArray header = "Tonquill by Vellomar file format\r\n";
    const Case cases[] = {
        {header + "BPM 100\r\nmusicliststart and more\r\nBPM 200 x\r\n",
         100,
         {{"BPM", "200", "X", ""}}},
        {header + "BPM 100\r\nHalf C4 D4\r\n", 100, {}},
        {header + "MUSICLISTSTART", 140, {}},
        {header + "MUSICLISTSTART\r\nRevision 999 x\r\n", 140, {{"Revision", "999", "X", ""}}},
    };
    for (const Case& c : cases) {
        SongRig rig;
        rig.target.lines = {{"Whole", "A4", "", ""}};
        rig.song.LoadSongBytes(c.bytes);
        EXPECT_EQ(rig.target.bpm, c.bpm) << c.bytes.constData();
        EXPECT_EQ(rig.target.lines, c.lines) << c.bytes.constData();
        EXPECT_TRUE(rig.boxes.Boxes().empty()) << c.bytes.constData();
    }
}

TEST(SongReader, ANewerRevisionIsReportedOncePerLineAndLoadingGoesOn) {
    struct Case {
        const char* line;
        int boxes;
    };
    const Case cases[] = {
        {"Revision 149", 1},  {"revision 200", 1},   {"REVISION 148.6", 1},
        {"Revision 148", 0},  {"Revision 148.5", 0}, {"Revision 12", 0},
        {"Revision 149x", 0}, {"Revision", 0},       {"RevisionX 200", 0},
    };
    for (const Case& c : cases) {
        SongRig rig;
        rig.song.LoadSongBytes(SongBytes({c.line, "BPM 99"}, {"Half C4 -"}));
        ASSERT_EQ(int(rig.boxes.Boxes().size()), c.boxes) << c.line;
        EXPECT_EQ(rig.target.bpm, 99) << c.line;
        EXPECT_EQ(rig.target.lines.size(), 1u) << c.line;
        if (c.boxes) {
            const auto& box = rig.boxes.Boxes()[0];
            EXPECT_EQ(box.title, "Tonquill");
            EXPECT_EQ(box.icon, MsgIcon::None);
            EXPECT_EQ(box.buttons, MsgButtons::Ok);
            EXPECT_EQ(box.text,
                      "This file was made with a newer version of Tonquill than you're using. "
                      "As long as it doesn't contain info about features only in a newer "
                      "version, there should be no problem opening it with this version.\r\n\r\n"
                      "However, I'll have made the newer version for a reason, so I recommend "
                      "that you download and use it instead.\r\n\r\nYou can get it from "
                      "https://tonquill.example.org/download");
            EXPECT_TRUE(rig.log.Trimmed().contains("File was made with newer program version"));
        }
    }
}

TEST(SongReader, AFileWithoutTheFormatTextAsksAndNoLeavesEverythingAlone) {
    struct Case {
        QByteArray header;
        MsgAnswer answer;
        bool loaded;
    };
    const Case cases[] = {
        {"tonquill by vellomar file format", MsgAnswer::No, false},
        {"tonquill by vellomar file format", MsgAnswer::Yes, true},
        {"Tonquill by Vellomar", MsgAnswer::No, false},
        {"", MsgAnswer::No, false},
    };
    for (const Case& c : cases) {
        SongRig rig;
        rig.target.timeSig = 9;
        rig.target.lines = {{"Whole", "A4", "", ""}};
        rig.target.musicIsPlaying = true;
        rig.boxes.Answer(c.answer);
        rig.song.LoadSongBytes(c.header + "\r\nBPM 100\r\nMUSICLISTSTART\r\nHalf C4 D4\r\n");
        ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
        const auto& box = rig.boxes.Boxes()[0];
        EXPECT_EQ(box.title, "Probably weird file format");
        EXPECT_EQ(box.text, "This file doesn't contain this text at the start of it which says "
                            "that it is in this program's format: \nTonquill by Vellomar file "
                            "format\n\nOf course, apart from that it could still be in this "
                            "program's format.\nTry to load it?");
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        EXPECT_EQ(rig.target.bpm, c.loaded ? 100 : 140);
        EXPECT_EQ(rig.target.timeSig, c.loaded ? 4 : 9);
        EXPECT_EQ(rig.target.lines,
                  (std::vector<MusicLine>{c.loaded ? MusicLine{"Half", "C4", "D4", ""}
                                                   : MusicLine{"Whole", "A4", "", ""}}));
        EXPECT_EQ(rig.target.musicIsPlaying, !c.loaded);
    }
}

TEST(SongReader, MalformedListLinesAreSkippedAndCancelKeepsTheRowsReadSoFar) {
    const QStringList list = {"Quarter C4 E4", "1/4 C4", "Half D4 - Dot", "Whole", "1/8 G4 A4"};
    struct Case {
        std::vector<MsgAnswer> answers;
        int boxes;
        size_t rows;
    };
    const Case cases[] = {
        {{MsgAnswer::Ok, MsgAnswer::Ok}, 2, 3},
        {{MsgAnswer::Ok, MsgAnswer::Cancel}, 2, 2},
        {{MsgAnswer::Cancel}, 1, 1},
    };
    for (const Case& c : cases) {
        SongRig rig;
        for (MsgAnswer a : c.answers) {
            rig.boxes.Answer(a);
        }
        rig.song.LoadSongBytes(SongBytes({}, list));
        ASSERT_EQ(int(rig.boxes.Boxes().size()), c.boxes);
        EXPECT_EQ(rig.target.lines.size(), c.rows);
        EXPECT_EQ(rig.target.stopPlayingCalls, 1);
        const auto& box = rig.boxes.Boxes()[0];
        EXPECT_EQ(box.title, "Music list line error in save file");
        EXPECT_EQ(box.buttons, MsgButtons::OkCancel);
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        EXPECT_EQ(box.text,
                  "After 'MUSICLISTSTART' in the save file, there should be only lines of \n"
                  "Length Note1 Note2\r\nOR:Length Note1 Note2 Mod\nHowever, there are less "
                  "than 3 things on this line separated by a space. \nThe line is: \n1/4 C4\n"
                  "This line will be skipped.\n\nCarry on trying to load the file?");
        EXPECT_TRUE(rig.log.Trimmed().contains("LoadMusicListLineError(ERRORLINE:1/4 C4)"));
    }
}

TEST(SongReader, LoadingAFileLogsItsStepsAndShowsLoadingInPlaceOfTheButtons) {
    QTemporaryDir dir;
    const QString path = dir.filePath("song.tql");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(SongBytes({"Revision 148", "BPM 120"}, {"Half C4 D4"}));
    f.close();

    SongRig rig;
    rig.song.ActuallyLoadMusic(path);
    EXPECT_EQ(rig.progress.events, (QStringList{"show", "text Loading...", "repaint", "hide"}));
    EXPECT_EQ(rig.log.Trimmed(),
              (QStringList{"ActuallyLoadMusic(\"" + path + "\") - START",
                           "Removing new-line chars from value of each index in SplitFile()",
                           "GetSettingValue(\"BPM 120\")", "Loading music list", "EndOfLoadMusic",
                           "ActuallyLoadMusic() - END"}));
    EXPECT_EQ(rig.log.indent, 0);
    EXPECT_EQ(rig.target.bpm, 120);
    EXPECT_EQ(rig.target.lines.size(), 1u);
}

TEST(SongReader, AFileThatCannotBeReadIsReportedAndChangesNothing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder");
    QFile big(dir.filePath("big.tql"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(SongBytes({"BPM 100"}, {}));
    ASSERT_TRUE(big.resize(SongFile::kMaxSongBytes + 1)); // sparse: no disk used
    big.close();

    for (const QString& path :
         {dir.filePath("folder"), dir.filePath("missing.tql"), dir.filePath("big.tql")}) {
        SongRig rig;
        rig.target.lines = {{"Whole", "A4", "", ""}};
        rig.target.timeSig = 9;
        rig.song.ActuallyLoadMusic(path);
        ASSERT_EQ(rig.boxes.Boxes().size(), 1u) << path.toStdString();
        EXPECT_EQ(rig.boxes.Boxes()[0].title, "Can't open file!");
        EXPECT_EQ(rig.boxes.Boxes()[0].text,
                  "The file you want to open...\n" + path + "\n...can't be read.");
        EXPECT_EQ(rig.boxes.Boxes()[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(rig.target.lines.size(), 1u);
        EXPECT_EQ(rig.target.timeSig, 9);
        EXPECT_EQ(rig.target.clearLinesCalls, 0);
        EXPECT_EQ(rig.progress.events.last(), "hide");
        EXPECT_EQ(rig.log.indent, 0);
    }
}

} // namespace
} // namespace tq
