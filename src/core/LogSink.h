#pragma once

#include <QString>

namespace tq {

// Where the debug log and the tone-code log go. The diagnostics module writes them to
// files; pure helpers of the core take this interface so they can report without
// depending on it.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void LogText(const QString& text, bool noNewLine = false) = 0;
    virtual void LogIndentInc(const QString& text) = 0;
    virtual void LogIndentDec(const QString& text) = 0;
    virtual void WriteCode(const QString& code) = 0;
};

// Swallows everything.
class NullLog final : public LogSink {
public:
    void LogText(const QString&, bool) override {}
    void LogIndentInc(const QString&) override {}
    void LogIndentDec(const QString&) override {}
    void WriteCode(const QString&) override {}
};

} // namespace tq
