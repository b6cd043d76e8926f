#pragma once

#include <QString>

#include <compare>
#include <cstdint>

namespace tq {

// A signed decimal with exactly four places after the point, held as a 64-bit count of
// ten-thousandths. Every value stored into it is rounded to four places, a half going to
// the even neighbour, so three triplet beats of 0.3333 make 0.9999, not 1. Playback times
// in seconds and beat counts use it; arithmetic between two values is exact up to the
// final rounding.
class Decimal4 {
public:
    constexpr Decimal4() = default;

    static constexpr Decimal4 FromRaw(int64_t tenThousandths) {
        Decimal4 d;
        d.raw_ = tenThousandths;
        return d;
    }
    static Decimal4 FromDouble(double value);
    static constexpr Decimal4 FromInt(int64_t value) { return FromRaw(value * 10000); }
    // numerator / denominator rounded to four places; a zero denominator gives 0.
    static Decimal4 FromRatio(int64_t numerator, int64_t denominator);

    constexpr int64_t Raw() const { return raw_; }
    double ToDouble() const { return static_cast<double>(raw_) / 10000.0; }
    // Whole part, truncated toward zero.
    constexpr int64_t Truncated() const { return raw_ / 10000; }
    // The value as the program writes it: "0.3333", "3", "-2.5".
    QString ToString() const;

    friend constexpr Decimal4 operator+(Decimal4 a, Decimal4 b) { return FromRaw(a.raw_ + b.raw_); }
    friend constexpr Decimal4 operator-(Decimal4 a, Decimal4 b) { return FromRaw(a.raw_ - b.raw_); }
    friend constexpr Decimal4 operator-(Decimal4 a) { return FromRaw(-a.raw_); }
    // Products and quotients are rounded half to even to four places.
    friend Decimal4 operator*(Decimal4 a, Decimal4 b);
    friend Decimal4 operator/(Decimal4 a, Decimal4 b);
    Decimal4& operator+=(Decimal4 b) {
        raw_ += b.raw_;
        return *this;
    }
    Decimal4& operator-=(Decimal4 b) {
        raw_ -= b.raw_;
        return *this;
    }

    friend constexpr auto operator<=>(Decimal4 a, Decimal4 b) = default;
    friend constexpr bool operator==(Decimal4 a, Decimal4 b) = default;

private:
    int64_t raw_ = 0;
};

} // namespace tq
