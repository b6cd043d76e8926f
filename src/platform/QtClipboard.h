#pragma once

#include "platform/Clipboard.h"

namespace tq {

// The clipboard of the running QGuiApplication.
class QtClipboard final : public Clipboard {
public:
    void SetText(const QString& text) override;
    QString Text() override;
    // Qt hands what it put on the X11 clipboard to the clipboard manager when the program
    // ends, when one runs; Wayland has no such hand-over.
    ClipboardReach Reach() override;
};

} // namespace tq
