#include "editors/calendar_month.h"

namespace numora::editors {

namespace {

bool isLeap(int year) { return QDate::isLeapYear(year); }

// The day count of a one-year move. Counting from the day itself rather than setting
// the year keeps 29 February apart from 28 February: it moves to 1 March.
int daysToNextYear(const QDate &date)
{
    const bool beforeLeapDay = date.month() <= 2;
    if (beforeLeapDay)
        return isLeap(date.year()) ? 366 : 365;
    return isLeap(date.year() + 1) ? 366 : 365;
}

int daysToPreviousYear(const QDate &date)
{
    const bool afterLeapDay = date.month() >= 3;
    if (afterLeapDay)
        return isLeap(date.year()) ? 366 : 365;
    return isLeap(date.year() - 1) ? 366 : 365;
}

} // namespace

QDate moveCalendarDate(const QDate &date, CalendarMove move)
{
    switch (move) {
    case CalendarMove::PreviousDay:
        return date.addDays(-1);
    case CalendarMove::NextDay:
        return date.addDays(1);
    case CalendarMove::PreviousWeek:
        return date.addDays(-7);
    case CalendarMove::NextWeek:
        return date.addDays(7);
    case CalendarMove::PreviousMonth:
        return date.addDays(-date.addMonths(-1).daysInMonth());
    case CalendarMove::NextMonth:
        return date.addDays(date.daysInMonth());
    case CalendarMove::NextYear:
        return date.addDays(daysToNextYear(date));
    case CalendarMove::PreviousYear:
        return date.addDays(-daysToPreviousYear(date));
    }
    return date;
}

CalendarMonth::CalendarMonth(const QDate &anyDay)
    : leadingBlanks_(QDate(anyDay.year(), anyDay.month(), 1).dayOfWeek() % 7),
      days_(anyDay.daysInMonth())
{
}

std::optional<int> CalendarMonth::dayAt(int cell) const
{
    const int day = cell - leadingBlanks_ + 1;
    if (day < 1 || day > days_)
        return std::nullopt;
    return day;
}

} // namespace numora::editors
