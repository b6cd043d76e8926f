// The main() of every test program: widgets run offscreen, and a QApplication exists so
// that widget and event-loop tests can run.
#include <QApplication>

#include <gmock/gmock.h>

#include <csignal>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
