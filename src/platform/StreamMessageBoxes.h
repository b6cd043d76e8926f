#pragma once

#include "platform/MessageBoxes.h"

#include <cstdio>

namespace tq {

// Message boxes without a screen: each box becomes a line on a stream (stderr), and a
// question takes the answer that changes nothing: No to a Yes/No question, OK (go on) to
// an OK/Cancel one, Cancel otherwise.
class StreamMessageBoxes final : public MessageBoxes {
public:
    explicit StreamMessageBoxes(std::FILE* stream = stderr) : stream_(stream) {}
    MsgAnswer Show(const QString& title, const QString& text, MsgButtons buttons,
                   MsgIcon icon) override;

private:
    std::FILE* stream_;
};

} // namespace tq
