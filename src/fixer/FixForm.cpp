#include "fixer/FixForm.h"

#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "diag/ComponentInstaller.h"
#include "platform/MessageBoxes.h"

namespace tq {

const QStringList& FixForm::ComponentFiles() {
    static const QStringList files{QStringLiteral("COMCT232.OCX"), QStringLiteral("MSCOMCTL.OCX"),
                                   QStringLiteral("comctl32.ocx"), QStringLiteral("comdlg32.ocx"),
                                   QStringLiteral("msstdfmt.dll"), QStringLiteral("MSCOMM32.OCX"),
                                   QStringLiteral("vbalHTmr6.dll")};
    return files;
}

QString FixForm::FailureMessage() {
    return QStringLiteral(
        "Failed to fix OCX- and DLL-related problems. -_-\r\n\r\n"
        "Make sure the following 6 files are in the same folder as this program:\r\n"
        "COMCT232.OCX, \r\nMSCOMCTL.OCX, \r\ncomctl32.ocx, \r\ncomdlg32.ocx, \r\n"
        "msstdfmt.dll, \r\nMSCOMM32.OCX\r\n"
        "If any are missing, please re-download Tonquill (the files are included in the "
        "download ZIP).\r\n\r\n"
        "If none are missing, please see info.txt (which came with TQL) for info on how you "
        "might be able to fix the problem yourself.");
}

int FixForm::Form_Load() {
    WinFolder = ComponentInstaller::WinFolder(d_.environment);
    // Mendalot keeps no log.
    NullLog noLog;
    ComponentInstaller installer(noLog, d_.boxes, d_.sleep, d_.clipboard, d_.launcher,
                                 d_.programFolder, WinFolder,
                                 d_.programFolder + QLatin1Char('/') + kRegisterProgramName);
    installer.SetMarkerFolder(d_.dataFolder);
    installer.SetVariant(
        {.replaceOtherSize = true, .shortCantSeeMessage = true, .endsAfterFailure = true});
    for (const QString& file : ComponentFiles()) {
        lblFile = file;
        emit LblFileChanged();
        d_.sleep.MsgWaitObj(kShowNameWaitMs);
        if (!installer.CopyFileToSystem32(file)) {
            d_.boxes.Show(QStringLiteral("Failed to copy and register files."), FailureMessage(),
                          MsgButtons::Ok, MsgIcon::Critical);
            return kFailed;
        }
    }
    d_.boxes.Show(QStringLiteral("Finished copying and registering files."),
                  QStringLiteral("Done. OCX- and DLL-related problems should be fixed."),
                  MsgButtons::Ok, MsgIcon::Information);
    return kFixed;
}

} // namespace tq
