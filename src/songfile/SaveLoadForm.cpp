#include "songfile/SaveLoadForm.h"

#include "diag/FileExists.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "songfile/SongFormat.h"

namespace tq {

SaveLoadForm::SaveLoadForm(SaveLoadHost& host, SongTarget& target, MessageBoxes& boxes,
                           FileDialogs& dialogs, LogSink& log, QObject* parent)
    : QObject(parent), host_(host), boxes_(boxes), dialogs_(dialogs), log_(log),
      songFile_(target, *this, boxes, dialogs, log) {}

void SaveLoadForm::ShowForm() {
    host_.SetMainWindowEnabled(false);
    visible_ = true;
    emit Changed();
}

void SaveLoadForm::SaveButtonClick() {
    songFile_.SaveMusic();
    Finish();
}

void SaveLoadForm::LoadButtonClick() {
    LoadMusic();
    Finish();
}

void SaveLoadForm::CancelButtonClick() {
    Finish();
}

void SaveLoadForm::CloseBoxClick() {
    if (!infoTextVisible_) {
        Finish();
    }
}

void SaveLoadForm::Finish() {
    host_.SetMainWindowEnabled(true);
    visible_ = false;
    emit Changed();
    host_.BringMainWindowToFront();
}

void SaveLoadForm::LoadMusic() {
    if (mayLoad_ && !mayLoad_()) {
        return;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Loading music / config");
    request.filter = kSongFileFilter;
    request.flags = kFileMustExist | kHideReadOnly;
    const QString path = dialogs_.Open(request);
    if (!path.isEmpty()) {
        LoadSeenFile(path);
    }
}

bool SaveLoadForm::OpenFile(const QString& path) {
    return (mayLoad_ && !mayLoad_()) || LoadSeenFile(path);
}

bool SaveLoadForm::LoadSeenFile(const QString& path) {
    if (!FileExists(path, log_)) {
        boxes_.Show(QStringLiteral("Can't open file!"),
                    QStringLiteral("The file you want to open...\n") + path +
                        QStringLiteral("\n...can't be seen."),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    songFile_.ActuallyLoadMusic(path);
    return true;
}

void SaveLoadForm::ShowHideInfoText(bool show) {
    infoTextVisible_ = show;
    emit Changed();
}

void SaveLoadForm::SetInfoText(const QString& text) {
    infoText_ = text;
    emit Changed();
}

void SaveLoadForm::Repaint() {
    emit RepaintRequested();
}

} // namespace tq
