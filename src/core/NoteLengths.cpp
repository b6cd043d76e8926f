#include "core/NoteLengths.h"

#include "core/LogSink.h"
#include "core/Rounding.h"

#include <array>
#include <cmath>

namespace tq {

double EquivalentLengthOf(const QString& lengthName, const QString& modifier) {
    double length = 0;
    if (lengthName == QLatin1String("Whole")) {
        length = 1;
    } else if (lengthName == QLatin1String("Half")) {
        length = 0.5;
    } else if (lengthName == QLatin1String("Quarter")) {
        length = 0.25;
    } else if (lengthName == QLatin1String("1/8")) {
        length = 0.125;
    } else if (lengthName == QLatin1String("1/16")) {
        length = 0.0625;
    }
    const QString lowered = modifier.toLower();
    if (lowered.contains(QLatin1String("dot"))) {
        length *= 1.5;
    } else if (lowered.contains(QLatin1String("tri"))) {
        length *= 0.333333333333333;
    }
    return length;
}

double GetEquivalentLength(const QString& lengthName, QString& modifier) {
    modifier = modifier.toLower();
    return EquivalentLengthOf(lengthName, modifier);
}

QString GetLengthAsWritten(int lengthIndex) {
    static const std::array<QString, 5> names = {QStringLiteral("Whole"), QStringLiteral("Half"),
                                                 QStringLiteral("Quarter"), QStringLiteral("1/8"),
                                                 QStringLiteral("1/16")};
    if (lengthIndex < 0 || lengthIndex > 4) {
        return {};
    }
    return names[static_cast<size_t>(lengthIndex)];
}

Decimal4 LineBeats(const QString& lengthName, const QString& modifier) {
    return Decimal4::FromDouble(EquivalentLengthOf(lengthName, modifier) * 4);
}

QString ConvertToFraction(float value, LogSink& log) {
    static const std::array<const char*, 16> fractions = {
        "",      "01/16", "01/08", "03/16", "01/04", "05/16", "03/08", "07/16",
        "01/02", "09/16", "05/08", "11/16", "03/04", "13/16", "07/08", "15/16"};
    const int64_t tenThousandths = RoundHalfEven(static_cast<double>(value) * 10000.0);
    if (tenThousandths >= 0 && tenThousandths % 625 == 0 && tenThousandths / 625 < 16) {
        return QLatin1String(fractions[static_cast<size_t>(tenThousandths / 625)]);
    }
    log.LogText(QStringLiteral("ConvertToFraction(") + NumTextSingle(value) +
                QStringLiteral(") failed to convert."));
    return QStringLiteral("(ERR)");
}

double FractionalPart(double value) {
    return value - std::trunc(value);
}

void FixRoundingErrors(double& value, LogSink& log) {
    if (FractionalPart(value) > 0.9999) {
        log.LogText(QStringLiteral("FixRoundingErrors() fixed an error."));
        value = std::trunc(value) + 1;
    }
}

bool NoRemainder(float value) {
    return std::trunc(value) == value;
}

QString NumPad(const QString& value, QChar pad, int16_t length) {
    if (value.size() >= length) {
        return value;
    }
    return QString(length - value.size(), pad) + value;
}

QString NumPad(int64_t value, QChar pad, int16_t length) {
    return NumPad(QString::number(value), pad, length);
}

} // namespace tq
