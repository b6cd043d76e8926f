#pragma once

#include "platform/Clipboard.h"

namespace tq {

// The clipboard of the running QGuiApplication.
class QtClipboard final : public Clipboard {
public:
    void SetText(const QString& text) override;
    QString Text() override;
};

} // namespace tq
