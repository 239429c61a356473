#include "settings/date_formats.h"

#include "settings/settings_messages.h"
#include "settings/text_lines.h"
#include "store/folder_lookup.h"

#include <array>

namespace numora::settings {

namespace {

struct FormatText {
    const char *name;
    const char *pattern;
};

constexpr std::array<FormatText, 4> kFormats = {{
    {"MM/DD/YYYY", "MM/dd/yyyy"},
    {"DD/MM/YYYY", "dd/MM/yyyy"},
    {"YYYY/MM/DD", "yyyy/MM/dd"},
    {"YYYY", "yyyy"},
}};

} // namespace

DateFormat dateFormatFromCode(int code)
{
    return code >= 0 && code < int(kFormats.size()) ? DateFormat(code) : DateFormat::MonthDayYear;
}

namespace {

// Safe for any value a DateFormat may hold after a raw read.
const FormatText &textOf(DateFormat format)
{
    return kFormats[size_t(dateFormatFromCode(int(format)))];
}

} // namespace

QString dateFormatName(DateFormat format) { return QString::fromLatin1(textOf(format).name); }

QString dateDisplayPattern(DateFormat format)
{
    return QString::fromLatin1(textOf(format).pattern);
}

void DateFormatList::load(const QString &settingsFolder)
{
    formats_.clear();
    const std::optional<QStringList> lines =
        readTextLines(store::resolveInFolder(settingsFolder, kDateFormatsFile));
    for (const QString &line : lines.value_or(QStringList())) {
        bool ok = false;
        const int code = line.trimmed().toInt(&ok);
        formats_.append(ok ? dateFormatFromCode(code) : DateFormat::MonthDayYear);
    }
}

bool DateFormatList::save(const QString &settingsFolder, Prompt &prompt) const
{
    QStringList lines;
    for (DateFormat format : formats_)
        lines.append(QString::number(int(format)));
    if (writeTextLines(store::resolveInFolder(settingsFolder, kDateFormatsFile), lines))
        return true;
    prompt.inform(message::kCouldNotSaveOptions, MessageKind::Error);
    return false;
}

void DateFormatList::fillIfEmpty(int dateFieldCount)
{
    if (formats_.isEmpty())
        formats_.fill(DateFormat::MonthDayYear, dateFieldCount);
}

} // namespace numora::settings
