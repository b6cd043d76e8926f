#include "app/Program.h"
#include "core/FileGate.h"
#include "platform/SpeakerSilencer.h"

#include <QApplication>
#include <QIcon>

namespace {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {32, 64, 256}) {
        icon.addFile(QStringLiteral(":/icons/org.tonquill.Tonquill-%1.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    tq::SpeakerSilencer::InstallHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonquill"));
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tonquill.Tonquill"));
    QApplication::setWindowIcon(ProgramIcon());
    tq::Program program(QCoreApplication::applicationDirPath());
    // Taken as bytes (after Qt has removed its own options): Qt's decoding would change a
    // name that is not UTF-8.
    program.StartUp(tq::ArgumentPaths(argc, argv));
    const int rc = QApplication::exec();
    program.ShutDown();
    return rc;
}
