#include "core/Decimal4.h"
#include "core/Rounding.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(Decimal4, StoringRoundsToFourPlacesHalfToEven) {
    struct Case {
        double in;
        int64_t raw;
    };
    const Case cases[] = {
        {0.333333333333333, 3333},
        {0.00005, 0},
        {0.00025, 2},
        {-0.00025, -2},
        {1.5, 15000},
        {2.99995, 30000},
        {-2.5, -25000},
        {0.08333333333333325 * 4, 3333},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decimal4::FromDouble(c.in).Raw(), c.raw) << c.in;
    }
}

TEST(Decimal4, ProductsAndQuotientsAreHeldToFourPlaces) {
    const Decimal4 third = Decimal4::FromRaw(3333);
    EXPECT_EQ((third + third + third).Raw(), 9999);
    // 0.3333 x 0.5 = 0.16665 -> 0.1666 (half to even)
    EXPECT_EQ((third * Decimal4::FromDouble(0.5)).Raw(), 1666);
    // 0.3335 x 0.5 = 0.16675 -> 0.1668
    EXPECT_EQ((Decimal4::FromRaw(3335) * Decimal4::FromDouble(0.5)).Raw(), 1668);
    EXPECT_EQ((Decimal4::FromInt(60) / Decimal4::FromInt(140)).Raw(), 4286);
    EXPECT_EQ((Decimal4::FromInt(1) / Decimal4{}).Raw(), 0);
    EXPECT_EQ(Decimal4::FromRatio(1'000'000'000'000'000, 1'000'000'000).Raw(), 1'000'000 * 10000LL);
    EXPECT_EQ(Decimal4::FromRatio(12'345'678, 1'000'000'000).Raw(), 123); // 0.012345678 s
    EXPECT_EQ(Decimal4::FromRatio(12'355'000, 1'000'000'000).Raw(), 124); // 0.0123550 -> even
}

TEST(Decimal4, TextHasNoTrailingZeros) {
    EXPECT_EQ(Decimal4::FromRaw(3333).ToString(), "0.3333");
    EXPECT_EQ(Decimal4::FromInt(3).ToString(), "3");
    EXPECT_EQ(Decimal4::FromRaw(-25000).ToString(), "-2.5");
    EXPECT_EQ(Decimal4::FromRaw(-1).ToString(), "-0.0001");
    EXPECT_EQ(Decimal4::FromRaw(100000).ToString(), "10");
    EXPECT_EQ(Decimal4{}.ToString(), "0");
}

TEST(Rounding, ConversionsToIntegersRoundHalfToEvenAndSaturate) {
    EXPECT_EQ(RoundToInt32(120.5), 120);
    EXPECT_EQ(RoundToInt32(121.5), 122);
    EXPECT_EQ(RoundToInt32(-0.5), 0);
    EXPECT_EQ(RoundToInt32(-1.5), -2);
    EXPECT_EQ(RoundToInt32(261.625), 262);
    EXPECT_EQ(RoundToInt32(1e12), INT32_MAX);
    EXPECT_EQ(RoundToInt16(40000), INT16_MAX);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Rounding, NumbersAreWrittenWithoutNeedlessDigits) {
    EXPECT_EQ(NumText(0.5), "0.5");
    EXPECT_EQ(NumText(261.625), "261.625");
    EXPECT_EQ(NumText(100), "100");
    EXPECT_EQ(NumText(-12.25), "-12.25");
    EXPECT_EQ(NumText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumText(1e16), "1E+16");
    EXPECT_EQ(NumText(-0.0), "0");
    EXPECT_EQ(NumTextSingle(0.33f), "0.33");
}

TEST(Rounding, LeadingNumbersAreReadLikeTheSongReaderDoes) {
    struct Case {
        const char* text;
        double value;
        bool ok;
    };
    const Case cases[] = {{"140", 140, true},  {"  -12.5x", -12.5, true}, {"+3", 3, true},
                          {".5", 0.5, true},   {"abc", 0, false},         {"", 0, false},
                          {"12 34", 12, true}, {"1e5", 1, true},          {"-", 0, false}};
    for (const Case& c : cases) {
        bool ok = false;
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(c.text), &ok), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    EXPECT_TRUE(IsNumeric(" 39 "));
    EXPECT_TRUE(IsNumeric("120.5"));
    EXPECT_FALSE(IsNumeric("abc"));
    EXPECT_FALSE(IsNumeric("12a"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric("."));
}

} // namespace
} // namespace tq
