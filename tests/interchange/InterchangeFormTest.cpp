// The main window's File menu, on the window's logic with scripted dialogs.
#include "interchange/InterchangeForm.h"
#include "EditorRig.h"
#include "FakeSongTarget.h"
#include "interchange/MidiExport.h"
#include "platform/ScriptedFileDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

class Progress final : public ExportProgress {
public:
    bool cancel = false;
    int updates = 0;
    void Start(const QString&) override {}
    bool Update(double) override {
        ++updates;
        return !cancel;
    }
    void Finish() override {}
};

struct FileMenuRig : EditorRig {
    ScriptedFileDialogs dialogs;
    Progress progress;
    InterchangeForm file{{form, dialogs, boxes, log, progress}};
};

TEST(FileMenu, ExportsWriteWholeFilesOrNothing) {
    const struct {
        const char* what;
        void (InterchangeForm::*action)();
        bool cancel;
        const char* written; // none when empty
        const char* startsWith;
    } cases[] = {
        {"MIDI, the extension added", &InterchangeForm::ExportMidiAction_Click, false, "song.mid",
         "MThd"},
        {"WAV, the extension added", &InterchangeForm::ExportWavAction_Click, false, "song.wav",
         "RIFF"},
        {"WAV cancelled", &InterchangeForm::ExportWavAction_Click, true, "", ""},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        FileMenuRig rig;
        rig.Load({"Quarter C4 E4", "Half - - Dot", "1/8 G4 -"});
        rig.progress.cancel = c.cancel;
        rig.dialogs.Answer(dir.filePath("song"));
        (rig.file.*c.action)();
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(files, c.written[0] ? QStringList{c.written} : QStringList{}) << c.what;
        QFile f(dir.filePath(c.written));
        EXPECT_TRUE(!c.written[0] || (f.open(QIODevice::ReadOnly) && f.read(4) == c.startsWith))
            << c.what;
        EXPECT_TRUE(rig.boxes.Boxes().empty()) << c.what;
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
    rig.file.ImportMidiAction_Click();
    EXPECT_TRUE(rig.dialogs.Dialogs().empty());
    EXPECT_EQ(rig.form.List().AllLines(), before);

    rig.boxes.Answer(MsgAnswer::Discard);
    rig.dialogs.Answer(mid.fileName());
    rig.file.ImportMidiAction_Click();
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

} // namespace
} // namespace tq
