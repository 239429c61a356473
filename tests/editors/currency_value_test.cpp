#include "editors/currency_value.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

constexpr NumberSeparators kEnglish{u'.', u','};
constexpr NumberSeparators kGerman{u',', u'.'};
constexpr NumberSeparators kSameSeparator{u',', u','};

TEST(CurrencyValueTest, FormatsThroughTheNumberNotation)
{
    struct Case {
        const char *notation;
        double value;
        NumberSeparators separators;
        const char *shown;
    };
    const Case cases[] = {
        {",0.00", 1234.5, kEnglish, "1,234.50"},
        {",0.00", -3, kEnglish, "-3.00"},
        {",0.00", 0, kEnglish, "0.00"},
        {",0.00", 1234567.891, kEnglish, "1,234,567.89"},
        {",0.00", 999.999, kEnglish, "1,000.00"},
        {",0.00", -0.001, kEnglish, "0.00"}, // rounds to zero: no minus sign
        {",0.00", 1234.5, kGerman, "1.234,50"},
        {",0.0000", 31.1035, kEnglish, "31.1035"},
        {"0.##", 2.5, kEnglish, "2.5"},
        {"0.##", 2, kEnglish, "2"},
        {"#.00", 0.5, kEnglish, ".50"},
        {"0", 2.5, kEnglish, "3"},
        {"#,##0.00", 12345, kEnglish, "12,345.00"},
        {",0.00;(,0.00)", -3, kEnglish, "(3.00)"},
        {",0.00;(,0.00)", 3, kEnglish, "3.00"},
        {"0.00;-0.00;\"none\"", 0, kEnglish, "none"},
        {"$,0.00", 12, kEnglish, "$12.00"},
        {"0.0 \"oz\"", 1.25, kEnglish, "1.3 oz"},
        {"", 2.5, kGerman, "2,5"},
    };
    for (const Case &c : cases) {
        CurrencyValue value(c.separators);
        value.setDisplayFormat(QString::fromLatin1(c.notation));
        value.setValue(c.value);
        EXPECT_EQ(value.shownText(), QString::fromUtf8(c.shown)) << c.notation << " " << c.value;
    }
}

TEST(CurrencyValueTest, ReadsDigitsAndTheRightmostSeparatorAndTheSign)
{
    struct Case {
        const char *text;
        NumberSeparators separators;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1234.5", kEnglish, 1234.5},
        {"1,234.50", kEnglish, 1234.5},
        {"-3", kEnglish, -3},
        {"(3.00)", kEnglish, -3},
        {"3-", kEnglish, -3},
        {"", kEnglish, 0},
        {"abc", kEnglish, 0},
        {"$ 12", kEnglish, 12},
        {"1.2.3", kEnglish, std::nullopt},
        {".", kEnglish, std::nullopt},
        {"1.234,5", kGerman, 1234.5},
        {"1,234,5", kSameSeparator, 1234.5}, // only the rightmost separator is a point
    };
    for (const Case &c : cases)
        EXPECT_EQ(readCurrencyText(QString::fromLatin1(c.text), c.separators), c.value) << c.text;
}

TEST(CurrencyValueTest, AnUnreadableTextKeepsTheFormerValue)
{
    CurrencyValue value(kEnglish);
    ASSERT_TRUE(value.read(QStringLiteral("1234.5")));
    EXPECT_EQ(value.shownText(), u"1,234.50");
    EXPECT_FALSE(value.read(QStringLiteral("1.2.3")));
    EXPECT_EQ(value.value(), 1234.5);
}

TEST(CurrencyValueTest, ZeroCountsAsEmpty)
{
    CurrencyValue value(kEnglish);
    for (auto [text, empty] : {std::pair{"", true}, {"0", true}, {"-0.00", true}, {"0.01", false},
                               {"-3", false}}) {
        ASSERT_TRUE(value.read(QString::fromLatin1(text)));
        EXPECT_EQ(value.countsAsEmpty(), empty) << text;
    }
}

TEST(CurrencyValueTest, MinusOrParenthesisMakesAShownTextNegative)
{
    for (auto [text, negative] : {std::pair{"-3.00", true}, {"(3.00)", true}, {"3.00", false},
                                  {"0.00", false}})
        EXPECT_EQ(showsNegative(QString::fromLatin1(text)), negative) << text;
}

TEST(CurrencyValueTest, TheDisplayFormatIsCutToTwentyCharacters)
{
    CurrencyValue value(kEnglish);
    value.setDisplayFormat(QStringLiteral("0.00000000000000000000000"));
    EXPECT_EQ(value.displayFormat().size(), kMaxDisplayFormatLength);
    value.setValue(1);
    EXPECT_EQ(value.shownText(), u"1.000000000000000000");
}

TEST(CurrencyValueTest, TheFieldTakesDigitsMinusAndTheDecimalSeparator)
{
    for (QChar c : QStringLiteral("0123456789-.\b"))
        EXPECT_TRUE(currencyEditAccepts(c, kEnglish)) << int(c.unicode());
    for (QChar c : QStringLiteral(",a(+ "))
        EXPECT_FALSE(currencyEditAccepts(c, kEnglish)) << int(c.unicode());
    EXPECT_TRUE(currencyEditAccepts(u',', kGerman));
    EXPECT_FALSE(currencyEditAccepts(u'.', kGerman));
}

} // namespace
} // namespace numora::editors
