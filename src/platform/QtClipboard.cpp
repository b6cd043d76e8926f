#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tq {

void QtClipboard::SetText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString QtClipboard::Text() {
    return QGuiApplication::clipboard()->text();
}

} // namespace tq
