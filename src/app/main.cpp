#include "app/Program.h"
#include "platform/SpeakerSilencer.h"

#include <QApplication>

int main(int argc, char** argv) {
    tq::SpeakerSilencer::InstallHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonquill"));
    tq::Program program(QCoreApplication::applicationDirPath());
    program.StartUp(QCoreApplication::arguments().mid(1));
    const int rc = QApplication::exec();
    program.ShutDown();
    return rc;
}
