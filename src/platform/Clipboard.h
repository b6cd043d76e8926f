#pragma once

#include <QString>

namespace tq {

// The system clipboard, as plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void SetText(const QString& text) = 0;
    // The clipboard's plain text; empty where there is no clipboard to read.
    virtual QString Text() { return {}; }
};

} // namespace tq
