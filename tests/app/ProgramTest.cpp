#include "app/Program.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace tq {
namespace {

// The whole program in a folder of its own, with its debug log on, no speaker and no
// sound output.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        qputenv("TONQUILL_SPEAKER", "none");
        qputenv("TONQUILL_AUDIO_API", "none");
    }
    void TearDown() override { qunsetenv("TONQUILL_SERIAL_PORT"); }

    std::unique_ptr<Program> Start(const QByteArray& serialPort,
                                   const QStringList& arguments = {}) {
        qputenv("TONQUILL_SERIAL_PORT", serialPort);
        auto program = std::make_unique<Program>(dir.path());
        program->Log().SetLogEnabled(true);
        program->StartUp(arguments);
        return program;
    }
    QStringList LogLines() const {
        QFile f(dir.path() + QStringLiteral("/debuglog.txt"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList out;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"))) {
            out << line.section(QStringLiteral(" - "), 1, -1).trimmed();
        }
        return out;
    }

    QTemporaryDir dir;
};

TEST_F(ProgramTest, ClosingTheMainWindowWithAnotherWindowOpenShutsDownAndEndsTheProgram) {
    auto program = Start("/nonexistent/ttyTQ");
    int endedWith = -1;
    program->SetProcessEnd([&endedWith](int code) {
        endedWith = code;
        QCoreApplication::exit(code);
    });
    QTimer::singleShot(0, [&program] {
        // The Save/Load window leaves the main window disabled, but it can still be closed.
        program->Window().SaveLoadButton->click();
        ASSERT_FALSE(program->Window().isEnabled());
        program->Window().close();
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(endedWith, 0);
    const QStringList log = LogLines();
    const qsizetype request = log.indexOf("[REQUEST TO CLOSE PROGRAM]");
    ASSERT_GE(request, 0);
    // The shut-down's lines end the log (an unindent leaves a blank line).
    EXPECT_EQ(log.mid(request + 1),
              QStringList({"VoiceMainForm.VoiceDoShutDownStuff() - START",
                           "VoiceMainForm.VoiceDoShutDownStuff() - END", "",
                           "DoShutDownStuff() - START", "DoShutDownStuff() - END", "",
                           "KILLING PROCESS (should be last line in log)", ""}));
}

TEST_F(ProgramTest, ClosingWithUnsavedChangesAsksFirstAndCancelKeepsTheWindowOpen) {
    auto program = Start("/nonexistent/ttyTQ");
    int endedWith = -1;
    program->SetProcessEnd([&endedWith](int code) { endedWith = code; });
    EXPECT_FALSE(program->Form().IsModified()); // the start-up is no edit
    program->Form().PianoKey_Click(12);
    ASSERT_TRUE(program->Window().windowTitle().startsWith('*'));
    QStringList asked;
    const auto answer = [&asked](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&asked, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            asked << box->text();
            box->button(button)->click();
        });
    };
    answer(QMessageBox::Cancel);
    program->Window().close();
    EXPECT_TRUE(program->Window().isVisible());
    EXPECT_EQ(endedWith, -1);
    answer(QMessageBox::Discard);
    program->Window().close();
    EXPECT_EQ(endedWith, 0);
    EXPECT_EQ(asked, QStringList({"Save changes to Untitled?", "Save changes to Untitled?"}));
}

// Opened with the program from a file manager, a tune comes in as File > Import brings
// it: the summary box, then the tune as an untitled song that Undo takes back.
TEST_F(ProgramTest, ATuneGivenOnTheCommandLineIsImported) {
    const QString tune = dir.filePath(QStringLiteral("tune.rtttl"));
    QFile f(tune);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Tune:d=8,o=5,b=180:c,e,4g\n");
    f.close();
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->accept();
    });
    auto program = Start("/nonexistent/ttyTQ", {tune});
    EXPECT_EQ(shown, QStringLiteral("Tune: 3 lines at 180 BPM."));
    EXPECT_EQ(program->Form().List().LineCount(), 3);
    EXPECT_EQ(program->Form().Settings().BPM, 180);
    EXPECT_TRUE(program->Window().windowTitle().startsWith(QLatin1String("*Untitled")));
}

TEST_F(ProgramTest, TheStartUpProbeOpensTheSerialPortAndGreysOutTheMotorWhenItCannot) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const QByteArray ptyPath = ttyname(slave);
    ::close(slave);
    {
        auto program = Start(ptyPath);
        EXPECT_TRUE(LogLines().contains("A com port exists"));
        // Ticking the box opens the port; clearing it stops the motor and closes it.
        ASSERT_TRUE(program->Window().UseMotorCheck->isEnabled());
        EXPECT_TRUE(program->Window().MotorOctSlider->isEnabled());
        program->Window().UseMotorCheck->click();
        program->Window().UseMotorCheck->click();
        char sent[16] = {};
        fcntl(master, F_SETFL, O_NONBLOCK);
        EXPECT_EQ(::read(master, sent, sizeof sent), 8);
        EXPECT_STREQ(sent, "#0p1470\r");
        program->ShutDown();
    }
    ::close(master);
    QFile::remove(dir.path() + QStringLiteral("/debuglog.txt"));

    auto program = Start("/nonexistent/ttyTQ");
    EXPECT_TRUE(LogLines().contains("No (available) com port can be seen"));
    EXPECT_FALSE(program->Window().UseMotorCheck->isEnabled());
    EXPECT_FALSE(program->Window().MotorOctSlider->isEnabled());
    EXPECT_TRUE(program->Window().UseMotorCheck->toolTip().contains(
        "No serial port could be opened (/nonexistent/ttyTQ: "));
    program->ShutDown();
}

TEST_F(ProgramTest, UseSynchroCheckShowsTheSynchronizedPlayWindowWhoseCloseBoxUnticksIt) {
    auto program = Start("/nonexistent/ttyTQ");
    QCheckBox* box = program->Window().UseSynchroCheck;
    ASSERT_TRUE(box->isEnabled());
    box->click();
    QWidget* synchro = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowTitle() == QLatin1String("Synchronized Play Settings")) {
            synchro = w;
        }
    }
    ASSERT_NE(synchro, nullptr);
    EXPECT_TRUE(synchro->isVisible());
    synchro->close();
    EXPECT_FALSE(synchro->isVisible());
    EXPECT_FALSE(box->isChecked());
    program->ShutDown();
}

TEST_F(ProgramTest, ASecondaryWindowOpensAboveTheMainWindowCentredThenWhereItWasLeftOnScreen) {
    const QString key = QStringLiteral("Windows/SaveLoadForm/Position");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        const char* what;
        QVariant stored;
        QVariant expected; // none: centred on the main window
    };
    const Case cases[] = {
        {"the first time", {}, {}},
        {"where it was left", QPoint(37, 41), QPoint(37, 41)},
        {"on a screen unplugged since", QPoint(5000, 40), {}},
    };
    for (const Case& c : cases) {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Tonquill", "Tonquill");
        settings.setValue(key, c.stored);
        if (!c.stored.isValid()) {
            settings.remove(key);
        }
        auto program = Start("/nonexistent/ttyTQ");
        MainWindow& main = program->Window();
        main.SaveLoadButton->click();
        QWidget* w = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String("SaveLoadForm") && top->isVisible()) {
                w = top;
            }
        }
        ASSERT_NE(w, nullptr) << c.what;
        EXPECT_EQ(w->windowHandle()->transientParent(), main.windowHandle()) << c.what;
        EXPECT_TRUE(screen.contains(w->frameGeometry())) << c.what;
        if (c.expected.isValid()) {
            EXPECT_EQ(w->pos(), c.expected.toPoint()) << c.what;
        } else if (c.stored.isValid()) {
            EXPECT_EQ(w->frameGeometry().right(), screen.right()) << c.what;
        } else {
            const QPoint off = w->frameGeometry().center() - main.frameGeometry().center();
            EXPECT_LE(off.manhattanLength(), 2) << c.what;
        }
        w->move(60, 70);
        w->close();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(settings.value(key).toPoint(), QPoint(60, 70)) << c.what;
        program->ShutDown();
    }
}

} // namespace
} // namespace tq
