#include "store/folder_lookup.h"

#include <QDir>
#include <QFileInfo>

namespace numora::store {

namespace {

QString findIgnoringCase(const QString &folder, const QString &name)
{
    const QString exact = QDir(folder).filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(entry);
    return {};
}

} // namespace

QString resolveInFolder(const QString &folder, const QString &name)
{
    const QString found = findIgnoringCase(folder, name);
    return found.isEmpty() ? QDir(folder).filePath(name) : found;
}

bool existsInFolder(const QString &folder, const QString &name)
{
    return !findIgnoringCase(folder, name).isEmpty();
}

} // namespace numora::store
