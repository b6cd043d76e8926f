#pragma once

#include "platform/Clipboard.h"

#include <QStringList>

namespace tq {

// Keeps every text put on the clipboard; reading gives the last one.
class RecordingClipboard final : public Clipboard {
public:
    void SetText(const QString& text) override { texts << text; }
    QString Text() override { return texts.isEmpty() ? QString() : texts.last(); }
    QStringList texts;
};

} // namespace tq
