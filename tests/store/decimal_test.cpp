#include "store/decimal.h"
#include "store/store_error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

using numora::store::DatabaseError;
using numora::store::Decimal;

namespace {

// Every digit the value holds, so a test sees rounding and lost precision.
std::string exact(Decimal value)
{
    return value.toFixed(60, Decimal::Scale).trimmed().toStdString();
}

Decimal parsed(const char *text)
{
    const std::optional<Decimal> value = Decimal::parse(text);
    EXPECT_TRUE(value) << text;
    return value.value_or(Decimal());
}

TEST(DecimalParse, ReadsNumericFieldText)
{
    struct Case {
        const char *text;
        const char *expected;
    };
    const Case cases[] = {
        {"   1234.50", "1234.5000000000"},
        {"-3", "-3.0000000000"},
        {"  .5", "0.5000000000"},
        {"7.", "7.0000000000"},
        {"+7", "7.0000000000"},
        {"42   ", "42.0000000000"},
        {"-0.25", "-0.2500000000"},
        {"0000000000000000000000000000000001", "1.0000000000"},
        {"999999999999999999", "999999999999999999.0000000000"},
        {"999999999999999999999999999", "999999999999999999999999999.0000000000"},
        // Digits beyond the kept ones round half away from zero.
        {"0.12345678905", "0.1234567891"},
        {"-0.00000000005", "-0.0000000001"},
        {"0.00000000004999", "0.0000000000"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(exact(parsed(c.text)), c.expected) << c.text;
}

TEST(DecimalParse, RejectsBlankAndGarbage)
{
    const char *const cases[] = {
        "", "     ", "12a", "*****", "1.2.3", "-", ".", "+.", "1 2", "- 3", "1e5", "--1", "0x10",
        "\xff", "1,5",
        // More integer digits than exact arithmetic keeps:
        "1000000000000000000000000000",
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999"};
    for (const char *text : cases)
        EXPECT_FALSE(Decimal::parse(text)) << text;
}

TEST(DecimalArithmetic, IsExactWhereDoublesAreNot)
{
    // A double's spacing near 10^18 is 128, so it cannot tell these two apart.
    const Decimal nines = Decimal::fromInteger(999999999999999999);
    EXPECT_EQ(exact(nines - parsed("12.3")), "999999999999999986.7000000000");
    EXPECT_EQ(exact(nines - parsed("12.2")), "999999999999999986.8000000000");
    EXPECT_EQ(exact(parsed("0.1") + parsed("0.2")), "0.3000000000");
    EXPECT_LT(nines - parsed("12.3"), nines - parsed("12.2"));
}

TEST(DecimalArithmetic, OverflowThrowsInsteadOfWrapping)
{
    const Decimal huge = parsed("999999999999999999999999999");
    const auto addHundredTimes = [](Decimal step) {
        Decimal total;
        for (int i = 0; i < 100; ++i)
            total = total + step;
    };
    const auto subtractHundredTimes = [](Decimal step) {
        Decimal total;
        for (int i = 0; i < 100; ++i)
            total = total - step;
    };
    EXPECT_THROW(addHundredTimes(huge), DatabaseError);
    EXPECT_THROW(addHundredTimes(Decimal() - huge), DatabaseError);
    EXPECT_THROW(subtractHundredTimes(huge), DatabaseError);
}

TEST(DecimalFromDouble, RoundsTheShortestDecimalText)
{
    struct Case {
        double value;
        int decimals;
        const char *expected;
    };
    const Case cases[] = {
        {0.1, 10, "0.1000000000"},
        {2.675, 2, "2.6800000000"}, // the double is 2.67499999..., the text is 2.675
        {1.005, 2, "1.0100000000"},
        {-2.5, 0, "-3.0000000000"},
        {2.4, 0, "2.0000000000"},
        {1e-11, 10, "0.0000000000"},
        {123456789.125, 2, "123456789.1300000000"},
        {1e20, 4, "100000000000000000000.0000000000"},
        {0.15, 99, "0.1500000000"}, // decimals beyond Scale keep Scale
    };
    for (const Case &c : cases)
        EXPECT_EQ(exact(Decimal::fromDouble(c.value, c.decimals)), c.expected) << c.value;
}

TEST(DecimalFromDouble, RejectsWhatCannotBeHeldExactly)
{
    const double cases[] = {
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        1e30,
        -1e300,
    };
    for (double value : cases)
        EXPECT_THROW(Decimal::fromDouble(value, 2), DatabaseError) << value;
}

TEST(DecimalConversion, ToIntegerRoundsHalfAwayFromZeroAndSaturates)
{
    EXPECT_EQ(parsed("2.5").toInteger(), 3);
    EXPECT_EQ(parsed("-2.5").toInteger(), -3);
    EXPECT_EQ(parsed("2.4999999999").toInteger(), 2);
    EXPECT_EQ(parsed("99999999999999999999").toInteger(), std::numeric_limits<long long>::max());
    EXPECT_EQ(parsed("-99999999999999999999").toInteger(), -std::numeric_limits<long long>::max());
}

TEST(DecimalConversion, ToDoubleGivesTheNearestDouble)
{
    EXPECT_EQ(parsed("0.1").toDouble(), 0.1);
    EXPECT_EQ(parsed("-1234.5").toDouble(), -1234.5);
    EXPECT_EQ(parsed("999999999999999986.7").toDouble(), 999999999999999986.7);
    EXPECT_EQ(Decimal().toDouble(), 0.0);
}

TEST(DecimalToFixed, FormatsLikeStr)
{
    struct Case {
        const char *value;
        int width;
        int decimals;
        const char *expected;
    };
    const Case cases[] = {
        {"5", 20, 4, "              5.0000"},
        {"-3", 6, 2, " -3.00"},
        {"0.5", 4, 2, "0.50"},
        {"2.5", 3, 0, "  3"},
        {"-2.5", 3, 0, " -3"},
        {"1.005", 6, 2, "  1.01"},
        {"-0.004", 5, 2, " 0.00"}, // no sign on a value that rounds to zero
        {"0", 1, 0, "0"},
        // Too wide with all decimals: fewer decimals, rounded again.
        {"999999999999999986.7", 20, 4, "999999999999999986.7"},
        {"123.456", 5, 2, "123.5"},
        {"123.456", 4, 2, " 123"}, // no dangling point
        {"123.456", 3, 2, "123"},
        {"99.96", 4, 2, " 100"}, // rounding carries into the integer part
        {"-99.96", 4, 1, "-100"},
        // Only an integer part wider than the width overflows.
        {"1234", 3, 0, "***"},
        {"-123", 3, 2, "***"},
        {"999.6", 3, 0, "***"},
        {"999999999999999999999999999", 20, 4, "********************"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parsed(c.value).toFixed(c.width, c.decimals).toStdString(), c.expected)
            << c.value << " width " << c.width << " decimals " << c.decimals;
}

TEST(DecimalToFixed, KeepsTheOrderOfValuesDifferingInTheFirstDecimal)
{
    // Key fields compare bytes, so STR() text must order like the numbers it shows.
    const Decimal nines = Decimal::fromInteger(999999999999999999);
    const std::string higherCost = (nines - parsed("12.3")).toFixed(20, 4).toStdString();
    const std::string lowerCost = (nines - parsed("12.2")).toFixed(20, 4).toStdString();
    EXPECT_EQ(higherCost, "999999999999999986.7");
    EXPECT_EQ(lowerCost, "999999999999999986.8");
    EXPECT_LT(higherCost, lowerCost);
}

} // namespace
