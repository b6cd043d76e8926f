#include "core/NoteLengths.h"
#include "CapturingLog.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(NoteLengths, LengthsAndModifiersGiveBeats) {
    struct Case {
        const char* length;
        const char* mod;
        double equivalent;
        int64_t beatsRaw;
    };
    const Case cases[] = {
        {"Whole", "", 1, 40000},
        {"Half", "Dot", 0.75, 30000},
        {"Quarter", "", 0.25, 10000},
        {"1/8", "", 0.125, 5000},
        {"1/16", "Dot", 0.09375, 3750},
        {"Quarter", "Tri", 0.08333333333333325, 3333},
        {"1/16", "Tri", 0.0208333333333333125, 833},
        {"whole", "", 0, 0},
        {"Quarter", "DOT", 0.375, 15000},
        {"Quarter", "Dotted", 0.375, 15000},
        {"Quarter", "tridot", 0.375, 15000},
        {"Quarter", "xyz", 0.25, 10000},
    };
    for (const Case& c : cases) {
        QString mod = QString::fromLatin1(c.mod);
        EXPECT_DOUBLE_EQ(GetEquivalentLength(QString::fromLatin1(c.length), mod), c.equivalent)
            << c.length << " " << c.mod;
        EXPECT_EQ(mod, QString::fromLatin1(c.mod).toLower());
        EXPECT_EQ(LineBeats(QString::fromLatin1(c.length), QString::fromLatin1(c.mod)).Raw(),
                  c.beatsRaw)
            << c.length << " " << c.mod;
    }
    EXPECT_EQ(GetLengthAsWritten(2), "Quarter");
    EXPECT_EQ(GetLengthAsWritten(4), "1/16");
    EXPECT_EQ(GetLengthAsWritten(5), "");
    EXPECT_EQ(GetLengthAsWritten(-1), "");
}

TEST(NoteLengths, FractionsAreSixteenthsOrAnError) {
    CapturingLog log;
    EXPECT_EQ(ConvertToFraction(0.0f, log), "");
    EXPECT_EQ(ConvertToFraction(0.5f, log), "01/02");
    EXPECT_EQ(ConvertToFraction(0.0625f, log), "01/16");
    EXPECT_EQ(ConvertToFraction(0.06249f, log), "01/16");
    EXPECT_EQ(ConvertToFraction(0.9375f, log), "15/16");
    EXPECT_EQ(ConvertToFraction(0.75f, log), "03/04");
    EXPECT_TRUE(log.lines.isEmpty());
    EXPECT_EQ(ConvertToFraction(0.33f, log), "(ERR)");
    EXPECT_EQ(ConvertToFraction(1.0f, log), "(ERR)");
    EXPECT_EQ(log.lines, QStringList({"ConvertToFraction(0.33) failed to convert.",
                                      "ConvertToFraction(1) failed to convert."}));
}

TEST(NoteLengths, RoundingErrorsAreFixedOnlyAbove0_9999) {
    CapturingLog log;
    struct Case {
        double in;
        double out;
    };
    const Case cases[] = {{2.99995, 3}, {2.9999, 2.9999}, {-0.5, -0.5}, {0.99991, 1}, {3, 3}};
    for (const Case& c : cases) {
        double v = c.in;
        FixRoundingErrors(v, log);
        EXPECT_DOUBLE_EQ(v, c.out) << c.in;
    }
    EXPECT_EQ(log.lines.count("FixRoundingErrors() fixed an error."), 2);
}

TEST(NoteLengths, SmallHelpers) {
    EXPECT_TRUE(NoRemainder(3));
    EXPECT_FALSE(NoRemainder(2.5));
    EXPECT_TRUE(NoRemainder(-4));
    EXPECT_EQ(NumPad(7, '0', 3), "007");
    EXPECT_EQ(NumPad(1234, '0', 3), "1234");
    EXPECT_EQ(NumPad(QStringLiteral("440"), ' ', 5), "  440");
    EXPECT_FALSE(SwitchTrueFalse(true));
    EXPECT_TRUE(SwitchTrueFalse(false));
    EXPECT_DOUBLE_EQ(FractionalPart(-2.25), -0.25);
}

} // namespace
} // namespace tq
