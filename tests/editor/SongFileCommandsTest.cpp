#include "songfile/SongFileCommands.h"
#include "EditorRig.h"
#include "editor/MainFormSongTarget.h"
#include "platform/ScriptedFileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/RecentSongs.h"
#include "songfile/SaveLoadForm.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tq {
namespace {

struct NoHost final : SaveLoadHost {
    void SetMainWindowEnabled(bool) override {}
    void BringMainWindowToFront() override {}
};

// The File menu's commands wired as the program wires them, over a folder of its own.
struct FileRig : EditorRig {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    RecentSongs recent{settings};
    MainFormSongTarget target{form};
    NoHost host;
    ScriptedFileDialogs dialogs;
    SaveLoadForm saveLoad{host, target, boxes, dialogs, log};
    SongFileCommands commands{saveLoad, recent, [this] { return form.SongPath(); }};

    FileRig() {
        form.SetWindowCaption(QStringLiteral("Caption (v1)"));
        form.SetSaveSong([this] { commands.Save(); });
        saveLoad.SetBeforeLoad([this] { return form.AskToSaveChanges(); });
        QObject::connect(&form, &MainForm::SongFileChanged, [this](const QString& path) {
            if (!path.isEmpty()) {
                recent.Add(path);
            }
        });
    }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // The music list as the file holds it.
    QStringList ListOnDisk(const char* name) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QString text = QString::fromUtf8(f.readAll());
        return text.section(QStringLiteral("MUSICLISTSTART\r\n//Length Note1 Note2\r\n"), 1)
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

TEST(SongFileCommands, TheTitleAndCurrentFileFollowNewOpenSaveAndSaveAs) {
    struct Step {
        const char* what;
        std::function<void(FileRig&)> act;
        const char* title;
        int dialogs; // shown so far
        int lines;   // in the list
    };
    const auto note = [](FileRig& r) { r.form.PianoKey_Click(12); };
    const Step steps[] = {
        {"start", [](FileRig&) {}, "Untitled - Caption (v1)", 0, 0},
        {"an edit", note, "*Untitled - Caption (v1)", 0, 1},
        {"Save of an untitled song asks for a name",
         [](FileRig& r) {
             r.dialogs.Answer(r.Path("A"));
             r.commands.Save();
         },
         "A.tql - Caption (v1)", 1, 1},
        {"an edit", note, "*A.tql - Caption (v1)", 1, 2},
        {"Save writes its own file without a dialog",
         [](FileRig& r) {
             r.commands.Save();
             EXPECT_EQ(r.ListOnDisk("A.tql").size(), 2);
         },
         "A.tql - Caption (v1)", 1, 2},
        {"Save As asks even so, starting at the song's own file",
         [](FileRig& r) {
             r.dialogs.Answer(r.Path("B.tql"));
             r.commands.SaveAs();
             EXPECT_EQ(r.dialogs.Dialogs().back().request.fileName, r.Path("A.tql"));
         },
         "B.tql - Caption (v1)", 2, 2},
        {"New", [](FileRig& r) { r.form.NewSong(); }, "Untitled - Caption (v1)", 2, 0},
        {"Open",
         [](FileRig& r) {
             r.dialogs.Answer(r.Path("A.tql"));
             r.commands.Open();
         },
         "A.tql - Caption (v1)", 3, 2},
        {"New after an edit, saved at the question: no dialog",
         [](FileRig& r) {
             r.form.PianoKey_Click(12);
             r.boxes.Answer(MsgAnswer::Save);
             r.form.NewSong();
             EXPECT_EQ(r.ListOnDisk("A.tql").size(), 3);
         },
         "Untitled - Caption (v1)", 3, 0},
        {"New after an edit, cancelled at the question",
         [](FileRig& r) {
             r.form.PianoKey_Click(12);
             r.boxes.Answer(MsgAnswer::Cancel);
             r.form.NewSong();
         },
         "*Untitled - Caption (v1)", 3, 1},
    };
    FileRig r;
    for (const Step& s : steps) {
        s.act(r);
        EXPECT_EQ(r.form.WindowTitle(), s.title) << s.what;
        EXPECT_EQ(r.dialogs.Dialogs().size(), s.dialogs) << s.what;
        EXPECT_EQ(r.form.List().LineCount(), s.lines) << s.what;
    }
    EXPECT_EQ(r.form.SongPath(), QString());
    EXPECT_EQ(r.commands.RecentPaths(), QStringList({r.Path("A.tql"), r.Path("B.tql")}));
}

TEST(SongFileCommands, TheRecentListKeepsTheEightNewestThatStillExist) {
    FileRig r;
    QStringList made;
    for (int i = 1; i <= 10; ++i) {
        made << r.Path(qPrintable(QStringLiteral("%1.tql").arg(i)));
        r.saveLoad.Songs().SaveMusicTo(made.last());
    }
    r.recent.Add(made[5]); // opened again: first, and only once
    ASSERT_TRUE(r.boxes.Boxes().empty());
    EXPECT_EQ(r.recent.Paths(), QStringList({made[5], made[9], made[8], made[7], made[6], made[4],
                                             made[3], made[2]}));

    ASSERT_TRUE(QFile::remove(made[9]));
    ASSERT_TRUE(QFile::remove(made[8]));
    EXPECT_EQ(r.recent.Paths(),
              QStringList({made[5], made[7], made[6], made[4], made[3], made[2]}));
    // Gone from the settings too, not only from the menu.
    EXPECT_EQ(r.settings.value("RecentSongs").toStringList().size(), 6);

    // A file that goes between the menu opening and the click: said, and dropped.
    ASSERT_TRUE(QFile::remove(made[7]));
    r.recent.Add(made[7]);
    r.commands.OpenRecent(made[7]);
    ASSERT_EQ(r.boxes.Boxes().size(), 1);
    EXPECT_EQ(r.boxes.Boxes()[0].title, "Can't open file!");
    EXPECT_FALSE(r.settings.value("RecentSongs").toStringList().contains(made[7]));
    r.commands.OpenRecent(made[6]);
    EXPECT_EQ(r.form.SongPath(), made[6]);
    EXPECT_EQ(r.recent.Paths().first(), made[6]);
}

} // namespace
} // namespace tq
