#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <functional>
#include <memory>

namespace tq {

class Clipboard;
class LaunchedProcess;
class LogSink;
class MessageBoxes;
class NonLockingSleep;
class ProcessLauncher;

inline const QString kDownloadPage = QStringLiteral("https://tonquill.example.org/download");
inline const QString kRegisterProgramName = QStringLiteral("tonquill-register");

// The two failure messages of the installer: the component is in neither folder, and the
// copy (or its registration) did not leave it in the system folder.
QString CantSeeFileMessage(const QString& fileName, const QString& winFolder);
QString CopyFailedMessage(const QString& fileName, const QString& winFolder);

// Makes sure a component file lies in the system folder, WinFolder/system32: when it is
// missing there it is copied from the program folder and checked by the registration
// program (registerProgram FILE MARKER), which erases the marker file when it is done.
class ComponentInstaller {
public:
    ComponentInstaller(LogSink& log, MessageBoxes& boxes, NonLockingSleep& sleep,
                       Clipboard& clipboard, ProcessLauncher& launcher, QString programFolder,
                       QString winFolder, QString registerProgram);

    // windir when set and not empty, otherwise the per-user data folder's "tonquill".
    static QString
    WinFolder(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

    // Unticks the main window's MIDI boxes when a component cannot be had.
    void SetUntickMIDIBoxes(std::function<void()> untick) { untickMIDIBoxes_ = std::move(untick); }

    // fileName is a bare name such as "midiio32.ocx". True when the file is in the system
    // folder at the end.
    bool CopyFileToSystem32(const QString& fileName);

private:
    bool CopyAndRegister(const QString& sourceFile, const QString& destFile);
    bool CopyInto(const QString& sourceFile, const QString& destFile);
    bool CreateMarker(const QString& markerFile);
    bool WaitForRegistration(LaunchedProcess& process, const QString& markerFile);
    void UntickMIDIBoxes();

    LogSink& log_;
    MessageBoxes& boxes_;
    NonLockingSleep& sleep_;
    Clipboard& clipboard_;
    ProcessLauncher& launcher_;
    QString programFolder_;
    QString winFolder_;
    QString registerProgram_;
    std::function<void()> untickMIDIBoxes_;
};

} // namespace tq
