#include "platform/QtProcessLauncher.h"

#include <QProcess>

namespace tq {

namespace {

// A started program's last step may still be running when its owner lets go of it; give it
// this long to end on its own rather than killing it.
constexpr int kEndGraceMs = 2000;

class QtLaunchedProcess final : public LaunchedProcess {
public:
    QtLaunchedProcess(const QString& program, const QStringList& arguments) {
        // What it says is kept; its warnings (Qt's own among them) go where ours go.
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.start(program, arguments);
        // Fork and exec take milliseconds; afterwards a program that did not start is
        // already NotRunning.
        process_.waitForStarted();
    }

    ~QtLaunchedProcess() override {
        if (process_.state() != QProcess::NotRunning) {
            process_.waitForFinished(kEndGraceMs);
        }
    }

    bool HasExited() override {
        // The event loop notices the end when the caller pumps it; waitForFinished(0) also
        // notices it without one.
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(0);
    }

    QString Output() override {
        if (process_.state() != QProcess::NotRunning) {
            process_.waitForFinished(kEndGraceMs);
        }
        if (process_.error() == QProcess::FailedToStart) {
            return process_.program() + QStringLiteral(": ") + process_.errorString();
        }
        return QString::fromLocal8Bit(process_.readAllStandardOutput());
    }

private:
    QProcess process_;
};

} // namespace

std::unique_ptr<LaunchedProcess> QtProcessLauncher::Start(const QString& program,
                                                          const QStringList& arguments) {
    return std::make_unique<QtLaunchedProcess>(program, arguments);
}

} // namespace tq
