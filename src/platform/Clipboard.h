#pragma once

#include <QString>

namespace tq {

// How long text put on the clipboard stays there.
enum class ClipboardReach {
    None,         // there is no clipboard: nothing is kept
    WhileRunning, // until the program ends
    AfterExit,    // handed to the desktop's clipboard manager when the program ends
};

// The system clipboard, as plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void SetText(const QString& text) = 0;
    // The clipboard's plain text; empty where there is no clipboard to read.
    virtual QString Text() { return {}; }
    virtual ClipboardReach Reach() { return ClipboardReach::WhileRunning; }
};

} // namespace tq
