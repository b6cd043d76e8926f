#include "SongTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>

namespace tq {
namespace {

constexpr size_t Box(SongCheck c) {
    return static_cast<size_t>(c);
}

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

TEST(SongWriter, CancellingOrDecliningToReplaceWritesNothing) {
    struct Case {
        bool chosen;
        bool exists;
        MsgAnswer replace;
        bool written;
        int boxes;
    };
    const Case cases[] = {
        {false, false, MsgAnswer::Yes, false, 0}, {false, true, MsgAnswer::Yes, false, 0},
        {true, true, MsgAnswer::No, false, 1},    {true, true, MsgAnswer::Yes, true, 1},
        {true, false, MsgAnswer::No, true, 0},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.tql");
        if (c.exists) {
            ASSERT_TRUE(WriteAll(path, "old song"));
        }
        SongRig rig;
        if (c.chosen) {
            rig.dialogs.Answer(path);
        }
        rig.boxes.Answer(c.replace);
        rig.song.SaveMusic();

        ASSERT_EQ(int(rig.boxes.Boxes().size()), c.boxes);
        if (c.boxes) {
            const auto& box = rig.boxes.Boxes()[0];
            EXPECT_EQ(box.title, "File already exists");
            EXPECT_EQ(box.text, "The file you want to save this as:\n" + path +
                                    "\n...already exists.\n\nShould this file be replaced?");
            EXPECT_EQ(box.buttons, MsgButtons::YesNo);
            EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        }
        const QByteArray now = ReadAll(path);
        EXPECT_EQ(now.startsWith("Tonquill by Vellomar file format\r\n"), c.written);
        if (!c.written) {
            EXPECT_EQ(now, c.exists ? QByteArray("old song") : QByteArray());
        }
        EXPECT_EQ(rig.log.Trimmed().first(), "SaveMusic() - START");
        EXPECT_EQ(rig.log.Trimmed().last(), "SaveMusic() - END");
    }
}

// A save that cannot finish leaves the old file whole and no temporary file behind.
TEST(SongWriter, AFailedSaveLeavesTheOldFileIntactAndSaysSo) {
    struct Case {
        const char* name;
        // Prepares dir and returns the target path.
        std::function<QString(const QString& dir)> setUp;
        bool unprivileged;
        bool sizeLimit;
    };
    const auto withOld = [](const QString& folder, QFile::Permissions folderPerms,
                            QFile::Permissions filePerms) {
        QDir().mkpath(folder);
        const QString path = folder + "/song.tql";
        WriteAll(path, "old song");
        QFile::setPermissions(path, filePerms);
        QFile::setPermissions(folder, folderPerms);
        return path;
    };
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                     QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    const auto worldWritable = all | QFile::WriteGroup | QFile::WriteOther;
    const Case cases[] = {
        {"write fails midway",
         [&](const QString& d) {
             return withOld(d + "/f", all, QFile::ReadOwner | QFile::WriteOwner);
         },
         false, true},
        {"folder not writable",
         [&](const QString& d) {
             return withOld(d + "/ro", readOnly,
                            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                QFile::WriteOther);
         },
         true, false},
        {"file read-only in a writable folder",
         [&](const QString& d) {
             return withOld(d + "/rw", worldWritable, QFile::ReadOwner | QFile::ReadOther);
         },
         true, false},
        {"folder missing", [](const QString& d) { return d + "/missing/song.tql"; }, false, false},
        {"target is a folder",
         [](const QString& d) {
             QDir().mkpath(d + "/song.tql");
             return d + "/song.tql";
         },
         false, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ExeOther);
        const QString path = c.setUp(dir.path());
        const QByteArray before = ReadAll(path);
        const QStringList filesBefore = QDir(QFileInfo(path).path()).entryList(QDir::Files);

        SongRig rig;
        // Big enough to pass the size limit below.
        rig.target.lines.assign(500, MusicLine{"Quarter", "C4", "E4", "Dot"});
        rig.dialogs.Answer(path);
        rig.boxes.Answer(MsgAnswer::Yes);
        {
            rlimit old{};
            getrlimit(RLIMIT_FSIZE, &old);
            auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            if (c.sizeLimit) {
                rlimit small = old;
                small.rlim_cur = 4096;
                setrlimit(RLIMIT_FSIZE, &small);
            }
            if (c.unprivileged) {
                AsUnprivilegedUser nobody;
                rig.song.SaveMusic();
            } else {
                rig.song.SaveMusic();
            }
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
        }

        ASSERT_FALSE(rig.boxes.Boxes().empty()) << c.name;
        const auto& box = rig.boxes.Boxes().back();
        EXPECT_EQ(box.title, "Can't save as this file!") << c.name;
        EXPECT_EQ(box.text, "The file you want to save this as...\r\n" + path +
                                "\r\n...can't be written to.\r\n\r\nIt's probably currently "
                                "being written to by some other program.")
            << c.name;
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        EXPECT_EQ(ReadAll(path), before) << c.name;
        EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), filesBefore) << c.name;
        EXPECT_EQ(rig.log.Trimmed().last(), "SaveMusic() - END");
        // So that the temporary folder can be removed by an ordinary user too.
        QFile::setPermissions(QFileInfo(path).path(), all | QFile::WriteOwner);
    }
}

} // namespace
} // namespace tq
