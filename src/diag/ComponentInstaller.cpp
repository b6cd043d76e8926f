#include "diag/ComponentInstaller.h"

#include "core/FileGate.h"
#include "core/FileWriter.h"
#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "diag/DataFolder.h"
#include "diag/FileExists.h"
#include "platform/Clipboard.h"
#include "platform/Components.h"
#include "platform/MessageBoxes.h"
#include "platform/ProcessLauncher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tq {

namespace {

constexpr int32_t kMarkerPollMs = 100;

QString Quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

} // namespace

QString CantSeeFileMessage(const QString& fileName, const QString& winFolder, bool withoutFirstLine,
                           const QString& urlNote) {
    // The fixer's message is cut to begin with a capital T before the old second line.
    const QString opening = withoutFirstLine
                                ? QStringLiteral("T")
                                : QStringLiteral("The first time you use this feature with this "
                                                 "program, \r\n");
    return opening + QStringLiteral("the program needs '") + fileName +
           QStringLiteral("' to be in the same folder as itself. \r\n"
                          "It will then copy that file to ") +
           winFolder +
           QStringLiteral("/system32 so that you don't \r\n"
                          "need to worry about it in the future, on this computer.\r\n\r\n"
                          "However, the file can't be seen in the same folder as this program, "
                          "\r\nand it isn't in system32 yet either.\r\n\r\n"
                          "Please download the \r\nlatest version of Tonquill from \r\n") +
           kDownloadPage + QStringLiteral("\r\n ") + urlNote +
           QStringLiteral(", where all needed files should be included in the download.");
}

QString CopyFailedMessage(const QString& fileName, const QString& winFolder, const QString& cause) {
    return QStringLiteral("The program just tried to copy a needed file, '") + fileName +
           QStringLiteral("'\r\nto ") + winFolder +
           QStringLiteral("/system32. The file is currently in the same folder as this "
                          "program. \r\n\r\nThe copy failed. Perhaps your Windows installation "
                          "directory is not ") +
           winFolder +
           QStringLiteral("/system32.\r\n\r\nThe program needs the OCX file to be in system32, "
                          "and info about it to be put into the registry using 'regsvr32'."
                          "\r\n\r\nPlease see info.txt (included with this program) for info on "
                          "how to do this yourself (it's not too tricky), at the bottom of the "
                          "section for the MIDI feature which you just tried to use.\r\n\r\n"
                          "Sorry about the trouble.") +
           (cause.isEmpty() ? QString() : QStringLiteral("\r\n\r\nWhat went wrong: ") + cause);
}

ComponentInstaller::ComponentInstaller(LogSink& log, MessageBoxes& boxes, NonLockingSleep& sleep,
                                       Clipboard& clipboard, ProcessLauncher& launcher,
                                       QString programFolder, QString winFolder,
                                       QString registerProgram)
    : log_(log), boxes_(boxes), sleep_(sleep), clipboard_(clipboard), launcher_(launcher),
      programFolder_(std::move(programFolder)), winFolder_(std::move(winFolder)),
      registerProgram_(std::move(registerProgram)) {}

QString ComponentInstaller::WinFolder(const QProcessEnvironment& env, QString* note) {
    const QString windir = env.value(QStringLiteral("windir"));
    if (!windir.isEmpty() && QDir::isRelativePath(windir)) {
        // Taken as it is, it would put the system folder under the working directory.
        if (note) {
            *note = QStringLiteral("windir '%1' is not an absolute path - ignored").arg(windir);
        }
        return UserDataFolder(env);
    }
    return windir.isEmpty() ? UserDataFolder(env) : windir;
}

bool ComponentInstaller::CopyFileToSystem32(const QString& fileName) {
    const QString sourceFile = programFolder_ + QLatin1Char('/') + fileName;
    const QString destFile = winFolder_ + QStringLiteral("/system32/") + fileName;
    log_.LogIndentInc(QStringLiteral("CopyFileToSystem32(") + fileName +
                      QStringLiteral(") - START"));
    log_.LogText(QStringLiteral("SourceFile = ") + sourceFile);
    log_.LogText(QStringLiteral("DestFile = ") + destFile);
    if (variant_.replaceOtherSize) {
        MoveAsideOtherSize(sourceFile, destFile);
    }
    bool result = true;
    if (IsOtherBuild(fileName, sourceFile, destFile) || !FileExists(destFile, log_)) {
        if (!FileExists(sourceFile, log_)) {
            log_.LogText(QStringLiteral("SourceFile DOES NOT EXIST!"));
            // Copied before the message is shown, so that it can be pasted while the
            // message is up.
            clipboard_.SetText(kDownloadPage);
            boxes_.Show(
                QStringLiteral("Can't see a needed file!"),
                CantSeeFileMessage(fileName, winFolder_, variant_.shortCantSeeMessage, UrlNote()),
                MsgButtons::Ok, MsgIcon::Critical);
            UntickMIDIBoxes();
            result = false;
        } else {
            QString cause;
            const bool placed = CopyAndRegister(sourceFile, destFile, &cause);
            if (!FileExists(destFile, log_)) {
                log_.LogText(QStringLiteral("THE SourceFile TO DestFile COPY FAILED!"));
                boxes_.Show(QStringLiteral("Couldn't copy the file!"),
                            CopyFailedMessage(fileName, winFolder_, cause), MsgButtons::Ok,
                            MsgIcon::Critical);
                UntickMIDIBoxes();
                result = false;
            } else if (!placed) {
                // Only a copy of another build can still be there: it goes on serving.
                log_.LogText(QStringLiteral("Keeping the DestFile already there"));
            }
        }
    }
    log_.LogIndentDec(QStringLiteral("CopyFileToSystem32() - END"));
    return result;
}

bool ComponentInstaller::IsOtherBuild(const QString& fileName, const QString& sourceFile,
                                      const QString& destFile) {
    const ComponentKind* kind = FindComponentKind(fileName);
    // Once a run: the copy this run has loaded keeps serving it whatever the file becomes.
    if (kind == nullptr || buildChecked_.contains(fileName.toLower())) {
        return false;
    }
    buildChecked_.insert(fileName.toLower());
    const std::optional<QString> ours = ComponentBuild(sourceFile, *kind);
    const std::optional<QString> theirs = ComponentBuild(destFile, *kind);
    // A foreign file stays, as does anything when our own copy has no build to compare.
    if (!ours || ours->isEmpty() || !theirs || *theirs == *ours) {
        return false;
    }
    log_.LogText(QStringLiteral("DestFile is build ") +
                 (theirs->isEmpty() ? QStringLiteral("(none)") : *theirs) +
                 QStringLiteral(", SourceFile is build ") + *ours +
                 QStringLiteral(" - replacing DestFile"));
    return true;
}

QString ComponentInstaller::UrlNote() {
    switch (clipboard_.Reach()) {
    case ClipboardReach::None:
        return QStringLiteral("(URL not copied: there is no clipboard)");
    case ClipboardReach::WhileRunning:
        if (variant_.endsAfterFailure) {
            return QStringLiteral("(URL copied to clipboard: paste it before this program ends)");
        }
        break;
    case ClipboardReach::AfterExit:
        break;
    }
    return QStringLiteral("(URL copied to clipboard)");
}

void ComponentInstaller::MoveAsideOtherSize(const QString& sourceFile, const QString& destFile) {
    if (!FileExists(destFile, log_) || !FileExists(sourceFile, log_) ||
        QFileInfo(destFile).size() == QFileInfo(sourceFile).size()) {
        return;
    }
    // An "orig" copy from an earlier run is the user's real original: never overwrite it.
    // Nor anything else under that name, a dangling link included: the rename takes only
    // a free name and never copies through a link.
    constexpr int kMostOrigNames = 1000;
    for (int n = 0; n < kMostOrigNames; ++n) {
        const QString aside =
            destFile + QStringLiteral("orig") + (n == 0 ? QString() : QString::number(n));
        int error = 0;
        if (RenameNoReplace(destFile, aside, &error) || error != EEXIST) {
            // A refused rename is ignored: the copy below then finds the file present.
            return;
        }
    }
}

// False, with the cause, when a step failed; whatever it had placed is gone again then.
bool ComponentInstaller::CopyAndRegister(const QString& sourceFile, const QString& destFile,
                                         QString* cause) {
    log_.LogText(QStringLiteral("FileCopy ") + sourceFile + QLatin1Char(',') + destFile);
    if (!CopyInto(sourceFile, destFile, cause)) {
        return false;
    }
    const QString markerFile = (markerFolder_.isEmpty() ? programFolder_ : markerFolder_) +
                               QStringLiteral("/NOTYETDONE.txt");
    log_.LogText(QStringLiteral("Creating NotYetDoneFile = ") + markerFile);
    if (!CreateMarker(markerFile, cause)) {
        QFile::remove(destFile);
        return false;
    }
    const QStringList arguments{destFile, markerFile};
    log_.LogText(QStringLiteral("RegisterCommand = ") + Quoted(registerProgram_) +
                 QLatin1Char(' ') + Quoted(destFile) + QLatin1Char(' ') + Quoted(markerFile));
    log_.LogText(QStringLiteral("Executing ") + kRegisterProgramName);
    const std::unique_ptr<LaunchedProcess> process = launcher_.Start(registerProgram_, arguments);
    const bool registered = WaitForRegistration(*process, markerFile, cause);
    // Why it removed the copy, or why it did not start.
    const QString said = process->Output().trimmed();
    for (const QString& line : said.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        log_.LogText(line);
    }
    if (!said.isEmpty()) {
        *cause = said;
    }
    log_.LogText(kRegisterProgramName + QStringLiteral(" finished"));
    if (!registered) {
        QFile::remove(markerFile);
        QFile::remove(destFile);
    }
    return registered;
}

bool ComponentInstaller::CopyInto(const QString& sourceFile, const QString& destFile,
                                  QString* cause) {
    const QString folder = QFileInfo(destFile).path();
    std::error_code error;
    std::filesystem::create_directories(PathBytes(folder).toStdString(), error);
    if (error) {
        *cause = QStringLiteral("can't make the folder ") + folder + QStringLiteral(": ") +
                 QString::fromLocal8Bit(error.message());
        log_.LogText(QStringLiteral("FileCopy failed: ") + *cause);
        return false;
    }
    // The writer puts a temporary file in place with a rename at the end: a failed copy
    // leaves nothing new under the destination name.
    const InputFile source = ReadWhole(sourceFile, kMaxComponentBytes);
    QString why = source.why;
    if (!source.ok || !WriteFileReplacing(destFile, source.bytes, &why)) {
        *cause = (source.ok ? QStringLiteral("can't write ") + destFile
                            : QStringLiteral("can't read ") + sourceFile) +
                 QStringLiteral(": ") + why;
        log_.LogText(QStringLiteral("FileCopy failed: ") + *cause);
        return false;
    }
    return true;
}

bool ComponentInstaller::CreateMarker(const QString& markerFile, QString* cause) {
    QDir().mkpath(QFileInfo(markerFile).path());
    // Created afresh, never opened through a link: a planted one would have its target
    // emptied.
    QString why;
    if (!CreateExclusive(markerFile, &why)) {
        *cause = QStringLiteral("can't create ") + markerFile + QStringLiteral(": ") + why;
        log_.LogText(*cause);
        return false;
    }
    return true;
}

// Waits while the marker exists. Unlike a bare wait on the marker, this also ends when the
// registration program has gone, so one that crashed or never started cannot hang us; it
// then has not vouched for the copy.
bool ComponentInstaller::WaitForRegistration(LaunchedProcess& process, const QString& markerFile,
                                             QString* cause) {
    for (;;) {
        // Asked before the marker: once the process has ended the marker can no longer go.
        const bool exited = process.HasExited();
        if (!FileExists(markerFile, log_)) {
            return true;
        }
        if (exited) {
            *cause = kRegisterProgramName + QStringLiteral(" ended without erasing ") + markerFile;
            log_.LogText(*cause);
            return false;
        }
        sleep_.MsgWaitObj(kMarkerPollMs);
    }
}

void ComponentInstaller::UntickMIDIBoxes() {
    if (untickMIDIBoxes_) {
        untickMIDIBoxes_();
    }
}

} // namespace tq
