#include "store/swap_journal.h"

#include "store/file_lock.h"
#include "store/posix_io.h"
#include "store/store_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <set>
#include <sys/stat.h>

namespace numora::store {

namespace {

const QByteArray kHeader = QByteArrayLiteral("numora swap journal 1");
const QByteArray kRename = QByteArrayLiteral("rename");
const QByteArray kCommit = QByteArrayLiteral("commit");
constexpr char kSeparator = '\t';

void reachedStep()
{
    if (swapStepHook)
        swapStepHook();
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1Char(kSeparator)) && !name.contains(QLatin1Char('\n'));
}

void requireSwappable(const QDir &dir, const std::vector<FileRename> &renames)
{
    std::set<QString> sources;
    for (const FileRename &rename : renames) {
        if (!isPlainName(rename.from) || !isPlainName(rename.to))
            throw DatabaseError(QStringLiteral("Cannot replace %1 by %2: not a plain file name.").arg(rename.to, rename.from));
        if (!QFileInfo::exists(dir.filePath(rename.from)))
            throw DatabaseError(QStringLiteral("Cannot replace %1: the file %2 does not exist.").arg(rename.to, dir.filePath(rename.from)));
        // Recovery tells done renames from pending ones by their sources, so no source
        // may be named twice.
        if (!sources.insert(rename.from).second)
            throw DatabaseError(QStringLiteral("Cannot rename %1 twice in one swap.").arg(rename.from));
    }
}

QByteArray encode(const std::vector<FileRename> &renames)
{
    QByteArray text = kHeader + '\n';
    for (const FileRename &rename : renames)
        text += kRename + kSeparator + rename.from.toUtf8() + kSeparator + rename.to.toUtf8() + '\n';
    text += kCommit + kSeparator + QByteArray::number(qulonglong(renames.size())) + '\n';
    return text;
}

// The renames a journal holds, or nothing when it was never finished: the journal is
// complete on disk before the first rename, so a torn one means nothing was renamed.
// A complete journal that makes no sense throws: guessing could lose a file.
std::optional<std::vector<FileRename>> decode(const QByteArray &text, const QString &path)
{
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || !lines.back().isEmpty())
        return std::nullopt;
    lines.removeLast();
    const QList<QByteArray> commit = lines.takeLast().split(kSeparator);
    if (commit.size() != 2 || commit[0] != kCommit)
        return std::nullopt;
    bool counted = false;
    const qlonglong count = commit[1].toLongLong(&counted);
    if (!counted || count != lines.size() - 1)
        return std::nullopt;

    const DatabaseError damaged(QStringLiteral("The maintenance journal %1 is damaged; the table's files must be checked by hand.").arg(path));
    if (lines.front() != kHeader)
        throw damaged;
    std::vector<FileRename> renames;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(kSeparator);
        if (fields.size() != 3 || fields[0] != kRename)
            throw damaged;
        FileRename rename{QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2])};
        if (!isPlainName(rename.from) || !isPlainName(rename.to))
            throw damaged;
        renames.push_back(std::move(rename));
    }
    return renames;
}

// Each rename reaches the disk before the next one starts, so the renames done are
// exactly those before the first still-pending one.
void renameDurably(const QDir &dir, const FileRename &rename)
{
    posix::renameFile(dir.filePath(rename.from), dir.filePath(rename.to));
    posix::syncFolder(dir.path());
}

// Renames ran in order and every source existed when the journal was written, so the
// renames done are those up to the last one whose source is gone. An earlier source
// may exist again because a later rename put a new file under its name.
size_t renamesDone(const QDir &dir, const std::vector<FileRename> &renames)
{
    for (size_t done = renames.size(); done > 0; --done)
        if (!QFileInfo::exists(dir.filePath(renames[done - 1].from)))
            return done;
    return 0;
}

void removeJournal(const QDir &dir, const QString &journalPath)
{
    if (!QFile::remove(journalPath))
        throw DatabaseError(QStringLiteral("Cannot delete the file %1.").arg(journalPath));
    posix::syncFolder(dir.path());
}

bool stillNamedBy(int fd, const QString &path)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 && opened.st_dev == named.st_dev
        && opened.st_ino == named.st_ino;
}

} // namespace

void swapFiles(const QString &folder, const QString &journalName, const std::vector<FileRename> &renames)
{
    const QDir dir(folder);
    requireSwappable(dir, renames);
    reachedStep();

    // Written under another name and renamed once complete and locked, so a reader never
    // sees a journal half written, nor one whose writer has not locked it yet.
    const QString journalPath = dir.filePath(journalName);
    const QString partialPath = journalPath + QStringLiteral(".tmp");
    const posix::UniqueFd journal = posix::openFile(partialPath, posix::OpenMode::CreateOrTruncate);
    if (!FileLock::tryLock(journal.get(), lock_region::Open, 1, LockKind::Exclusive))
        throw DatabaseError(QStringLiteral("The file %1 is in use by another user.").arg(partialPath), DatabaseErrorKind::InUse);
    posix::writeAt(journal.get(), partialPath, 0, encode(renames));
    posix::syncData(journal.get(), partialPath);
    reachedStep();
    posix::renameFile(partialPath, journalPath);
    posix::syncFolder(folder);
    reachedStep();

    for (const FileRename &rename : renames) {
        renameDurably(dir, rename);
        reachedStep();
    }
    removeJournal(dir, journalPath);
    reachedStep();
}

bool finishInterruptedSwap(const QString &folder, const QString &journalName)
{
    const QDir dir(folder);
    const QString journalPath = dir.filePath(journalName);
    const posix::UniqueFd journal = posix::openIfExists(journalPath, posix::OpenMode::ReadWrite);
    if (journal.get() < 0)
        return false;
    if (!FileLock::tryLock(journal.get(), lock_region::Open, 1, LockKind::Exclusive))
        throw DatabaseError(QStringLiteral("Another user is replacing the files named in %1; try again in a moment.").arg(journalPath),
                            DatabaseErrorKind::InUse);
    // Another process may have finished this swap, and perhaps begun the next, between
    // our open and our lock.
    if (!stillNamedBy(journal.get(), journalPath))
        return finishInterruptedSwap(folder, journalName);

    const std::optional<std::vector<FileRename>> renames =
        decode(posix::readAt(journal.get(), journalPath, 0, posix::fileSize(journal.get(), journalPath)), journalPath);
    if (renames) {
        for (size_t next = renamesDone(dir, *renames); next < renames->size(); ++next)
            renameDurably(dir, (*renames)[next]);
    }
    removeJournal(dir, journalPath);
    return renames.has_value();
}

} // namespace numora::store
