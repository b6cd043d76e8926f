#pragma once

#include "core/LogSink.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace tq {

// The debug log ("debuglog.txt") and the tone-code log ("tonecode.txt") in the program
// folder. Both are off until start-up finds their marker files; both are only appended
// to, each call opening and closing the file. Lines end in CR LF. A file that cannot be
// opened is skipped silently; so is a link in a log's place, which is never followed.
class DebugLog final : public LogSink {
public:
    explicit DebugLog(QString folder);

    void SetLogEnabled(bool on) { logEnabled_ = on; }
    void SetUseWriteCode(bool on) { useWriteCode_ = on; }
    bool LogEnabled() const { return logEnabled_; }
    bool UseWriteCode() const { return useWriteCode_; }
    int16_t LogIndent() const { return logIndent_; }
    QString DebugLogPath() const;
    QString ToneCodePath() const;
    // Other files than the program folder's "debuglog.txt" and "tonecode.txt".
    void SetDebugLogPath(QString path) { debugLogPath_ = std::move(path); }
    void SetToneCodePath(QString path) { toneCodePath_ = std::move(path); }

    // The time of day in front of each line; tests fix it.
    void SetTimeOfDay(std::function<QString()> timeOfDay) { timeOfDay_ = std::move(timeOfDay); }

    // One line: time stamp, " - ", 4 spaces per indent level, text, CR LF. With noNewLine
    // the text, a space and CR LF replace the CR LF that ends the file instead.
    void LogText(const QString& text, bool noNewLine = false) override;
    // Indents one level deeper, then writes the line.
    void LogIndentInc(const QString& text) override;
    // Writes the line and an empty line, then indents one level shallower.
    void LogIndentDec(const QString& text) override;
    void WriteCode(const QString& code) override;

private:
    QString folder_;
    QString debugLogPath_;
    QString toneCodePath_;
    bool logEnabled_ = false;
    bool useWriteCode_ = false;
    int16_t logIndent_ = 0;
    std::function<QString()> timeOfDay_;
};

} // namespace tq
