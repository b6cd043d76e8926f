#include "platform/StreamMessageBoxes.h"

#include <QStringList>

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

// The box's lines as one: a line that ends in a colon goes on with the next after a space, as
// in a sentence; other lines are parted by " / ", and empty ones are left out.
QString OneLine(const QString& text) {
    QString line;
    for (const QString& piece : QString(text)
                                    .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.isEmpty()) {
            line += line.endsWith(QLatin1Char(':')) ? QStringLiteral(" ") : QStringLiteral(" / ");
        }
        line += piece;
    }
    return line;
}

// The title leads the line as a heading, without the stop or exclamation mark it may have.
QString Heading(const QString& title) {
    QString heading = EffectiveTitle(title);
    while (heading.endsWith(QLatin1Char('.')) || heading.endsWith(QLatin1Char('!'))) {
        heading.chop(1);
    }
    return heading;
}

} // namespace

MsgAnswer StreamMessageBoxes::Show(const QString& title, const QString& text, MsgButtons buttons,
                                   MsgIcon /*icon*/) {
    const QString oneLine = OneLine(text);
    const auto [answer, caption] = QuietAnswer(buttons);
    // A question says what it was answered; a plain message has only OK.
    const QString answered =
        buttons == MsgButtons::Ok
            ? QString()
            : QStringLiteral(" [answered ") + QLatin1String(caption) + QLatin1Char(']');
    std::fprintf(stream_, "%s: %s%s\n", Heading(title).toLocal8Bit().constData(),
                 oneLine.toLocal8Bit().constData(), answered.toLocal8Bit().constData());
    return answer;
}

} // namespace tq
