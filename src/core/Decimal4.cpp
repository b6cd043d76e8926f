#include "core/Decimal4.h"

#include "core/Rounding.h"

#include <cstdio>

namespace tq {

namespace {

// a / b for 128-bit integers, rounded half to even. b must not be 0.
int64_t DivideHalfEven(__int128 a, __int128 b) {
    if (b < 0) {
        a = -a;
        b = -b;
    }
    __int128 q = a / b;
    __int128 r = a % b;
    // Bring the remainder to the same sign as the divisor to compare halves.
    if (r < 0) {
        q -= 1;
        r += b;
    }
    const __int128 twice = 2 * r;
    if (twice > b || (twice == b && (q % 2 != 0))) {
        q += 1;
    }
    return static_cast<int64_t>(q);
}

} // namespace

Decimal4 Decimal4::FromDouble(double value) {
    // Scaled in double precision and then rounded, so a value that lies a hair below a
    // half of the last place (2.99995 is 2.99994999...) still rounds as written.
    return FromRaw(RoundHalfEven(value * 10000.0));
}

Decimal4 Decimal4::FromRatio(int64_t numerator, int64_t denominator) {
    if (denominator == 0) {
        return {};
    }
    return FromRaw(DivideHalfEven(static_cast<__int128>(numerator) * 10000, denominator));
}

Decimal4 operator*(Decimal4 a, Decimal4 b) {
    return Decimal4::FromRaw(DivideHalfEven(static_cast<__int128>(a.raw_) * b.raw_, 10000));
}

Decimal4 operator/(Decimal4 a, Decimal4 b) {
    if (b.raw_ == 0) {
        return {};
    }
    return Decimal4::FromRaw(DivideHalfEven(static_cast<__int128>(a.raw_) * 10000, b.raw_));
}

QString Decimal4::ToString() const {
    const bool negative = raw_ < 0;
    const uint64_t mag = negative ? 0 - static_cast<uint64_t>(raw_) : static_cast<uint64_t>(raw_);
    char buf[40];
    uint64_t frac = mag % 10000;
    if (frac == 0) {
        std::snprintf(buf, sizeof buf, "%s%llu", negative ? "-" : "",
                      static_cast<unsigned long long>(mag / 10000));
        return QString::fromLatin1(buf);
    }
    int places = 4;
    while (frac % 10 == 0) {
        frac /= 10;
        --places;
    }
    std::snprintf(buf, sizeof buf, "%s%llu.%0*llu", negative ? "-" : "",
                  static_cast<unsigned long long>(mag / 10000), places,
                  static_cast<unsigned long long>(frac));
    return QString::fromLatin1(buf);
}

} // namespace tq
