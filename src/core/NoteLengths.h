#pragma once

#include "core/Decimal4.h"

#include <QString>

#include <cstdint>

namespace tq {

class LogSink;

// The length as a fraction of a whole note ("Quarter" 0.25), times 1.5 when the
// modifier contains "dot", else times 0.333333333333333 when it contains "tri". Length
// names are case-sensitive; the modifier is lowered in the caller's variable.
double GetEquivalentLength(const QString& lengthName, QString& modifier);
// The same, leaving the caller's modifier alone.
double EquivalentLengthOf(const QString& lengthName, const QString& modifier);

// "Whole", "Half", "Quarter", "1/8", "1/16" for 0..4; "" otherwise.
QString GetLengthAsWritten(int lengthIndex);

// A line's length in quarter-note beats, held to four places: a quarter triplet is 0.3333.
Decimal4 LineBeats(const QString& lengthName, const QString& modifier);

// "" for 0, "01/16" .. "15/16" for multiples of 1/16 (after rounding to four places),
// "(ERR)" and a debug-log line for anything else.
QString ConvertToFraction(float value, LogSink& log);

// The value minus its integer part truncated toward zero.
double FractionalPart(double value);

// Rounds a position whose fractional part exceeds 0.9999 up to the next whole number.
void FixRoundingErrors(double& value, LogSink& log);

// True when the value is a whole number.
bool NoRemainder(float value);

// false for true, true for false.
inline bool SwitchTrueFalse(bool value) {
    return !value;
}

// The text padded on the left with pad up to length characters; longer texts unchanged.
QString NumPad(const QString& value, QChar pad, int16_t length);
QString NumPad(int64_t value, QChar pad, int16_t length);

} // namespace tq
