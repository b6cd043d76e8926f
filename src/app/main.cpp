#include "core/NonLockingSleep.h"
#include "diag/DebugLog.h"
#include "diag/FileExists.h"
#include "editor/MainForm.h"
#include "editor/view/MainFormBinding.h"
#include "editor/view/MainWindow.h"
#include "playback/ToneDispatcher.h"
#include "platform/QtEventPump.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SpeakerFactory.h"
#include "platform/SpeakerSilencer.h"
#include "platform/SteadyClock.h"

#include <QApplication>

int main(int argc, char** argv) {
    tq::SpeakerSilencer::InstallHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonquill"));

    const QString folder = QCoreApplication::applicationDirPath();
    tq::DebugLog log(folder);
    log.SetLogEnabled(tq::FileExists(folder + QStringLiteral("/logenable"), log));
    log.SetUseWriteCode(tq::FileExists(folder + QStringLiteral("/tonecode.txt"), log));
    log.LogText(QStringLiteral("[PROGRAM STARTED]"));

    tq::SteadyClock clock;
    tq::QtEventPump pump;
    tq::QtMessageBoxes boxes;
    tq::NonLockingSleep sleep(clock, pump);

    tq::SpeakerChoice choice = tq::OpenSpeaker(tq::SpeakerOptions::FromEnvironment());
    for (const QString& note : choice.notes) {
        log.LogText(note);
    }
    tq::OutputSwitches switches;
    tq::ToneDispatcher tones(log, boxes, sleep, *choice.speaker, switches);
    tq::MainForm form({log, boxes, sleep, tones, switches});
    form.lblDebugVisible = log.LogEnabled();
    // The position display starts frozen during playback.
    form.SetNoUpdateCheck(true);

    tq::MainWindow window;
    tq::MainFormBinding binding(form, window);
    boxes.SetParent(&window);
    window.resize(1280, 800);
    window.show();
    const int rc = QApplication::exec();
    choice.speaker->Silence();
    return rc;
}
