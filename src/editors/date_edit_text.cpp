#include "editors/date_edit_text.h"

#include <algorithm>
#include <array>

namespace numora::editors {

namespace {

enum class Part { Day, Month, Year };

struct Group {
    Part part;
    int width;
};

struct Layout {
    const char *name; // normalised system format, compared ignoring letter case
    std::array<Group, 3> groups;
    int groupCount;
};

// In the order of DatePattern.
constexpr std::array<Layout, 7> kLayouts = {{
    {"mm/dd/yyyy", {{{Part::Month, 2}, {Part::Day, 2}, {Part::Year, 4}}}, 3},
    {"dd/mm/yyyy", {{{Part::Day, 2}, {Part::Month, 2}, {Part::Year, 4}}}, 3},
    {"yyyy/mm/dd", {{{Part::Year, 4}, {Part::Month, 2}, {Part::Day, 2}}}, 3},
    {"mm/dd/yy", {{{Part::Month, 2}, {Part::Day, 2}, {Part::Year, 2}}}, 3},
    {"dd/mm/yy", {{{Part::Day, 2}, {Part::Month, 2}, {Part::Year, 2}}}, 3},
    {"yy/mm/dd", {{{Part::Year, 2}, {Part::Month, 2}, {Part::Day, 2}}}, 3},
    {"yyyy", {{{Part::Year, 4}, {}, {}}}, 1},
}};

const Layout &layoutOf(DatePattern pattern) { return kLayouts[size_t(pattern)]; }

constexpr QChar kEmpty = u'_';

// A two-digit year is taken in the hundred years that end twenty years from now, so
// "50" is a year already past for a coin minted then, and "30" is soon.
int fullYear(int shortYear)
{
    const int latest = QDate::currentDate().year() + 20;
    int year = latest - latest % 100 + shortYear;
    if (year > latest)
        year -= 100;
    return year;
}

} // namespace

DatePattern patternFromSystemFormat(const QString &systemFormat)
{
    QString normalised;
    for (qsizetype i = 0; i < systemFormat.size(); ++i) {
        const QChar c = systemFormat.at(i);
        if (!c.isLetter()) {
            normalised += u'/';
            continue;
        }
        const bool single = (i == 0 || systemFormat.at(i - 1) != c) &&
                            (i + 1 == systemFormat.size() || systemFormat.at(i + 1) != c);
        const bool dayOrMonth = c.toLower() == u'd' || c.toLower() == u'm';
        normalised += single && dayOrMonth ? QString(2, c) : QString(c);
    }
    for (size_t i = 0; i < kLayouts.size(); ++i)
        if (normalised.compare(QLatin1String(kLayouts[i].name), Qt::CaseInsensitive) == 0)
            return DatePattern(i);
    return DatePattern::MonthDayYear;
}

QChar separatorFromSystemFormat(const QString &systemFormat)
{
    for (QChar c : systemFormat)
        if (!c.isLetter() && !c.isSpace())
            return c;
    return u'/';
}

DatePattern patternOf(settings::DateFormat format)
{
    switch (format) {
    case settings::DateFormat::DayMonthYear:
        return DatePattern::DayMonthYear;
    case settings::DateFormat::YearMonthDay:
        return DatePattern::YearMonthDay;
    case settings::DateFormat::Year:
        return DatePattern::Year;
    case settings::DateFormat::MonthDayYear:
        break;
    }
    return DatePattern::MonthDayYear;
}

settings::DateFormat formatOf(DatePattern pattern)
{
    switch (pattern) {
    case DatePattern::DayMonthYear:
    case DatePattern::DayMonthShortYear:
        return settings::DateFormat::DayMonthYear;
    case DatePattern::YearMonthDay:
    case DatePattern::ShortYearMonthDay:
        return settings::DateFormat::YearMonthDay;
    case DatePattern::Year:
        return settings::DateFormat::Year;
    case DatePattern::MonthDayYear:
    case DatePattern::MonthDayShortYear:
        break;
    }
    return settings::DateFormat::MonthDayYear;
}

DateEditText::DateEditText(DatePattern pattern, QChar separator)
    : pattern_(pattern), separator_(separator), text_(emptyText())
{
}

QString DateEditText::emptyText() const
{
    const Layout &layout = layoutOf(pattern_);
    QString text;
    for (int g = 0; g < layout.groupCount; ++g) {
        if (g > 0)
            text += separator_;
        text += QString(layout.groups[size_t(g)].width, kEmpty);
    }
    return text;
}

bool DateEditText::isSeparatorAt(int position) const
{
    return position >= 0 && position < text_.size() && text_.at(position) == separator_;
}

void DateEditText::typeDigit(QChar digit)
{
    if (digit < u'0' || digit > u'9' || caret_ >= text_.size())
        return;
    text_[caret_] = digit;
    right();
}

void DateEditText::backspace()
{
    if (caret_ == 0)
        return;
    left();
    text_[caret_] = kEmpty;
}

void DateEditText::left()
{
    if (caret_ == 0)
        return;
    --caret_;
    if (isSeparatorAt(caret_))
        --caret_;
}

void DateEditText::right()
{
    if (caret_ >= text_.size())
        return;
    ++caret_;
    if (isSeparatorAt(caret_))
        ++caret_;
}

void DateEditText::placeCaret(int position)
{
    caret_ = std::clamp(position, 0, int(text_.size()));
    if (isSeparatorAt(caret_))
        --caret_;
}

void DateEditText::clear()
{
    text_ = emptyText();
    caret_ = 0;
}

void DateEditText::setDate(const QDate &date)
{
    text_ = write(date);
    caret_ = std::min(caret_, int(text_.size()));
}

bool DateEditText::setText(const QString &text)
{
    if (text.isEmpty()) {
        clear();
        return true;
    }
    if (!read(text))
        return false;
    text_ = text;
    caret_ = std::min(caret_, int(text_.size()));
    return true;
}

bool DateEditText::restore(const QString &text)
{
    const QString shape = emptyText();
    if (text.size() != shape.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool fits = shape.at(i) == separator_ ? c == separator_
                                                    : c == kEmpty || (c >= u'0' && c <= u'9');
        if (!fits)
            return false;
    }
    text_ = text;
    caret_ = std::min(caret_, int(text_.size()));
    return true;
}

void DateEditText::setPattern(DatePattern pattern)
{
    const QDate kept = date();
    pattern_ = pattern;
    text_ = write(kept);
    caret_ = 0;
}

QString DateEditText::paddedText() const
{
    QString padded = text_;
    bool seenDigit = false;
    for (qsizetype groupStart = 0; groupStart < padded.size();) {
        qsizetype groupEnd = padded.indexOf(separator_, groupStart);
        if (groupEnd < 0)
            groupEnd = padded.size();
        qsizetype firstDigit = groupStart;
        while (firstDigit < groupEnd && padded.at(firstDigit) == kEmpty)
            ++firstDigit;
        if (firstDigit < groupEnd) {
            seenDigit = true;
            for (qsizetype i = groupStart; i < firstDigit; ++i)
                padded[i] = u'0';
        }
        groupStart = groupEnd + 1;
    }
    return seenDigit ? padded : text_;
}

void DateEditText::pad()
{
    if (reading() == Reading::Date)
        text_ = paddedText();
}

DateEditText::Reading DateEditText::reading() const
{
    if (isEmpty())
        return Reading::Empty;
    return read(paddedText()) ? Reading::Date : Reading::Invalid;
}

QDate DateEditText::date() const
{
    if (isEmpty())
        return {};
    return read(paddedText()).value_or(QDate());
}

QString DateEditText::write(const QDate &date) const
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return emptyText();
    const Layout &layout = layoutOf(pattern_);
    QString text;
    for (int g = 0; g < layout.groupCount; ++g) {
        const Group &group = layout.groups[size_t(g)];
        int value = 0;
        switch (group.part) {
        case Part::Day:
            value = date.day();
            break;
        case Part::Month:
            value = date.month();
            break;
        case Part::Year:
            value = group.width == 2 ? date.year() % 100 : date.year();
            break;
        }
        if (g > 0)
            text += separator_;
        text += QStringLiteral("%1").arg(value, group.width, 10, QChar(u'0'));
    }
    return text;
}

std::optional<QDate> DateEditText::read(const QString &text) const
{
    if (text.size() != emptyText().size())
        return std::nullopt;
    const Layout &layout = layoutOf(pattern_);
    int day = 1, month = 1, year = 0;
    qsizetype position = 0;
    for (int g = 0; g < layout.groupCount; ++g) {
        const Group &group = layout.groups[size_t(g)];
        if (g > 0 && text.at(position++) != separator_)
            return std::nullopt;
        int value = 0;
        for (int i = 0; i < group.width; ++i) {
            const QChar c = text.at(position++);
            if (c < u'0' || c > u'9')
                return std::nullopt;
            value = value * 10 + c.digitValue();
        }
        switch (group.part) {
        case Part::Day:
            day = value;
            break;
        case Part::Month:
            month = value;
            break;
        case Part::Year:
            year = group.width == 2 ? fullYear(value) : value;
            break;
        }
    }
    // QDate knows no year 0, so "0000" is refused here like any impossible day.
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool acceptOnLeave(const DateEditText &text, Prompt &prompt)
{
    if (text.reading() != DateEditText::Reading::Invalid)
        return true;
    prompt.inform(QString::fromLatin1(kInvalidDate), MessageKind::Error);
    return false;
}

} // namespace numora::editors
