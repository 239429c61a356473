#include "database/activity_log.h"

#include "core/value_stream.h"
#include "store/folder_lookup.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

namespace numora::database {

namespace {

const QString kErrorSavingLog = QStringLiteral("Error Saving Log to a file!");

// The system's long time format without its time zone, so entries show seconds.
QString systemTimeFormat()
{
    static const QRegularExpression timeZone(QStringLiteral("\\s*\\bt+\\b"));
    return QLocale::system().timeFormat(QLocale::LongFormat).remove(timeZone).trimmed();
}

LogEntry readEntry(ValueReader &reader)
{
    LogEntry entry;
    entry.date = reader.readString();
    entry.time = reader.readString();
    entry.databaseName = reader.readString();
    entry.description = reader.readString();
    return entry;
}

} // namespace

ActivityLog::ActivityLog(const QString &settingsFolder, Prompt &prompt, Clock now)
    : settingsFolder_(settingsFolder), prompt_(prompt), now_(std::move(now))
{
}

QString ActivityLog::filePath() const { return store::resolveInFolder(settingsFolder_, kActivityLogFile); }

void ActivityLog::read()
{
    entries_.clear();
    const QString path = filePath();
    const bool whole = readListFile(
        path, [this](ValueReader &r) { entries_.push_back(readEntry(r)); });
    if (!whole)
        entries_.clear(); // a damaged log opens empty
}

bool ActivityLog::write()
{
    const bool written = writeListFile(filePath(), [this](ValueWriter &writer) {
        for (const LogEntry &entry : entries_) {
            writer.writeString(entry.date);
            writer.writeString(entry.time);
            writer.writeString(entry.databaseName);
            writer.writeString(entry.description);
        }
    });
    if (written)
        return true;
    prompt_.inform(kErrorSavingLog, MessageKind::Error);
    return false;
}

void ActivityLog::add(const QString &databaseName, const QString &description)
{
    const QDateTime now = now_();
    const QLocale locale = QLocale::system();
    const LogEntry entry{locale.toString(now.date(), QLocale::ShortFormat),
                         locale.toString(now.time(), systemTimeFormat()), databaseName,
                         description};
    if (std::find(entries_.begin(), entries_.end(), entry) != entries_.end())
        return;
    entries_.push_back(entry);
    (void)write(); // a failed write has told the user; the entry stays for the next write
}

void ActivityLog::removeEntries(QList<int> rows)
{
    // From the last row backwards, so each index still names the row it was given for.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        if (row >= 0 && row < int(entries_.size()))
            entries_.erase(entries_.begin() + row);
}

} // namespace numora::database
