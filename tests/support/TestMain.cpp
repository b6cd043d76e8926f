// The main() of every test program: widgets run offscreen, a QApplication exists so that
// widget and event-loop tests can run, and the user's settings are a fresh folder's.
#include <QApplication>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <csignal>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Before anything reads the settings: the user's own are never touched.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
