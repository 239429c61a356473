#include "editors/calendar_month.h"

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

TEST(CalendarMonthTest, KeysMoveByDaysWeeksMonthLengthsAndYears)
{
    struct Case {
        QDate from;
        CalendarMove move;
        QDate to;
    };
    using M = CalendarMove;
    const Case cases[] = {
        {QDate(2000, 3, 1), M::PreviousDay, QDate(2000, 2, 29)},
        {QDate(1999, 12, 31), M::NextDay, QDate(2000, 1, 1)},
        {QDate(2000, 3, 3), M::PreviousWeek, QDate(2000, 2, 25)},
        {QDate(2000, 2, 25), M::NextWeek, QDate(2000, 3, 3)},
        // Page Down goes forward by the current month's length, so the day can drift.
        {QDate(2000, 1, 31), M::NextMonth, QDate(2000, 3, 2)},
        {QDate(2000, 2, 15), M::NextMonth, QDate(2000, 3, 15)},
        {QDate(2001, 2, 15), M::NextMonth, QDate(2001, 3, 15)},
        // Page Up goes back by the previous month's length.
        {QDate(2000, 3, 31), M::PreviousMonth, QDate(2000, 3, 2)},
        {QDate(2000, 1, 15), M::PreviousMonth, QDate(1999, 12, 15)},
        {QDate(2000, 2, 29), M::NextYear, QDate(2001, 3, 1)},
        {QDate(2004, 2, 29), M::PreviousYear, QDate(2003, 3, 1)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(moveCalendarDate(c.from, c.move), c.to)
            << c.from.toString(Qt::ISODate).toStdString() << " move " << int(c.move);
}

// Home and End must land on the same day of the next and previous year, leap years
// or not; every day of a stretch with two leap years shows it.
TEST(CalendarMonthTest, HomeAndEndKeepTheDayOfTheYear)
{
    for (QDate day(1999, 1, 1); day < QDate(2005, 1, 1); day = day.addDays(1)) {
        if (day.month() == 2 && day.day() == 29)
            continue;
        const std::string name = day.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(moveCalendarDate(day, CalendarMove::NextYear), day.addYears(1)) << name;
        EXPECT_EQ(moveCalendarDate(day, CalendarMove::PreviousYear), day.addYears(-1)) << name;
    }
}

TEST(CalendarMonthTest, DaysFillTheGridFromTheWeekdayOfTheFirst)
{
    const CalendarMonth february2000(QDate(2000, 2, 17)); // 1 February 2000 was a Tuesday
    EXPECT_EQ(february2000.daysInMonth(), 29);
    EXPECT_EQ(february2000.cellOf(1), 2);
    EXPECT_EQ(february2000.dayAt(1), std::nullopt);
    EXPECT_EQ(february2000.dayAt(2), 1);
    EXPECT_EQ(february2000.dayAt(30), 29);
    EXPECT_EQ(february2000.dayAt(31), std::nullopt);

    // A month that starts on a Sunday starts in the first cell; one that starts on a
    // Saturday with 31 days needs the sixth row.
    EXPECT_EQ(CalendarMonth(QDate(2000, 10, 1)).cellOf(1), 0);
    const CalendarMonth april2000(QDate(2000, 4, 1));
    EXPECT_EQ(april2000.cellOf(30), 35);
    const CalendarMonth july2000(QDate(2000, 7, 1));
    EXPECT_EQ(july2000.cellOf(31), 5 * kCalendarColumns + 1);
}

} // namespace
} // namespace numora::editors
