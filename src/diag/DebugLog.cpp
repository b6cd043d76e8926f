#include "diag/DebugLog.h"

#include "core/FileWriter.h"

#include <QTime>

namespace tq {

namespace {

const QByteArray kCrLf("\r\n");

// A log that cannot be written (a link planted in its place above all) is skipped.
void AppendBytes(const QString& path, const QByteArray& bytes) {
    AppendNoFollow(path, bytes, nullptr);
}

} // namespace

DebugLog::DebugLog(QString folder)
    : folder_(std::move(folder)),
      timeOfDay_([] { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")); }) {}

QString DebugLog::DebugLogPath() const {
    return debugLogPath_.isEmpty() ? folder_ + QStringLiteral("/debuglog.txt") : debugLogPath_;
}

QString DebugLog::ToneCodePath() const {
    return toneCodePath_.isEmpty() ? folder_ + QStringLiteral("/tonecode.txt") : toneCodePath_;
}

void DebugLog::LogText(const QString& text, bool noNewLine) {
    if (!logEnabled_) {
        return;
    }
    if (!noNewLine) {
        const QString indent(4 * std::max<int>(logIndent_, 0), QLatin1Char(' '));
        AppendBytes(DebugLogPath(),
                    (timeOfDay_() + QStringLiteral(" - ") + indent + text).toUtf8() + kCrLf);
        return;
    }
    // A continuation overwrites the CR LF that ends the last line. On a file too short to
    // end in CR LF there is nothing to overwrite, and the text is appended.
    ContinueNoFollow(DebugLogPath(), (text + QLatin1Char(' ')).toUtf8() + kCrLf, nullptr);
}

void DebugLog::LogIndentInc(const QString& text) {
    if (!logEnabled_) {
        return;
    }
    ++logIndent_;
    LogText(text);
}

void DebugLog::LogIndentDec(const QString& text) {
    if (!logEnabled_) {
        return;
    }
    LogText(text + QStringLiteral("\r\n"));
    // More decrements than increments would leave the log indented below its margin;
    // the level stops at 0.
    if (logIndent_ > 0) {
        --logIndent_;
    }
}

void DebugLog::WriteCode(const QString& code) {
    if (!useWriteCode_) {
        return;
    }
    AppendBytes(ToneCodePath(), code.toUtf8() + kCrLf);
}

} // namespace tq
