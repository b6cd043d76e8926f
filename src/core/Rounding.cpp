#include "core/Rounding.h"

#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tq {

int64_t RoundHalfEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kMax = 9.2233720368547748e18; // first double above INT64_MAX
    if (value >= kMax) {
        return std::numeric_limits<int64_t>::max();
    }
    if (value <= -kMax) {
        return std::numeric_limits<int64_t>::min();
    }
    // nearbyint follows the current rounding mode, which is round-half-even by default.
    return static_cast<int64_t>(std::nearbyint(value));
}

int32_t RoundToInt32(double value) {
    const int64_t v = RoundHalfEven(value);
    if (v > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (v < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(v);
}

int16_t RoundToInt16(double value) {
    const int64_t v = RoundHalfEven(value);
    if (v > std::numeric_limits<int16_t>::max()) {
        return std::numeric_limits<int16_t>::max();
    }
    if (v < std::numeric_limits<int16_t>::min()) {
        return std::numeric_limits<int16_t>::min();
    }
    return static_cast<int16_t>(v);
}

namespace {

QString NumberText(double value, int digits) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    QString s = QString::fromLatin1(buf);
    const qsizetype e = s.indexOf('E');
    QString mantissa = e < 0 ? s : s.left(e);
    if (mantissa.contains('.')) {
        while (mantissa.endsWith('0')) {
            mantissa.chop(1);
        }
        if (mantissa.endsWith('.')) {
            mantissa.chop(1);
        }
    }
    if (e < 0) {
        return mantissa == QLatin1String("-0") ? QStringLiteral("0") : mantissa;
    }
    // "1E+16": no leading zeros in the exponent.
    QString exponent = s.mid(e + 2);
    while (exponent.size() > 1 && exponent.startsWith('0')) {
        exponent.remove(0, 1);
    }
    return mantissa + 'E' + s.at(e + 1) + exponent;
}

} // namespace

QString NumText(double value) {
    return NumberText(value, 15);
}

QString NumTextSingle(float value) {
    return NumberText(static_cast<double>(value), 7);
}

double LeadingNumber(const QString& text, bool* ok) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    QByteArray num;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        num += static_cast<char>(text[i].unicode());
        ++i;
    }
    bool anyDigit = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        num += static_cast<char>(text[i].unicode());
        anyDigit = true;
        ++i;
    }
    if (i < n && text[i] == '.') {
        num += '.';
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            num += static_cast<char>(text[i].unicode());
            anyDigit = true;
            ++i;
        }
    }
    if (ok) {
        *ok = anyDigit;
    }
    if (!anyDigit) {
        return 0;
    }
    return std::strtod(num.constData(), nullptr);
}

bool IsNumberBeingTyped(const QString& text) {
    static const QStringList starts = {QStringLiteral("-"), QStringLiteral("+"),
                                       QStringLiteral("."), QStringLiteral("-."),
                                       QStringLiteral("+.")};
    return starts.contains(text.trimmed());
}

bool IsNumeric(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return false;
    }
    qsizetype i = 0;
    if (t[0] == '+' || t[0] == '-') {
        ++i;
    }
    bool anyDigit = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') {
            anyDigit = true;
        } else if (t[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return anyDigit;
}

} // namespace tq
