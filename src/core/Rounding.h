#pragma once

#include <QString>

#include <cstdint>

namespace tq {

// Every conversion of a number to an integer in the program rounds a half to the even
// neighbour. Values beyond the target's range saturate instead of wrapping.
int64_t RoundHalfEven(double value);
int32_t RoundToInt32(double value);
int16_t RoundToInt16(double value);

// A number as the program writes it into texts and logs: up to 15 significant digits,
// no trailing zeros, "." as the point, an exponent only for very large or small values
// ("0.5", "261.625", "3", "-12.25", "1E+16").
QString NumText(double value);
// The same for a single-precision value: up to 7 significant digits.
QString NumTextSingle(float value);

// The decimal number at the start of a text: leading blanks, an optional sign, digits,
// an optional "." and fraction digits; reading stops at the first character that cannot
// continue the number. No digits gives 0. "ok" tells whether any digit was read.
double LeadingNumber(const QString& text, bool* ok = nullptr);

// True when the whole text (blanks around it allowed) is a decimal number.
bool IsNumeric(const QString& text);

// True for the start of a number that is still being typed ("-", "+", ".", "-.", "+."),
// which a text box leaves as it stands, like an empty one.
bool IsNumberBeingTyped(const QString& text);

} // namespace tq
