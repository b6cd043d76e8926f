#include "platform/StreamMessageBoxes.h"

namespace tq {

MsgAnswer StreamMessageBoxes::Show(const QString& title, const QString& text, MsgButtons buttons,
                                   MsgIcon /*icon*/) {
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" / "))
        .replace('\n', QStringLiteral(" / "));
    std::fprintf(stream_, "%s: %s\n", EffectiveTitle(title).toLocal8Bit().constData(),
                 oneLine.toLocal8Bit().constData());
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel:
        return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

} // namespace tq
