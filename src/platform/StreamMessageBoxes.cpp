#include "platform/StreamMessageBoxes.h"

#include <utility>

namespace tq {

namespace {

// The answer that changes nothing, and its button's caption.
std::pair<MsgAnswer, const char*> QuietAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return {MsgAnswer::Ok, "OK"};
    case MsgButtons::YesNo:
        return {MsgAnswer::No, "No"};
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel:
    case MsgButtons::SaveDiscardCancel:
        break;
    }
    return {MsgAnswer::Cancel, "Cancel"};
}

} // namespace

MsgAnswer StreamMessageBoxes::Show(const QString& title, const QString& text, MsgButtons buttons,
                                   MsgIcon /*icon*/) {
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" / "))
        .replace('\n', QStringLiteral(" / "));
    const auto [answer, caption] = QuietAnswer(buttons);
    // A question says what it was answered; a plain message has only OK.
    const QString answered =
        buttons == MsgButtons::Ok
            ? QString()
            : QStringLiteral(" [answered ") + QLatin1String(caption) + QLatin1Char(']');
    std::fprintf(stream_, "%s: %s%s\n", EffectiveTitle(title).toLocal8Bit().constData(),
                 oneLine.toLocal8Bit().constData(), answered.toLocal8Bit().constData());
    return answer;
}

} // namespace tq
