#pragma once
// Date format codes: how a date field of the record form shows its dates, and how
// dates typed into a filter are read. date.dat in the settings folder keeps one code
// per date field of the form, in form order, one decimal number per line.

#include "core/prompt.h"

#include <QList>
#include <QString>

namespace numora::settings {

enum class DateFormat : qint16 { MonthDayYear = 0, DayMonthYear = 1, YearMonthDay = 2, Year = 3 };

inline constexpr char kDateFormatsFile[] = "date.dat";

// The name the options window shows, e.g. "MM/DD/YYYY".
QString dateFormatName(DateFormat format);
// The QDate::toString() pattern of the format, e.g. "MM/dd/yyyy".
QString dateDisplayPattern(DateFormat format);
// The format of a stored code; codes outside 0..3 read as MonthDayYear.
DateFormat dateFormatFromCode(int code);

class DateFormatList {
public:
    const QList<DateFormat> &formats() const { return formats_; }
    void setFormat(int dateFieldIndex, DateFormat format) { formats_[dateFieldIndex] = format; }

    // date.dat in `settingsFolder`; a missing or unreadable file leaves the list empty. A
    // line that is not a known code counts as MonthDayYear, so every date field keeps
    // its place.
    void load(const QString &settingsFolder);
    // Shows "Could not Save Options to a File!" when date.dat cannot be written.
    bool save(const QString &settingsFolder, Prompt &prompt) const; // tells the user of a failure

    // Start-up gives every date field the first format when the list is empty.
    void fillIfEmpty(int dateFieldCount);

private:
    QList<DateFormat> formats_;
};

} // namespace numora::settings
