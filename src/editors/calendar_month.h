#pragma once
// The pop-up calendar's arithmetic, apart from its window: where each day of a month
// sits in the six-by-seven grid (weeks start on Sunday) and where each key moves the
// selected date. Months keep the Gregorian lengths, which QDate follows too.

#include <QDate>

#include <optional>

namespace numora::editors {

inline constexpr int kCalendarColumns = 7;
inline constexpr int kCalendarRows = 6;

// The keys of the calendar. PreviousMonth and NextMonth are also the arrow buttons.
enum class CalendarMove {
    PreviousDay,   // Left
    NextDay,       // Right
    PreviousWeek,  // Up
    NextWeek,      // Down
    PreviousMonth, // Page Up: back by the length of the previous month
    NextMonth,     // Page Down: forward by the length of the current month
    NextYear,      // Home
    PreviousYear,  // End
};

// The moves count days rather than set a month, so Page Down from 31 January 2000
// lands on 2 March 2000. A year move lands on the same day of the next or previous
// year; 29 February moves to 1 March.
QDate moveCalendarDate(const QDate &date, CalendarMove move);

// The grid of the month that holds `anyDay`.
class CalendarMonth {
public:
    explicit CalendarMonth(const QDate &anyDay);

    // 0 .. 41, row by row.
    int cellOf(int day) const { return leadingBlanks_ + day - 1; }
    // The day shown in `cell`, none for the blanks before the first and after the last.
    std::optional<int> dayAt(int cell) const;
    int daysInMonth() const { return days_; }

private:
    int leadingBlanks_;
    int days_;
};

} // namespace numora::editors
