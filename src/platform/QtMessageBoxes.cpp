#include "platform/QtMessageBoxes.h"

#include <QMessageBox>

namespace tq {

namespace {

QMessageBox::StandardButtons ToQt(MsgButtons b) {
    switch (b) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::SaveDiscardCancel:
        return QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(MsgIcon i) {
    switch (i) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

MsgAnswer FromQt(int b) {
    switch (b) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Retry:
        return MsgAnswer::Retry;
    case QMessageBox::Save:
        return MsgAnswer::Save;
    case QMessageBox::Discard:
        return MsgAnswer::Discard;
    default:
        return MsgAnswer::Cancel;
    }
}

} // namespace

MsgAnswer QtMessageBoxes::Show(const QString& title, const QString& text, MsgButtons buttons,
                               MsgIcon icon) {
    QMessageBox box(ToQt(icon), EffectiveTitle(title), text, ToQt(buttons), parent_);
    // Closing the box with its close button or Escape counts as the "negative" answer.
    if (buttons == MsgButtons::YesNo) {
        box.setEscapeButton(QMessageBox::No);
    }
    const int result = box.exec();
    return FromQt(result);
}

void QtMessageBoxes::Notify(const QString& title, const QString& text, MsgIcon icon) {
    auto* box = new QMessageBox(ToQt(icon), EffectiveTitle(title), text, QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace tq
