#include "fixer/FixForm.h"

#include "RecordingClipboard.h"
#include "ScriptedProcessLauncher.h"
#include "core/NonLockingSleep.h"
#include "diag/ComponentInstaller.h"
#include "diag/DataFolder.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/VirtualClock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace tq {
namespace {

using Outcome = ScriptedProcessLauncher::Outcome;

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// Our copy of every file is "ours:NAME"; the system folder holds what a case gives it.
struct Case {
    const char* what;
    std::map<QString, QByteArray> systemBefore;
    QString missingOfOurs;
    int result;
    QStringList registered;
    std::map<QString, QByteArray> systemAfter; // besides our copies of the registered files
    QStringList titles;
};

QByteArray Ours(const QString& name) {
    return "ours:" + name.toUtf8();
}

std::map<QString, QByteArray> AllOurs() {
    std::map<QString, QByteArray> files;
    for (const QString& name : FixForm::ComponentFiles()) {
        files[name] = Ours(name);
    }
    return files;
}

TEST(Mendalot, HandlesTheFilesInOrderUntilOneCannotBePutInPlace) {
    const QString success = "Finished copying and registering files.";
    const QString failure = "Failed to copy and register files.";
    std::map<QString, QByteArray> otherSize = AllOurs();
    otherSize["MSCOMCTL.OCX"] = "theirs, longer";
    otherSize["MSCOMCTL.OCXorig"] = "an older original";
    std::map<QString, QByteArray> keptAside = otherSize;
    keptAside["MSCOMCTL.OCXorig1"] = "theirs, longer";
    std::map<QString, QByteArray> sameSize = AllOurs();
    sameSize["comctl32.ocx"] = QByteArray(Ours("comctl32.ocx").size(), 'x');
    const Case cases[] = {
        {"all in place", AllOurs(), "", FixForm::kFixed, {}, AllOurs(), {success}},
        {"same size, other content, stays", sameSize, "", FixForm::kFixed, {}, sameSize, {success}},
        {"other size is kept aside, an earlier original too",
         otherSize,
         "",
         FixForm::kFixed,
         {"MSCOMCTL.OCX"},
         keptAside,
         {success}},
        {"fourth missing",
         {},
         "comdlg32.ocx",
         FixForm::kFailed,
         {"COMCT232.OCX", "MSCOMCTL.OCX", "comctl32.ocx"},
         {},
         {"Can't see a needed file!", failure}},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString program = dir.filePath("prog"), win = dir.filePath("win");
        for (const QString& name : FixForm::ComponentFiles()) {
            if (name != c.missingOfOurs) {
                Write(program + "/" + name, Ours(name));
            }
        }
        for (const auto& [name, bytes] : c.systemBefore) {
            Write(win + "/system32/" + name, bytes);
        }
        ScriptedMessageBoxes boxes;
        VirtualClock clock;
        VirtualEventPump pump{clock};
        NonLockingSleep sleep{clock, pump};
        RecordingClipboard clipboard;
        ScriptedProcessLauncher launcher(Outcome::Registers, 2);
        QProcessEnvironment env;
        env.insert("windir", win);
        FixForm form({boxes, sleep, clipboard, launcher, program, dir.filePath("data"), env});
        QStringList shown;
        QObject::connect(&form, &FixForm::LblFileChanged, [&] { shown << form.lblFile; });

        EXPECT_EQ(form.Form_Load(), c.result) << c.what;

        QStringList titles, registered;
        for (const auto& box : boxes.Boxes()) {
            titles << box.title;
        }
        for (const QString& started : launcher.started) {
            registered << QFileInfo(started.section(' ', 1, 1)).fileName();
        }
        EXPECT_EQ(titles, c.titles) << c.what;
        EXPECT_EQ(registered, c.registered) << c.what;
        std::map<QString, QByteArray> expected = c.systemAfter;
        for (const QString& name : c.registered) {
            expected[name] = Ours(name);
        }
        std::map<QString, QByteArray> after;
        for (const QString& name : QDir(win + "/system32").entryList(QDir::Files)) {
            after[name] = Read(win + "/system32/" + name);
        }
        EXPECT_EQ(after, expected) << c.what;
        const qsizetype handled = c.result == FixForm::kFixed ? 7 : c.registered.size() + 1;
        EXPECT_EQ(shown, FixForm::ComponentFiles().mid(0, handled)) << c.what;
        if (c.result == FixForm::kFailed) {
            EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(
                "Tthe program needs '" + c.missingOfOurs +
                "' to be in the same folder as itself. \r\nIt will then copy that file to " + win +
                "/system32"));
            EXPECT_EQ(clipboard.texts, QStringList{"https://tonquill.example.org/download"});
            // Mendalot ends next: a clipboard that goes with it must be pasted from first.
            EXPECT_TRUE(boxes.Boxes()[0].text.contains(
                "download\r\n (URL copied to clipboard: paste it before this program ends), "));
        }
    }
}

// The real program, copied with the registration helper into a folder of its own.
TEST(Mendalot, BatchModeWritesEachMessageAsALineAndExitsWithTheOutcome) {
    for (const bool complete : {true, false}) {
        QTemporaryDir dir;
        const QString program = dir.filePath("prog"), win = dir.filePath("win");
        QDir().mkpath(program);
        ASSERT_TRUE(QFile::copy(TQ_MENDALOT, program + "/mendalot"));
        ASSERT_TRUE(QFile::copy(TQ_REGISTER, program + "/tonquill-register"));
        for (const QString& name : FixForm::ComponentFiles()) {
            if (complete || name != "COMCT232.OCX") {
                Write(program + "/" + name, Ours(name));
            }
        }
        QProcess mendalot;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("windir", win);
        mendalot.setProcessEnvironment(env);
        mendalot.start(program + "/mendalot", {"--batch"});
        ASSERT_TRUE(mendalot.waitForFinished(30000));
        const QStringList lines =
            QString::fromUtf8(mendalot.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        if (complete) {
            EXPECT_EQ(mendalot.exitCode(), 0);
            EXPECT_EQ(lines, QStringList{"Finished copying and registering files: Done. OCX- and "
                                         "DLL-related problems should be fixed."});
            EXPECT_EQ(QDir(win + "/system32").entryList(QDir::Files).size(), 7);
        } else {
            EXPECT_EQ(mendalot.exitCode(), 1);
            ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
            EXPECT_TRUE(lines[0].startsWith("Can't see a needed file: Tthe program needs "
                                            "'COMCT232.OCX'"));
            EXPECT_TRUE(lines[0].contains("(URL not copied: there is no clipboard)"));
            EXPECT_TRUE(lines[1].startsWith("Failed to copy and register files: Failed to fix "
                                            "OCX- and DLL-related problems. -_- / Make sure"));
        }
    }
}

TEST(DataFolder, IsTheProgramFolderWhenWritableAndThePerUserFolderOtherwise) {
    QTemporaryDir dir;
    QProcessEnvironment env;
    env.insert("XDG_DATA_HOME", dir.filePath("xdg"));
    EXPECT_EQ(DataFolder(dir.path(), env), dir.path());
    // A folder that is gone (or, for a user, read-only) cannot take the logs.
    EXPECT_EQ(DataFolder(dir.filePath("gone"), env), dir.filePath("xdg/tonquill"));
    EXPECT_TRUE(QFileInfo(dir.filePath("xdg/tonquill")).isDir());
}

TEST(WinFolder, IsAnAbsoluteWindirOrElseThePerUserFolder) {
    QProcessEnvironment env;
    env.insert("XDG_DATA_HOME", "/data");
    const std::pair<const char*, const char*> cases[] = {
        {"", "/data/tonquill"}, {"/srv/win", "/srv/win"}, {"C:\\WINDOWS", "/data/tonquill"}};
    for (const auto& [windir, folder] : cases) {
        env.insert("windir", windir);
        QString note;
        EXPECT_EQ(ComponentInstaller::WinFolder(env, &note), folder) << windir;
        EXPECT_EQ(note.contains("ignored"), windir[0] == 'C') << windir;
    }
}

} // namespace
} // namespace tq
