#pragma once

#include <QString>

namespace tq {

// The system clipboard, written as plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void SetText(const QString& text) = 0;
};

} // namespace tq
