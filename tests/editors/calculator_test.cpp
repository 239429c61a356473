#include "editors/calculator.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

// Keys as the calculator takes them; "B" stands for backspace, "E" for Enter.
Calculator pressed(const char *keys)
{
    Calculator calculator;
    for (const char *key = keys; *key; ++key)
        calculator.press(*key == 'B' ? u'\b' : *key == 'E' ? u'\r' : QChar::fromLatin1(*key));
    return calculator;
}

TEST(CalculatorTest, KeysGiveTheDisplayedText)
{
    struct Case {
        const char *keys;
        const char *text;
    };
    const Case cases[] = {
        {"", "0"},
        {"5+3=", "8"},
        {"5+3E", "8"},
        {"200+10%", "220"},
        {"200-10%", "180"},
        {"50*10%", "5"},
        {"50/10%", "500"},
        {"2*3+4=", "10"},  // each operator applies the one before it
        {"2+=", "2"},       // an operator twice changes only the pending one
        {"5+", "5"},
        {"5+3", "3"},
        {"1/3=", "0.3333333333"},
        {"0.1+0.2=", "0.3"},
        {"3-5=", "-2"},
        {"5_", "-5"},
        {"5_+2=", "-3"},
        {"1.5*2=", "3"},
        {"1..5", "1.5"},
        {"123BB", "1"},
        {"1B", "0"},
        {"7B9", "9"},
        {"0007", "7"},
        {"5+3=C", "0"},
        {"5+3=c", "0"},
        {"1234567890123456", "123456789012345"}, // 16 digits keep the first 15
        {"99999999999999*99999999999999=", "Error"},
        {"1+x2=", "3"}, // unknown keys do nothing
    };
    for (const Case &c : cases)
        EXPECT_EQ(pressed(c.keys).text(), QString::fromLatin1(c.text)) << c.keys;
}

TEST(CalculatorTest, DivisionByZeroIsAnErrorOnlyClearLeaves)
{
    Calculator calculator = pressed("7/0=");
    EXPECT_EQ(calculator.text(), u"Error");
    EXPECT_EQ(calculator.mode(), Calculator::Mode::Error);
    for (QChar key : QStringLiteral("12+=_.\b%"))
        calculator.press(key);
    EXPECT_EQ(calculator.text(), u"Error");
    calculator.press(u'C');
    EXPECT_EQ(calculator.mode(), Calculator::Mode::Ready);
    for (QChar key : QStringLiteral("4+4="))
        calculator.press(key);
    EXPECT_EQ(calculator.text(), u"8");
}

TEST(CalculatorTest, TheFieldGetsTheSystemDecimalSeparator)
{
    EXPECT_EQ(pressed("1.5_").fieldText(u','), u"-1,5");
    EXPECT_EQ(pressed("12").fieldText(u'.'), u"12");
}

} // namespace
} // namespace numora::editors
