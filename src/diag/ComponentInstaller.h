#pragma once

#include <QProcessEnvironment>
#include <QSet>
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
// copy (or its registration) did not leave it in the system folder. The fixer's can't-see
// message leaves out the first line, which speaks of a feature being used.
// urlNote follows the address: what became of it. A known cause of the failure is added to
// the copy-failed message on a line of its own.
QString CantSeeFileMessage(const QString& fileName, const QString& winFolder,
                           bool withoutFirstLine = false,
                           const QString& urlNote = QStringLiteral("(URL copied to clipboard)"));
QString CopyFailedMessage(const QString& fileName, const QString& winFolder,
                          const QString& cause = QString());

// How the fixer's copy-and-register differs from the main program's.
struct InstallerVariant {
    // A system copy whose size differs from ours is renamed with "orig" appended (an earlier
    // "orig" copy is kept: the new one gets "orig1", "orig2", ...) and ours takes its place.
    // A system copy of the same size is left alone, whatever it holds.
    bool replaceOtherSize = false;
    bool shortCantSeeMessage = false;
    // The program ends right after a failure: a clipboard that lasts only while it runs
    // must be pasted from before then, and the message says so.
    bool endsAfterFailure = false;
};

// Makes sure a component file lies in the system folder, WinFolder/system32: when it is
// missing there it is copied from the program folder and checked by the registration
// program (registerProgram FILE MARKER), which erases the marker file when it is done.
// A copy of one of our components from another build than the program folder's (an older
// program, or one upgraded since) is replaced the same way, the first time it is asked for
// in a run; when that copy can't be made, the one there goes on serving.
class ComponentInstaller {
public:
    ComponentInstaller(LogSink& log, MessageBoxes& boxes, NonLockingSleep& sleep,
                       Clipboard& clipboard, ProcessLauncher& launcher, QString programFolder,
                       QString winFolder, QString registerProgram);

    // windir when set to an absolute path, otherwise the per-user data folder's
    // "tonquill". A relative windir ("C:\WINDOWS" from a Windows environment) is ignored,
    // and *note says so.
    static QString
    WinFolder(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
              QString* note = nullptr);

    // The folder of the marker file when it is not the program folder: an installed copy
    // cannot write there.
    void SetMarkerFolder(QString folder) { markerFolder_ = std::move(folder); }
    void SetVariant(InstallerVariant variant) { variant_ = variant; }

    // Unticks the main window's MIDI boxes when a component cannot be had.
    void SetUntickMIDIBoxes(std::function<void()> untick) { untickMIDIBoxes_ = std::move(untick); }

    // fileName is a bare name such as "midiio32.ocx". True when the file is in the system
    // folder at the end.
    bool CopyFileToSystem32(const QString& fileName);

private:
    void MoveAsideOtherSize(const QString& sourceFile, const QString& destFile);
    bool IsOtherBuild(const QString& fileName, const QString& sourceFile, const QString& destFile);
    QString UrlNote();
    bool CopyAndRegister(const QString& sourceFile, const QString& destFile, QString* cause);
    bool CopyInto(const QString& sourceFile, const QString& destFile, QString* cause);
    bool CreateMarker(const QString& markerFile, QString* cause);
    bool WaitForRegistration(LaunchedProcess& process, const QString& markerFile, QString* cause);
    void UntickMIDIBoxes();

    LogSink& log_;
    MessageBoxes& boxes_;
    NonLockingSleep& sleep_;
    Clipboard& clipboard_;
    ProcessLauncher& launcher_;
    QString programFolder_;
    QString winFolder_;
    QString registerProgram_;
    QString markerFolder_;
    InstallerVariant variant_;
    std::function<void()> untickMIDIBoxes_;
    QSet<QString> buildChecked_; // lower-case file names
};

} // namespace tq
