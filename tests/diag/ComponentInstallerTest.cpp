#include "diag/ComponentInstaller.h"

#include "CapturingLog.h"
#include "RecordingClipboard.h"
#include "ScriptedProcessLauncher.h"
#include "core/NonLockingSleep.h"
#include "platform/QtEventPump.h"
#include "platform/QtProcessLauncher.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/SteadyClock.h"
#include "platform/VirtualClock.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace tq {
namespace {

using Outcome = ScriptedProcessLauncher::Outcome;

// Copies a built file there, or writes a text file when from is empty.
void PlaceFile(const QString& from, const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(from.isEmpty() ? f.open(QIODevice::WriteOnly) : QFile::copy(from, path));
}

QStringList FilesIn(const QString& folder) {
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        files << it.next().mid(folder.size() + 1);
    }
    return files;
}

QString Exists(const QString& path, bool result) {
    return QStringLiteral("FileExists(\"%1\") = %2").arg(path, result ? "TRUE" : "FALSE");
}

// A program folder and a windir in a temporary folder, on the virtual clock.
struct Rig {
    explicit Rig(Outcome outcome = Outcome::Registers, int pollsToEnd = 3)
        : launcher(outcome, pollsToEnd) {
        installer.SetUntickMIDIBoxes([this] { ++unticks; });
    }
    bool Install() { return installer.CopyFileToSystem32(QStringLiteral("midiio32.ocx")); }

    QTemporaryDir dir;
    const QString program = dir.filePath("prog"), win = dir.filePath("win");
    const QString source = program + "/midiio32.ocx", dest = win + "/system32/midiio32.ocx";
    const QString marker = program + "/NOTYETDONE.txt";
    CapturingLog log;
    ScriptedMessageBoxes boxes;
    VirtualClock clock;
    VirtualEventPump pump{clock};
    NonLockingSleep sleep{clock, pump};
    RecordingClipboard clipboard;
    ScriptedProcessLauncher launcher;
    ComponentInstaller installer{log, boxes, sleep, clipboard, launcher, program, win, "/reg"};
    int unticks = 0;
};

TEST(ComponentInstaller, AComponentInNeitherFolderAsksForADownloadAndUnticksTheMidiBoxes) {
    Rig r;
    EXPECT_FALSE(r.Install());
    ASSERT_EQ(r.boxes.Boxes().size(), 1u);
    EXPECT_EQ(r.boxes.Boxes()[0].title, "Can't see a needed file!");
    EXPECT_EQ(r.boxes.Boxes()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(r.boxes.Boxes()[0].text,
              "The first time you use this feature with this program, \r\nthe program needs "
              "'midiio32.ocx' to be in the same folder as itself. \r\nIt will then copy that "
              "file to " +
                  r.win +
                  "/system32 so that you don't \r\nneed to worry about it in the future, on this "
                  "computer.\r\n\r\nHowever, the file can't be seen in the same folder as this "
                  "program, \r\nand it isn't in system32 yet either.\r\n\r\nPlease download the "
                  "\r\nlatest version of Tonquill from \r\nhttps://tonquill.example.org/download"
                  "\r\n (URL copied to clipboard), where all needed files should be included in "
                  "the download.");
    EXPECT_EQ(r.clipboard.texts, QStringList{"https://tonquill.example.org/download"});
    EXPECT_EQ(r.unticks, 1);
    EXPECT_TRUE(r.log.Trimmed().contains("SourceFile DOES NOT EXIST!"));
    EXPECT_FALSE(QFileInfo::exists(r.win));
}

TEST(ComponentInstaller, ACopyIsRegisteredWhileTheMarkerIsPolledEvery100MsAndThenLeftAlone) {
    Rig r(Outcome::Registers, 3);
    PlaceFile("", r.source);
    const int64_t start = r.clock.NowNs();
    EXPECT_TRUE(r.Install());
    EXPECT_EQ(r.clock.NowNs() - start, 200'000'000);
    EXPECT_EQ(r.launcher.started, QStringList{"/reg " + r.dest + " " + r.marker});
    EXPECT_EQ(
        r.log.Trimmed().mid(3),
        QStringList({Exists(r.dest, false), Exists(r.source, true),
                     "FileCopy " + r.source + "," + r.dest, "Creating NotYetDoneFile = " + r.marker,
                     "RegisterCommand = \"/reg\" \"" + r.dest + "\" \"" + r.marker + "\"",
                     "Executing tonquill-register", Exists(r.marker, true), Exists(r.marker, true),
                     Exists(r.marker, false), "tonquill-register finished", Exists(r.dest, true),
                     "CopyFileToSystem32() - END"}));
    EXPECT_TRUE(r.boxes.Boxes().empty());

    // Now in place: nothing more is copied or registered.
    r.log.lines.clear();
    EXPECT_TRUE(r.Install());
    EXPECT_EQ(r.log.Trimmed(), QStringList({"CopyFileToSystem32(midiio32.ocx) - START",
                                            "SourceFile = " + r.source, "DestFile = " + r.dest,
                                            Exists(r.dest, true), "CopyFileToSystem32() - END"}));
    EXPECT_EQ(r.launcher.started.size(), 1);
}

TEST(ComponentInstaller, ARegistrationThatDoesNotVouchForTheCopyFailsCleansUpAndSaysWhy) {
    const std::pair<Outcome, QString> cases[] = {
        {Outcome::Crashes, "tonquill-register ended without erasing %2"},
        {Outcome::NeverStarts, "tonquill-register ended without erasing %2"},
        {Outcome::Refuses, ScriptedProcessLauncher::kRefusal},
    };
    for (const auto& [outcome, cause] : cases) {
        Rig r(outcome, 4);
        PlaceFile("", r.source);
        EXPECT_FALSE(r.Install());
        ASSERT_EQ(r.boxes.Boxes().size(), 1u);
        EXPECT_EQ(r.boxes.Boxes()[0].title, "Couldn't copy the file!");
        EXPECT_EQ(r.boxes.Boxes()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(
            r.boxes.Boxes()[0].text,
            (QStringLiteral(
                 "The program just tried to copy a needed file, 'midiio32.ocx'\r\nto %1/"
                 "system32. The file is currently in the same folder as this program. \r\n\r\n"
                 "The copy failed. Perhaps your Windows installation directory is not %1/"
                 "system32.\r\n\r\nThe program needs the OCX file to be in system32, and "
                 "info about it to be put into the registry using 'regsvr32'.\r\n\r\nPlease "
                 "see info.txt (included with this program) for info on how to do this "
                 "yourself (it's not too tricky), at the bottom of the section for the MIDI "
                 "feature which you just tried to use.\r\n\r\nSorry about the trouble."
                 "\r\n\r\nWhat went wrong: ") +
             QString(cause).replace("%2", r.marker))
                .arg(r.win));
        EXPECT_TRUE(r.log.Trimmed().contains(QString(cause).replace("%2", r.marker)));
        EXPECT_EQ(r.unticks, 1);
        EXPECT_FALSE(QFileInfo::exists(r.dest));
        EXPECT_FALSE(QFileInfo::exists(r.marker));
    }
}

// Our copy is the new build unless a case says otherwise.
TEST(ComponentInstaller, ASystemCopyOfAnotherBuildIsReplacedAndAnyOtherFileIsLeftAlone) {
    const QString newBuild = TQ_NEW_BUILD_COMPONENT;
    const std::tuple<const char*, QString, QString, const char*> cases[] = {
        {"same build", newBuild, newBuild, nullptr},
        {"older build", newBuild, TQ_OLD_BUILD_COMPONENT, "0.0.1-0123456789abcdef"},
        {"ours from before builds", newBuild, TQ_WRONG_VERSION_COMPONENT, "(none)"},
        {"foreign plugin", newBuild, TQ_WRONG_IID_COMPONENT, nullptr},
        {"foreign file", newBuild, "", nullptr},
        {"our copy has no build", TQ_WRONG_VERSION_COMPONENT, TQ_OLD_BUILD_COMPONENT, nullptr},
    };
    for (const auto& [what, ours, theirs, theirBuild] : cases) {
        Rig r;
        PlaceFile(ours, r.source);
        PlaceFile(theirs, r.dest);
        QFile before(r.dest);
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray beforeBytes = before.readAll();
        EXPECT_TRUE(r.Install()) << what;
        EXPECT_TRUE(r.boxes.Boxes().empty()) << what;
        QFile after(r.dest), source(r.source);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
        const QStringList log = r.log.Trimmed();
        if (theirBuild == nullptr) {
            EXPECT_EQ(after.readAll(), beforeBytes) << what;
            EXPECT_TRUE(r.launcher.started.isEmpty()) << what;
            EXPECT_EQ(log.mid(3), QStringList({Exists(r.dest, true), "CopyFileToSystem32() - END"}))
                << what;
        } else {
            EXPECT_EQ(after.readAll(), source.readAll()) << what;
            EXPECT_EQ(r.launcher.started.size(), 1) << what;
            EXPECT_EQ(log.mid(3, 3),
                      QStringList({QStringLiteral("DestFile is build %1, SourceFile is build "
                                                  "0.0.2-fedcba9876543210 - replacing DestFile")
                                       .arg(theirBuild),
                                   Exists(r.source, true), "FileCopy " + r.source + "," + r.dest}))
                << what;
            // Once a run: asked again, it is left alone.
            r.log.lines.clear();
            EXPECT_TRUE(r.Install());
            EXPECT_EQ(r.log.Trimmed().size(), 5);
        }
    }
}

TEST(ComponentRegistration, OurComponentsMustLoadAsTheirInterfaceAndVersionOtherFilesStay) {
    std::vector<std::tuple<QString, QString, int>> cases = {
        {"midiio32.ocx", "", 1},
        {"midiio32.ocx", TQ_WRONG_IID_COMPONENT, 1},
        {"midiio32.ocx", TQ_WRONG_VERSION_COMPONENT, 1},
        {"midiio32.ocx", TQ_NO_INTERFACE_COMPONENT, 1},
        {"vbalHTmr6.dll", "", 0},
    };
#ifdef TQ_MIDIIO_COMPONENT
    cases.emplace_back("midiio32.ocx", TQ_MIDIIO_COMPONENT, 0);
#endif
    for (const auto& [name, from, exitCode] : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath(name), marker = dir.filePath("NOTYETDONE.txt");
        PlaceFile(from, file);
        PlaceFile("", marker);
        QProcess helper;
        helper.start(TQ_REGISTER, {file, marker});
        ASSERT_TRUE(helper.waitForFinished());
        EXPECT_EQ(helper.exitCode(), exitCode) << from.toStdString();
        EXPECT_EQ(QFile::exists(file), exitCode == 0) << from.toStdString();
        EXPECT_FALSE(QFile::exists(marker));
    }
}

// A failure's message ends with its real cause.
TEST(ComponentInstaller, WithTheRealRegistrationOnlyAVerifiedCopyIsLeftBehind) {
    enum Trap { None, WindirIsAFile, ReadOnlySystemFolder, ReadOnlyProgramFolder, HelperCrashes };
    const std::tuple<const char*, Trap, const char*> cases[] = {
        {"vbalHTmr6.dll", None, nullptr},
        {"midiio32.ocx", None,
         "tonquill-register: removed %1/system32/midiio32.ocx: not a component"},
        {"vbalHTmr6.dll", WindirIsAFile, "can't make the folder %1/system32: Not a directory"},
        {"vbalHTmr6.dll", ReadOnlySystemFolder,
         "can't write %1/system32/vbalHTmr6.dll: Permission denied"},
        {"vbalHTmr6.dll", HelperCrashes, "tonquill-register ended without erasing %2"},
        {"vbalHTmr6.dll", ReadOnlyProgramFolder, "can't create %2: Permission denied"},
    };
    SteadyClock clock;
    QtEventPump pump;
    NonLockingSleep sleep(clock, pump);
    QtProcessLauncher launcher;
    for (const auto& [fileName, trap, cause] : cases) {
        const bool installed = cause == nullptr;
        const bool readOnly = trap == ReadOnlySystemFolder || trap == ReadOnlyProgramFolder;
        if (readOnly && geteuid() == 0) {
            continue; // permissions do not stop root
        }
        QTemporaryDir dir;
        const QString program = dir.filePath("prog"), win = dir.filePath("win");
        QDir().mkpath(win + "/system32");
        PlaceFile("", program + "/" + fileName);
        if (trap == WindirIsAFile) {
            QDir(win).removeRecursively();
            PlaceFile("", win);
        }
        const QString locked = trap == ReadOnlySystemFolder ? win + "/system32" : program;
        if (readOnly) {
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        }
        qputenv("windir", win.toUtf8());
        ScriptedMessageBoxes boxes;
        CapturingLog log;
        RecordingClipboard clipboard;
        ComponentInstaller installer(log, boxes, sleep, clipboard, launcher, program,
                                     ComponentInstaller::WinFolder(),
                                     trap == HelperCrashes ? "/bin/true" : TQ_REGISTER);
        EXPECT_EQ(installer.CopyFileToSystem32(fileName), installed) << trap;
        qunsetenv("windir");
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ASSERT_EQ(boxes.Boxes().size(), installed ? 0u : 1u) << trap;
        if (!installed) {
            const QString line = boxes.Boxes()[0].text.section("\r\n", -1);
            const QString expected =
                "What went wrong: " +
                QString(cause).replace("%1", win).replace("%2", program + "/NOTYETDONE.txt");
            EXPECT_TRUE(line.startsWith(expected)) << line.toStdString();
            EXPECT_TRUE(log.Trimmed().join('\n').contains(expected.mid(17))) << trap;
        }
        EXPECT_EQ(FilesIn(program), QStringList{fileName}) << trap;
        EXPECT_EQ(FilesIn(win),
                  installed ? QStringList{QString("system32/") + fileName} : QStringList{})
            << trap;
    }
}

} // namespace
} // namespace tq
