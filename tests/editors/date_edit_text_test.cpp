#include "editors/date_edit_text.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

using settings::DateFormat;

// Keys as letters: digits type, B backspace, L left, R right, H home, E end.
void typeKeys(DateEditText &edit, const char *keys)
{
    for (const char *key = keys; *key; ++key) {
        switch (*key) {
        case 'B':
            edit.backspace();
            break;
        case 'L':
            edit.left();
            break;
        case 'R':
            edit.right();
            break;
        case 'H':
            edit.home();
            break;
        case 'E':
            edit.end();
            break;
        default:
            edit.typeDigit(QChar::fromLatin1(*key));
        }
    }
}

TEST(DateEditTextTest, TypingFillsThePatternAndKeepsTheCaretOffSeparators)
{
    struct Case {
        DatePattern pattern;
        const char *keys;
        const char *text;
        int caret;
    };
    const Case cases[] = {
        {DatePattern::MonthDayYear, "", "__/__/____", 0},
        {DatePattern::MonthDayYear, "12251999", "12/25/1999", 10},
        {DatePattern::MonthDayYear, "122519990", "12/25/1999", 10}, // a ninth digit
        {DatePattern::MonthDayYear, "12x", "12/__/____", 3},        // not a digit
        {DatePattern::MonthDayYear, "123B", "12/__/____", 3},
        {DatePattern::MonthDayYear, "12B", "1_/__/____", 1}, // back over the separator
        {DatePattern::MonthDayYear, "1BB", "__/__/____", 0},
        {DatePattern::MonthDayYear, "12L9", "19/__/____", 3},
        {DatePattern::MonthDayYear, "HRR", "__/__/____", 3},
        {DatePattern::MonthDayYear, "12251999LLLLL", "12/25/1999", 4},
        {DatePattern::MonthDayYear, "E", "__/__/____", 10},
        {DatePattern::MonthDayYear, "12251999H7", "72/25/1999", 1},
        {DatePattern::YearMonthDay, "19991225", "1999/12/25", 10},
        {DatePattern::MonthDayShortYear, "1225999", "12/25/99", 8},
        {DatePattern::Year, "19995", "1999", 4},
    };
    for (const Case &c : cases) {
        DateEditText edit(c.pattern);
        typeKeys(edit, c.keys);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.text)) << c.keys;
        EXPECT_EQ(edit.caret(), c.caret) << c.keys;
    }
}

TEST(DateEditTextTest, TheSystemSeparatorSeparatesTheGroups)
{
    DateEditText edit(DatePattern::DayMonthYear, u'.');
    typeKeys(edit, "2512B");
    EXPECT_EQ(edit.text(), u"25.1_.____");
    EXPECT_EQ(edit.caret(), 4);
}

TEST(DateEditTextTest, AClickOnASeparatorPutsTheCaretBeforeIt)
{
    DateEditText edit;
    for (auto [clicked, caret] : {std::pair{2, 1}, {5, 4}, {3, 3}, {0, 0}, {40, 10}}) {
        edit.placeCaret(clicked);
        EXPECT_EQ(edit.caret(), caret) << clicked;
    }
}

TEST(DateEditTextTest, ReadingPadsEachGroupBeforeItsFirstDigit)
{
    struct Case {
        DatePattern pattern;
        const char *text;
        DateEditText::Reading reading;
        QDate date;
    };
    using R = DateEditText::Reading;
    const Case cases[] = {
        {DatePattern::MonthDayYear, "12/25/1999", R::Date, QDate(1999, 12, 25)},
        {DatePattern::MonthDayYear, "_5/_7/1999", R::Date, QDate(1999, 5, 7)},
        {DatePattern::MonthDayYear, "__/__/____", R::Empty, QDate()},
        {DatePattern::MonthDayYear, "1_/__/____", R::Invalid, QDate()},
        {DatePattern::MonthDayYear, "12/25/____", R::Invalid, QDate()},
        {DatePattern::MonthDayYear, "02/29/2000", R::Date, QDate(2000, 2, 29)},
        {DatePattern::MonthDayYear, "02/29/1900", R::Invalid, QDate()},
        {DatePattern::MonthDayYear, "13/01/2000", R::Invalid, QDate()},
        {DatePattern::MonthDayYear, "00/10/2000", R::Invalid, QDate()},
        {DatePattern::MonthDayYear, "01/01/0000", R::Invalid, QDate()},
        {DatePattern::DayMonthYear, "25/12/1999", R::Date, QDate(1999, 12, 25)},
        {DatePattern::YearMonthDay, "1999/_2/_3", R::Date, QDate(1999, 2, 3)},
        {DatePattern::Year, "1999", R::Date, QDate(1999, 1, 1)},
        {DatePattern::Year, "__99", R::Date, QDate(99, 1, 1)},
        {DatePattern::MonthDayShortYear, "12/25/99", R::Date, QDate(1999, 12, 25)},
        {DatePattern::MonthDayShortYear, "01/02/_3", R::Date, QDate(2003, 1, 2)},
    };
    for (const Case &c : cases) {
        DateEditText edit(c.pattern);
        // Typed as shown: the digits, with Right over the blanks.
        for (QChar ch : QString::fromLatin1(c.text))
            ch == u'_' ? edit.right() : edit.typeDigit(ch);
        ASSERT_EQ(edit.text(), QString::fromLatin1(c.text));
        EXPECT_EQ(edit.reading(), c.reading) << c.text;
        EXPECT_EQ(edit.date(), c.date) << c.text;
        // Padding shows a date without blanks and leaves anything else as typed.
        edit.pad();
        if (c.reading == R::Date) {
            EXPECT_FALSE(edit.text().contains(u'_')) << c.text;
            EXPECT_EQ(edit.date(), c.date) << c.text;
        } else {
            EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
        }
    }
}

TEST(DateEditTextTest, SwitchingTheFormatKeepsTheDate)
{
    DateEditText edit;
    typeKeys(edit, "12251999");
    edit.setPattern(DatePattern::Year);
    EXPECT_EQ(edit.text(), u"1999");
    edit.setPattern(DatePattern::MonthDayYear);
    EXPECT_EQ(edit.text(), u"01/01/1999");
    edit.setPattern(DatePattern::YearMonthDay);
    EXPECT_EQ(edit.text(), u"1999/01/01");

    DateEditText unreadable;
    typeKeys(unreadable, "1");
    unreadable.setPattern(DatePattern::DayMonthYear);
    EXPECT_EQ(unreadable.text(), u"__/__/____");
}

TEST(DateEditTextTest, SettingADateOrTextKeepsThePatternShape)
{
    DateEditText edit;
    edit.setDate(QDate(812, 3, 4));
    EXPECT_EQ(edit.text(), u"03/04/0812");
    edit.setDate(QDate(10000, 1, 1)); // a year the pattern cannot write
    EXPECT_TRUE(edit.isEmpty());

    EXPECT_TRUE(edit.setText(QStringLiteral("12/25/1999")));
    for (const char *refused : {"12/32/1999", "12-25-1999", "1225/1999", "12/25/19999"}) {
        EXPECT_FALSE(edit.setText(QString::fromLatin1(refused))) << refused;
        EXPECT_EQ(edit.text(), u"12/25/1999") << refused;
    }
    EXPECT_TRUE(edit.setText(QString()));
    EXPECT_TRUE(edit.isEmpty());
}

TEST(DateEditTextTest, UndoPutsBackAnyTextOfThePatternShape)
{
    DateEditText edit;
    typeKeys(edit, "12251999");
    EXPECT_TRUE(edit.restore(QStringLiteral("1_/__/____")));
    EXPECT_EQ(edit.text(), u"1_/__/____");
    for (const char *refused : {"1999", "1a/__/____", "12-25-1999"})
        EXPECT_FALSE(edit.restore(QString::fromLatin1(refused))) << refused;
    EXPECT_EQ(edit.text(), u"1_/__/____");
}

TEST(DateEditTextTest, TheSystemShortDateFormatChoosesThePattern)
{
    struct Case {
        const char *system;
        DatePattern pattern;
        char16_t separator;
    };
    const Case cases[] = {
        {"M/d/yy", DatePattern::MonthDayShortYear, u'/'},
        {"M/d/yyyy", DatePattern::MonthDayYear, u'/'},
        {"dd.MM.yyyy", DatePattern::DayMonthYear, u'.'},
        {"d.M.yy", DatePattern::DayMonthShortYear, u'.'},
        {"yyyy-MM-dd", DatePattern::YearMonthDay, u'-'},
        {"yy/M/d", DatePattern::ShortYearMonthDay, u'/'},
        // A month name fits no pattern, and a blank would make no date field readable.
        {"d MMM yyyy", DatePattern::MonthDayYear, u'/'},
        {"yyyy", DatePattern::Year, u'/'},
    };
    for (const Case &c : cases) {
        const QString system = QString::fromLatin1(c.system);
        EXPECT_EQ(patternFromSystemFormat(system), c.pattern) << c.system;
        EXPECT_EQ(separatorFromSystemFormat(system), QChar(c.separator)) << c.system;
    }
}

TEST(DateEditTextTest, ATwoDigitYearPatternBelongsToItsFourDigitFormat)
{
    EXPECT_EQ(formatOf(DatePattern::MonthDayShortYear), DateFormat::MonthDayYear);
    EXPECT_EQ(formatOf(DatePattern::DayMonthShortYear), DateFormat::DayMonthYear);
    EXPECT_EQ(formatOf(DatePattern::ShortYearMonthDay), DateFormat::YearMonthDay);
    for (DateFormat format : {DateFormat::MonthDayYear, DateFormat::DayMonthYear,
                              DateFormat::YearMonthDay, DateFormat::Year})
        EXPECT_EQ(formatOf(patternOf(format)), format);
}

TEST(DateEditTextTest, LeavingAnUnreadableTextIsReported)
{
    for (auto [keys, accepted] : {std::pair{"1", false}, {"", true}, {"12251999", true}}) {
        DateEditText edit;
        typeKeys(edit, keys);
        test::ScriptedPrompt prompt;
        EXPECT_EQ(acceptOnLeave(edit, prompt), accepted) << keys;
        EXPECT_EQ(prompt.texts(), accepted ? QStringList() : QStringList{"Invalid Date!"}) << keys;
        if (!accepted) {
            EXPECT_EQ(prompt.shown.front().kind, MessageKind::Error);
        }
    }
}

} // namespace
} // namespace numora::editors
