#pragma once

#include "platform/Clipboard.h"

#include <QStringList>

namespace tq {

// Keeps every text put on the clipboard.
class RecordingClipboard final : public Clipboard {
public:
    void SetText(const QString& text) override { texts << text; }
    QStringList texts;
};

} // namespace tq
