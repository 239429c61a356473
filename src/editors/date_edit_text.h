#pragma once
// The text of a date field while the user types into it: a fixed pattern such as
// "__/__/____" in which each digit overwrites one "_" and the caret never rests on a
// separator, so whatever is typed keeps the shape of a date. The date edit widget
// forwards keys and clicks here and shows text() and caret(); the rules for reading a
// half-typed text as a date live here too, so the calendar, the form and the check on
// leaving the field all read it the same way.

#include "core/prompt.h"
#include "settings/date_formats.h"

#include <QChar>
#include <QDate>
#include <QString>

#include <optional>

namespace numora::editors {

// The shapes a date field can take. The two-digit year shapes only come from the
// system's short date format; the menu and date.dat know the four-digit ones.
enum class DatePattern {
    MonthDayYear,
    DayMonthYear,
    YearMonthDay,
    MonthDayShortYear,
    DayMonthShortYear,
    ShortYearMonthDay,
    Year,
};

// "Every non-letter is a separator, a one-letter day or month is doubled", then the
// patterns above by name; anything else (a month name, a missing day) gives
// MonthDayYear. `systemFormat` is a QLocale date format such as "M/d/yy".
DatePattern patternFromSystemFormat(const QString &systemFormat);
// The separator a system short date format uses: its first character that is neither a
// letter nor a blank, "/" when none.
QChar separatorFromSystemFormat(const QString &systemFormat);

DatePattern patternOf(settings::DateFormat format);
// The four-digit format a pattern belongs to; the menu ticks it.
settings::DateFormat formatOf(DatePattern pattern);

inline constexpr char kInvalidDate[] = "Invalid Date!";

class DateEditText {
public:
    explicit DateEditText(DatePattern pattern = DatePattern::MonthDayYear, QChar separator = u'/');

    DatePattern pattern() const { return pattern_; }
    QChar separator() const { return separator_; }
    const QString &text() const { return text_; }
    int caret() const { return caret_; }

    // The pattern with every position empty, e.g. "__/__/____".
    QString emptyText() const;
    bool isEmpty() const { return text_ == emptyText(); }

    // Keys. typeDigit ignores anything but '0'..'9' and a digit past the last position.
    void typeDigit(QChar digit);
    void backspace();
    void home() { caret_ = 0; }
    void end() { caret_ = int(text_.size()); }
    void left();
    void right();
    // Where a mouse click put the caret; a position on a separator moves left off it.
    void placeCaret(int position);

    void clear();
    // The date written under the pattern; a null date (or one the pattern cannot
    // write, outside the years 1 to 9999) clears.
    void setDate(const QDate &date);
    // An empty text clears; a text of the pattern's shape that reads as a date
    // replaces the shown one; anything else is refused and changes nothing.
    bool setText(const QString &text);
    // Puts back a text shown earlier under this pattern (Undo), readable or not;
    // false, with nothing changed, when `text` has another shape.
    bool restore(const QString &text);
    // Keeps the date: read under the old pattern, written under the new one. A text
    // that cannot be read becomes the empty pattern.
    void setPattern(DatePattern pattern);

    // The shown text with "_" before a group's first digit read as "0", so
    // "_5/_7/1999" becomes "05/07/1999". Groups without a digit stay as they are.
    QString paddedText() const;
    // Shows the padded text when it reads as a date (leaving the field, opening the
    // calendar); other texts stay as typed.
    void pad();

    enum class Reading { Empty, Date, Invalid };
    Reading reading() const;
    // The date of the padded text: null when empty or invalid.
    QDate date() const;

private:
    bool isSeparatorAt(int position) const;
    QString write(const QDate &date) const;
    std::optional<QDate> read(const QString &text) const;

    DatePattern pattern_;
    QChar separator_;
    QString text_;
    int caret_ = 0;
};

// What leaving a date field does: a text that cannot be read as a date is reported
// ("Invalid Date!", error) and the field keeps the focus. Returns whether the field
// may be left.
bool acceptOnLeave(const DateEditText &text, Prompt &prompt);

} // namespace numora::editors
