// The main window's File menu, on the window's logic with scripted dialogs.
#include "interchange/InterchangeForm.h"
#include "TestFiles.h"
#include "EditorRig.h"
#include "FakeSongTarget.h"
#include "MidiFileBytes.h"
#include "core/LogSink.h"
#include "interchange/HeadlessSong.h"
#include "interchange/MidiExport.h"
#include "platform/QtNamedTimers.h"
#include "platform/ScriptedFileDialogs.h"
#include "mods/PortamentoForm.h"
#include "songfile/SongFormat.h"
#include "editor/MainFormSongTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

class Progress final : public ExportProgress {
public:
    bool cancel = false;
    int updates = 0;
    void Start(const QString&, const QString&) override {}
    bool Update(double) override {
        ++updates;
        return !cancel;
    }
    void Finish() override {}
};

bool Convert(const QString& in, const QString& out) {
    QProcess p;
    p.start(QStringLiteral(TQ_CONVERT), {in, out});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Picks the tune of the given index, and remembers what it was offered.
class Chooser final : public TuneChooser {
public:
    int pick = 0;
    QStringList offered;
    int Choose(const QString&, const QString&, const QStringList& names) override {
        offered = names;
        return pick;
    }
};

struct FileMenuRig : EditorRig {
    ScriptedFileDialogs dialogs;
    Progress progress;
    Chooser tunes;
    InterchangeForm file{{form, dialogs, boxes, log, progress, tunes}};
};

// The window's beat sound and glide go into what it exports as they go into
// tonquill-convert's with --beat and --portamento.
TEST(FileMenu, PlayedExportsTakeTheTickedBeatAndGlide) {
    QTemporaryDir dir;
    FileMenuRig rig;
    rig.Load({"Quarter C5 E5", "Half G4 - Dot", "1/8 - -", "Quarter A4 -", "Whole C5 -"});
    ASSERT_TRUE(WriteFile(dir.filePath("song.tql"), SongText(MainFormSongTarget(rig.form))));
    QProcess convert;
    convert.start(QStringLiteral(TQ_CONVERT),
                  {"--beat", "odd", "--portamento", "--glide", "0.5", "--sound-length", "always",
                   dir.filePath("song.tql"), dir.filePath("song.sh")});
    ASSERT_TRUE(convert.waitForFinished(60000) && convert.exitCode() == 0);

    rig.form.Beat().Option1_Click();
    rig.form.SetUseBeatCheck(true);
    VirtualNamedTimers timers(rig.clock, rig.pump);
    PortamentoForm glide({rig.speaker, timers, rig.form.Switches(), rig.log});
    glide.SetPitchMultipleSlider(5000);
    glide.optSoundAlways_Click();
    rig.form.SetUsePortaCheck(true);
    InterchangeForm file{
        {rig.form, rig.dialogs, rig.boxes, rig.log, rig.progress, rig.tunes, &glide}};
    rig.dialogs.Answer(dir.filePath("song.sh"));
    rig.boxes.SetDefaultAnswer(MsgAnswer::Yes); // replacing the converted one
    const QByteArray converted = Contents(dir.filePath("song.sh"));
    file.ExportBeepScriptAction_Click();
    const QByteArray exported = Contents(dir.filePath("song.sh"));
    EXPECT_GT(exported.count(" -f "), 100); // the glide's many steps, the beat's clicks
    EXPECT_EQ(exported, converted);
}

TEST(FileMenu, ExportsWriteWholeFilesOrNothing) {
    const struct {
        const char* what;
        void (InterchangeForm::*action)();
        bool cancel;
        const char* written; // none when empty
        const char* startsWith;
        const char* box = ""; // the start of the one box shown, if any
    } cases[] = {
        {"MIDI, the extension added", &InterchangeForm::ExportMidiAction_Click, false, "song.mid",
         "MThd"},
        {"WAV, the extension added", &InterchangeForm::ExportWavAction_Click, false, "song.wav",
         "RIFF"},
        {"WAV cancelled", &InterchangeForm::ExportWavAction_Click, true, "", ""},
        {"RTTTL, what it can't hold counted", &InterchangeForm::ExportRtttlAction_Click, false,
         "song.rtttl", "song", "A ringtone plays one note at a time: Note 2 of 1 line"},
        {"beep script", &InterchangeForm::ExportBeepScriptAction_Click, false, "song.sh", "#!/b"},
        {"sketch", &InterchangeForm::ExportSketchAction_Click, false, "song.ino", "// s"},
        {"beep script cancelled", &InterchangeForm::ExportBeepScriptAction_Click, true, "", ""},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        FileMenuRig rig;
        rig.Load({"Quarter C4 E4", "Half - - Dot", "1/8 G4 -"});
        const QString songPath = QDir(dir.path()).filePath(QStringLiteral("songs/song.tql"));
        rig.form.SongLoaded(songPath);
        rig.progress.cancel = c.cancel;
        rig.dialogs.Answer(dir.filePath("song"));
        (rig.file.*c.action)();
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(files, c.written[0] ? QStringList{c.written} : QStringList{}) << c.what;
        QFile f(dir.filePath(c.written));
        EXPECT_TRUE(!c.written[0] || (f.open(QIODevice::ReadOnly) && f.read(4) == c.startsWith))
            << c.what;
        EXPECT_TRUE(!c.written[0] ||
                    QFileInfo(f).isExecutable() == QByteArray(c.written).endsWith(".sh"))
            << c.what;
        ASSERT_EQ(rig.boxes.Boxes().size(), c.box[0] ? 1u : 0u) << c.what;
        // The dialog offers the song's name with the format's extension, beside the song.
        ASSERT_EQ(rig.dialogs.Dialogs().size(), 1u) << c.what;
        EXPECT_EQ(QFileInfo(rig.dialogs.Dialogs()[0].request.fileName).dir().path(),
                  QFileInfo(songPath).dir().path())
            << c.what;
        EXPECT_TRUE(!c.box[0] || rig.boxes.Boxes()[0].text.startsWith(QLatin1String(c.box)))
            << c.what;
    }
}

TEST(FileMenu, ImportAsksAboutUnsavedChangesAndUndoesInOneStep) {
    QTemporaryDir dir;
    FakeSongTarget exported;
    exported.lines = {{"Quarter", "C5", "", ""}, {"Half", "", "A4", "Dot"}};
    exported.bpm = 90;
    QFile mid(dir.filePath("tune.mid"));
    ASSERT_TRUE(mid.open(QIODevice::WriteOnly));
    mid.write(ExportMidi(exported).bytes);
    mid.close();

    FileMenuRig rig;
    rig.Load({"1/8 D4 -"});
    rig.form.UserChange(SettingKind::Tempo, [&rig] { rig.form.SetBPMText(QStringLiteral("120")); });
    ASSERT_TRUE(rig.form.IsModified());
    const std::vector<MusicLine> before = {{"1/8", "D4", "", ""}};

    rig.boxes.Answer(MsgAnswer::Cancel);
    rig.file.ImportAction_Click();
    EXPECT_TRUE(rig.dialogs.Dialogs().empty());
    EXPECT_EQ(rig.form.List().AllLines(), before);

    rig.boxes.Answer(MsgAnswer::Discard);
    rig.dialogs.Answer(mid.fileName());
    rig.file.ImportAction_Click();
    EXPECT_EQ(rig.form.List().AllLines(), exported.lines);
    EXPECT_EQ(rig.form.Settings().BPM, 90);
    EXPECT_EQ(rig.form.History().undoText(), QStringLiteral("Import tune.mid"));
    ASSERT_EQ(rig.boxes.Boxes().size(), 3u);
    EXPECT_TRUE(rig.boxes.Boxes()[2].text.startsWith(QLatin1String("2 lines at 90 BPM")));

    rig.form.History().undo();
    EXPECT_EQ(rig.form.List().LineCount(), 1);
    EXPECT_EQ(rig.form.List().AllLines(), before);
    EXPECT_EQ(rig.form.Settings().BPM, 120);
}

TEST(FileMenu, ImportTakesRingtoneTextByItsNameOrItsFirstLine) {
    QTemporaryDir dir;
    const QByteArray collection = "One:d=4,o=5,b=90:c,e\nTwo:d=8,o=4,b=200:g,4p\n";
    const struct {
        const char* what;
        const char* file;
        QByteArray text;
        int pick; // of the chooser; -1 cancels
        QStringList lines; // empty: the song is left as it was
        const char* box;   // the start of the last box
    } cases[] = {
        {"one tune, no question", "a.rtttl", "Solo:d=4,o=5,b=120:8a,p", 0,
         {"1/8 A5 - -", "Quarter - - -"}, "Solo: 2 lines at 120 BPM."},
        {"the second of a collection", "b.txt", collection, 1,
         {"1/8 G4 - -", "Quarter - - -"}, "Two: 2 lines at 200 BPM."},
        {"a collection, the chooser cancelled", "c.rtx", collection, -1, {}, "Save changes"},
        {"known by its first line", "d.dat", "Tune:b=100:c", 0, {"Quarter C6 - -"}, "Tune:"},
        {"malformed", "e.rtttl", "Bad:d=4:c,x", 0, {}, "The file you want to import"},
        {"a broken line among tunes", "f.txt", "Bad:d=4:c,x\n" + collection, 1,
         {"1/8 G4 - -", "Quarter - - -"}, "Two: 2 lines at 200 BPM.\n\nOf the file, 1 line is not"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.file));
        ASSERT_TRUE(WriteFile(path, c.text));
        FileMenuRig rig;
        rig.Load({"1/8 D4 -"});
        rig.form.UserChange(SettingKind::Tempo,
                            [&rig] { rig.form.SetBPMText(QStringLiteral("120")); });
        rig.boxes.SetDefaultAnswer(MsgAnswer::Discard);
        rig.tunes.pick = c.pick;
        rig.dialogs.Answer(path);
        rig.file.ImportAction_Click();
        const std::vector<MusicLine> lines = rig.form.List().AllLines();
        QStringList got;
        for (const MusicLine& l : lines) {
            got << QStringLiteral("%1 %2 %3 %4").arg(l.Length, l.Note1.isEmpty() ? "-" : l.Note1,
                                                     l.Note2.isEmpty() ? "-" : l.Note2,
                                                     l.Mod.isEmpty() ? "-" : l.Mod);
        }
        EXPECT_EQ(got, c.lines.isEmpty() ? QStringList{"1/8 D4 - -"} : c.lines) << c.what;
        ASSERT_FALSE(rig.boxes.Boxes().empty()) << c.what;
        EXPECT_TRUE(rig.boxes.Boxes().back().text.startsWith(QLatin1String(c.box)))
            << c.what << ": " << rig.boxes.Boxes().back().text.toStdString();
        if (!c.lines.isEmpty()) {
            EXPECT_EQ(rig.form.NoteSilenceRatioSlider, 100) << c.what;
            rig.form.History().undo();
            EXPECT_EQ(rig.form.List().LineCount(), 1) << c.what;
            EXPECT_EQ(rig.form.Settings().BPM, 120) << c.what;
        }
    }
}

// What tonquill-convert makes of a MIDI file, and what the window's import makes of it over a
// song of other settings, are the same song.
TEST(FileMenu, ImportGivesTheSongTonquillConvertWrites) {
    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    NullLog log;
    HeadlessSong original(boxes, log);
    ASSERT_TRUE(original.LoadFile(QStringLiteral(TQ_EXAMPLES "/Dots and triplets.tql")));
    original.Target().SetNoteSilenceRatio(90);
    original.Target().SetTimeSig(3);
    ASSERT_TRUE(WriteFile(dir.filePath("song.tql"), original.FileBytes()));
    ASSERT_TRUE(Convert(dir.filePath("song.tql"), dir.filePath("exported.mid")));
    using namespace smf;
    ASSERT_TRUE(
        WriteFile(dir.filePath("waltz.mid"),
                  File(1, 96,
                       {Tempo(0, 400000) + TimeSignature(0, 3) + EndOfTrack(),
                        Ev(0, {0x90, 67, 90}) + Ev(60, {0x80, 67, 0}) + Ev(36, {0x90, 64, 90}) +
                            Ev(60, {0x80, 64, 0}) + Ev(36, {0x90, 64, 90}) + Ev(60, {0x80, 64, 0}) +
                            EndOfTrack(36)})));

    for (const char* name : {"exported", "waltz"}) {
        const QString mid = dir.filePath(QLatin1String(name) + ".mid");
        const QString tql = dir.filePath(QLatin1String(name) + ".tql");
        ASSERT_TRUE(Convert(mid, tql)) << name;
        HeadlessSong converted(boxes, log);
        ASSERT_TRUE(converted.LoadFile(tql)) << name;

        FileMenuRig rig;
        rig.Load({"1/8 D4 -"});
        rig.form.SetNoteSilenceRatio(20);
        rig.form.SetTimeSigSlider(7);
        rig.boxes.SetDefaultAnswer(MsgAnswer::Discard);
        rig.dialogs.Answer(mid);
        rig.file.ImportAction_Click();
        const SongTarget& convert = converted.Target();
        EXPECT_EQ(rig.form.NoteSilenceRatioSlider, convert.NoteSilenceRatio()) << name;
        EXPECT_EQ(rig.form.TimeSigSlider, convert.TimeSig()) << name;
        EXPECT_EQ(rig.form.Settings().BPM, convert.BPM()) << name;
        EXPECT_EQ(rig.form.List().AllLines(), converted.Form().List().AllLines()) << name;
    }
    HeadlessSong back(boxes, log);
    ASSERT_TRUE(back.LoadFile(dir.filePath("exported.tql")));
    EXPECT_EQ(back.Target().NoteSilenceRatio(), 90);
    EXPECT_EQ(back.Target().TimeSig(), 3);
    EXPECT_EQ(back.Form().List().AllLines(), original.Form().List().AllLines());
    HeadlessSong waltz(boxes, log);
    ASSERT_TRUE(waltz.LoadFile(dir.filePath("waltz.tql")));
    EXPECT_EQ(waltz.Target().NoteSilenceRatio(), 62);
    EXPECT_EQ(waltz.Target().TimeSig(), 3);
}

} // namespace
} // namespace tq
