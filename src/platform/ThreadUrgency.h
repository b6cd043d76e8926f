#pragma once

#include <QString>

namespace tq {

// Lifts the calling thread above ordinary work for a short, timing-critical stretch (the
// last milliseconds before a synchronized start and its first tone), and back.
class ThreadUrgency {
public:
    virtual ~ThreadUrgency() = default;
    // Tries to lift it; says what was obtained, or why nothing was, for the debug log.
    virtual bool Raise(QString* how) = 0;
    // Back to how the thread was scheduled before; harmless when nothing was raised.
    virtual void Lower() = 0;
};

} // namespace tq
