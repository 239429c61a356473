#pragma once
// The activity log: every maintenance operation, and every replace run that changed
// records, leaves an entry saying when, on which database and what was done. The log
// lives for the whole run; its window shows this model. log.dat in the settings folder
// is a list container holding, per entry, four tagged strings in column order.

#include "core/prompt.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

namespace numora::database {

inline constexpr char kActivityLogFile[] = "log.dat";

struct LogEntry {
    QString date; // in the system's short date format
    QString time; // in the system's time format, seconds included
    QString databaseName;
    QString description;

    bool operator==(const LogEntry &) const = default;
};

class ActivityLog {
public:
    using Clock = std::function<QDateTime()>;

    ActivityLog(const QString &settingsFolder, Prompt &prompt,
                Clock now = &QDateTime::currentDateTime);

    const std::vector<LogEntry> &entries() const { return entries_; }

    // Replaces the entries with those of log.dat. A missing file gives an empty log, and
    // so does a damaged one: it is written over at the next write.
    void read();
    // Writes log.dat anew; shows "Error Saving Log to a file!" (error) when that fails.
    [[nodiscard]] bool write();

    // Adds an entry stamped with the current date and time and writes the log at once,
    // unless an identical entry is there already (the same operation twice within a
    // second).
    void add(const QString &databaseName, const QString &description);
    // Removes the entries at `rows` (any order); the log is written at the end of the run.
    void removeEntries(QList<int> rows);
    void clear() { entries_.clear(); }

private:
    QString filePath() const;

    QString settingsFolder_;
    Prompt &prompt_;
    Clock now_;
    std::vector<LogEntry> entries_;
};

} // namespace numora::database
