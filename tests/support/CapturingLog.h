#pragma once

#include "QtPrinters.h"
#include "core/LogSink.h"

#include <QStringList>

namespace tq {

// Keeps every debug-log and tone-code line in memory, indented as the file log would.
class CapturingLog final : public LogSink {
public:
    void LogText(const QString& text, bool noNewLine = false) override {
        if (noNewLine && !lines.isEmpty()) {
            lines.last() += text + QLatin1Char(' ');
        } else {
            lines << QString(4 * indent, QLatin1Char(' ')) + text;
        }
    }
    void LogIndentInc(const QString& text) override {
        ++indent;
        LogText(text);
    }
    void LogIndentDec(const QString& text) override {
        LogText(text);
        if (indent > 0) {
            --indent;
        }
    }
    void WriteCode(const QString& code) override { codes << code; }

    // Lines without their indentation.
    QStringList Trimmed() const {
        QStringList out;
        for (const QString& l : lines) {
            out << l.trimmed();
        }
        return out;
    }

    QStringList lines;
    QStringList codes;
    int indent = 0;
};

} // namespace tq
