#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tq {

class Clipboard;
class MessageBoxes;
class NonLockingSleep;
class ProcessLauncher;

// Mendalot's one window: copies each component file the main program's windows need from
// its own folder into the system folder and registers it, one after the other, and says
// whether all of them are in place. It runs once from start to end without user action.
class FixForm final : public QObject {
    Q_OBJECT
public:
    struct Deps {
        MessageBoxes& boxes;
        NonLockingSleep& sleep;
        Clipboard& clipboard;
        ProcessLauncher& launcher;
        QString programFolder;
        // Gets the marker file while a registration runs.
        QString dataFolder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    };

    static constexpr int kFixed = 0;
    static constexpr int kFailed = 1;
    static constexpr int32_t kShowNameWaitMs = 30;

    explicit FixForm(Deps deps) : d_(std::move(deps)) {}

    // The files handled, in this order.
    static const QStringList& ComponentFiles();
    static QString FailureMessage();

    // The window is shown: handles every file and ends with the success message (kFixed) or,
    // at the first file that can't be put in place, with the failure message (kFailed).
    int Form_Load();

    QString lblFile;
    QString WinFolder;

signals:
    // lblFile has changed: the window repaints it at once.
    void LblFileChanged();

private:
    Deps d_;
};

} // namespace tq
