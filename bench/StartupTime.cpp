// Start-up time: from the start of main() to the main window shown and painted, without a
// song and with one of 100,000 lines. Prints the milliseconds of each of several runs.
//
//   startup_time [song.tql]
#include "app/Program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    tq::Program program(QCoreApplication::applicationDirPath());
    program.StartUp(QCoreApplication::arguments().mid(1));
    if (!QTest::qWaitForWindowExposed(&program.Window())) {
        std::fprintf(stderr, "the window never showed\n");
        return 1;
    }
    QCoreApplication::processEvents();
    std::printf("start-up to window shown: %lld ms\n", static_cast<long long>(timer.elapsed()));
    program.ShutDown();
    return 0;
}
