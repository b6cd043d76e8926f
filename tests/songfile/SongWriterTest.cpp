#include "SongTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace tq {
namespace {

TEST(SongWriter, SavingWritesTheSettingsLayoutAndEveryRowWithCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("song.tql");
    SongRig rig;
    FakeSongTarget& t = rig.target;
    t.keyboardOctave = 5;
    t.bpm = 133;
    t.timeSig = 3;
    t.noteSilenceRatio = 75;
    t.noteLengthIndex = 2;
    t.alternateTimeText = "";
    t.checks = {0, 1, 1, 0, 1, 0, 0, 1};
    t.addNote1 = false;
    t.addNote2 = true;
    t.lines = {{"Quarter", "C4", "E4", "Dot"}, {"1/8", "C#5", "", ""}, {"Half", "", "", ""}};
    rig.dialogs.Answer(path);
    rig.song.SaveMusic();

    EXPECT_EQ(ReadAll(path), "Tonquill by Vellomar file format\r\n"
                             "Revision 148\r\n"
                             "//Pitch and timing settings\r\n"
                             "KeyboardOctave 5\r\n"
                             "BPM 133\r\n"
                             "TimeSig 3\r\n"
                             "NoteSilenceRatio 75\r\n"
                             "NoteLength 2\r\n"
                             "AlternateTime \r\n"
                             "//Editing settings\r\n"
                             "//When key is clicked,\r\n"
                             "NoteClickPlay 0\r\n"
                             "//Adding note\r\n"
                             "NoteClickAdd 1\r\n"
                             "AddNote1 0\r\n"
                             "AddNote2 1\r\n"
                             "NoteReplace 1\r\n"
                             "NoteLengthReplace 0\r\n"
                             "//Which notes in list to play\r\n"
                             "//When a line is clicked,\r\n"
                             "ClickPlayNote1 1\r\n"
                             "ClickPlayNote2 0\r\n"
                             "//When the music is being played,\r\n"
                             "PlayNote1 0\r\n"
                             "PlayNote2 1\r\n"
                             "MUSICLISTSTART\r\n"
                             "//Length Note1 Note2\r\n"
                             "Quarter C4 E4 Dot\r\n"
                             "1/8 C#5 - -\r\n"
                             "Half - - -\r\n");
    ASSERT_EQ(rig.dialogs.Dialogs().size(), 1u);
    const auto& shown = rig.dialogs.Dialogs()[0];
    EXPECT_EQ(shown.kind, ScriptedFileDialogs::Kind::Save);
    EXPECT_EQ(shown.request.title, "Saving music and config");
    EXPECT_EQ(shown.request.fileName, "");
    EXPECT_EQ(shown.request.filter, "This program's file type (*.TQL)|*.TQL|All files (*.*)|*.*");
    EXPECT_EQ(shown.request.flags, 2048u);
    EXPECT_TRUE(rig.boxes.Boxes().empty());
    EXPECT_EQ(rig.log.Trimmed(),
              (QStringList{"SaveMusic() - START", "FileExists(\"" + path + "\") = FALSE",
                           "Opening \"" + path + "\", saving", "SaveMusic() - END"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"song.tql"});
}

TEST(SongWriter, ReplacingAnExistingSongIsAskedFirst) {
    struct Case {
        const char* chosen; // nullptr: the dialog is cancelled
        MsgAnswer replace;
    };
    // The song "old.tql" or ".old" exists. A name typed without an extension gets ".tql";
    // a dot-name is a song like any other.
    const Case cases[] = {{nullptr, MsgAnswer::Yes},   {"old.tql", MsgAnswer::No},
                          {"old.tql", MsgAnswer::Yes}, {"old", MsgAnswer::No},
                          {"old", MsgAnswer::Yes},     {".old", MsgAnswer::No}};
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const bool dotName = c.chosen && QString(c.chosen).startsWith('.');
        const QString path = dir.filePath(dotName ? ".old" : "old.tql");
        ASSERT_TRUE(WriteAll(path, "old song"));
        SongRig rig;
        if (c.chosen) {
            rig.dialogs.Answer(dir.filePath(c.chosen));
        }
        rig.boxes.Answer(c.replace);
        rig.song.SaveMusic();

        const bool written = c.chosen && c.replace == MsgAnswer::Yes;
        EXPECT_EQ(ReadAll(path).startsWith("Tonquill by Vellomar file format\r\n"), written)
            << c.chosen;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        ASSERT_EQ(rig.boxes.Boxes().size(), c.chosen ? 1u : 0u);
        if (c.chosen) {
            const auto& box = rig.boxes.Boxes()[0];
            EXPECT_EQ(box.title, "File already exists");
            EXPECT_EQ(box.text, "The file you want to save this as:\n" + path +
                                    "\n...already exists.\n\nShould this file be replaced?");
            EXPECT_EQ(box.buttons, MsgButtons::YesNo);
            EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        }
        EXPECT_EQ(rig.log.Trimmed().last(), "SaveMusic() - END");
    }
}

TEST(SongWriter, ANameWithoutAnExtensionTheProgramKnowsGetsTql) {
    const std::pair<const char*, const char*> cases[] = {{"song", "song.tql"},
                                                         {"song.v2", "song.v2.tql"},
                                                         {"song.TQL", "song.TQL"},
                                                         {"song.mid", "song.mid"},
                                                         {".hidden", ".hidden"}};
    for (const auto& [typed, written] : cases) {
        QTemporaryDir dir;
        SongRig rig;
        rig.dialogs.Answer(dir.filePath(typed));
        rig.song.SaveMusic();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{written})
            << typed;
    }
}

// A save that cannot finish leaves the old file whole and no temporary file behind.
TEST(SongWriter, AFailedSaveLeavesTheOldFileIntactAndSaysSo) {
    using P = QFile::Permission;
    const QFile::Permissions rx =
        P::ReadOwner | P::ExeOwner | P::ReadGroup | P::ExeGroup | P::ReadOther | P::ExeOther;
    const QFile::Permissions rwx = rx | P::WriteOwner;
    enum Old { File, Nothing, Folder };
    struct Case {
        const char* target;        // in a folder of the temporary folder
        QFile::Permissions folder; // none: the folder is missing
        Old old;
        QFile::Permissions file;
        bool asNobody;
        bool sizeLimit;
        const char* why;
    };
    const Case cases[] = {
        {"full/song.tql", rwx, File, P::ReadOwner | P::WriteOwner, false, true, "File too large."},
        {"locked/song.tql", rx, File, P::ReadOwner | P::WriteOwner | P::WriteOther, true, false,
         "Permission denied."},
        {"open/song.tql", rwx | P::WriteOther, File, P::ReadOwner | P::ReadOther, true, false,
         "Permission denied."},
        {"missing/song.tql", {}, Nothing, {}, false, false, "No such file or directory."},
        {"folder/song.tql", rwx, Folder, {}, false, false, "Is a directory."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), rwx | P::ExeOther);
        const QString path = dir.filePath(c.target);
        const QString folder = QFileInfo(path).path();
        if (c.folder) {
            QDir().mkpath(c.old == Folder ? path : folder);
        }
        if (c.old == File) {
            ASSERT_TRUE(WriteAll(path, "old song"));
            QFile::setPermissions(path, c.file);
        }
        if (c.folder) {
            QFile::setPermissions(folder, c.folder);
        }
        const QStringList filesBefore = QDir(folder).entryList(QDir::Files | QDir::Hidden);

        SongRig rig;
        rig.target.lines.assign(500, MusicLine{"Quarter", "C4", "E4", "Dot"}); // over 4 KB
        rig.dialogs.Answer(path);
        rig.boxes.Answer(MsgAnswer::Yes);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t unlimited = limit.rlim_cur;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (c.sizeLimit) {
            limit.rlim_cur = 4096;
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (c.asNobody) {
            AsUnprivilegedUser nobody;
            rig.song.SaveMusic();
        } else {
            rig.song.SaveMusic();
        }
        limit.rlim_cur = unlimited;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldHandler);

        ASSERT_FALSE(rig.boxes.Boxes().empty());
        const auto& box = rig.boxes.Boxes().back();
        EXPECT_EQ(box.title, "Can't save as this file!");
        EXPECT_EQ(box.text, "The file you want to save this as...\r\n" + path +
                                "\r\n...can't be written to.\r\n\r\nIt's probably currently "
                                "being written to by some other program.\r\n\r\n" +
                                c.why);
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        EXPECT_EQ(ReadAll(path), c.old == File ? QByteArray("old song") : QByteArray());
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), filesBefore);
        // So that an ordinary user can remove the temporary folder too.
        QFile::setPermissions(folder, rwx);
    }
}

} // namespace
} // namespace tq
