#include "store/index_storage.h"

#include "store/posix_io.h"
#include "store/store_error.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace numora::store::index_detail {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

void throwDamaged(const QString &path, const QString &problem)
{
    throw DatabaseError(QStringLiteral("The index file %1 is damaged (%2). Rebuild the table's "
                                       "indexes.")
                            .arg(path, problem),
                        DatabaseErrorKind::Index);
}

void throwTruncated(const QString &path, const QString &problem)
{
    throw DatabaseError(QStringLiteral("The index file %1 is truncated (%2). Rebuild the "
                                       "table's indexes.")
                            .arg(path, problem),
                        DatabaseErrorKind::Index);
}

RawFile::RawFile(const QString &path, int openFlags) : path_(path)
{
    fd_ = ::open(QFile::encodeName(path).constData(), openFlags | O_CLOEXEC, 0644);
    if (fd_ < 0 && errno == ENOENT)
        throw DatabaseError(QStringLiteral("The index file %1 does not exist.").arg(path));
    if (fd_ < 0)
        throw DatabaseError(
            QStringLiteral("Cannot open the index file %1: %2").arg(path, systemError()));
}

RawFile::~RawFile()
{
    ::close(fd_);
}

qint64 RawFile::size() const
{
    struct stat status {};
    if (::fstat(fd_, &status) != 0)
        throw DatabaseError(
            QStringLiteral("Cannot examine the index file %1: %2").arg(path_, systemError()));
    return qint64(status.st_size);
}

void RawFile::readExactly(qint64 offset, char *out, qint64 size) const
{
    while (size > 0) {
        const ssize_t done = ::pread(fd_, out, size_t(size), off_t(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            throw DatabaseError(
                QStringLiteral("Cannot read the index file %1: %2").arg(path_, systemError()));
        if (done == 0)
            throwTruncated(path_, QStringLiteral("it ends at byte %1").arg(offset));
        out += done;
        offset += done;
        size -= done;
    }
}

void RawFile::writeAll(qint64 offset, const char *data, qint64 size) const
{
    posix::failWriteIfInjected(path_);
    while (size > 0) {
        const ssize_t done = ::pwrite(fd_, data, size_t(size), off_t(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            throw DatabaseError(
                QStringLiteral("Cannot write the index file %1: %2").arg(path_, systemError()),
                kindOfSystemError(errno));
        data += done;
        offset += done;
        size -= done;
    }
}

void RawFile::syncData() const
{
    posix::failSyncIfInjected(path_);
    if (::fdatasync(fd_) != 0)
        throw DatabaseError(
            QStringLiteral("Cannot flush the index file %1 to disk: %2").arg(path_, systemError()),
            kindOfSystemError(errno));
}

Page &PageStore::write(quint32 number)
{
    Cached &cached = load(number);
    cached.dirty = true;
    return cached.page;
}

PageStore::NewPage PageStore::allocate()
{
    if (space_.freeHead == 0) {
        const quint32 number = space_.pageCount++;
        auto cached = std::make_unique<Cached>();
        cached->dirty = true;
        Page &page = cached->page;
        cache_.emplace(number, std::move(cached));
        return {number, page};
    }
    const quint32 number = space_.freeHead;
    Page &page = write(number);
    // A page already handed out shows up here when the list loops or crosses a tree.
    if (page.kind() != PageKind::Free || space_.freeCount == 0)
        damaged(QStringLiteral("the free page list reaches page %1, which is in use").arg(number));
    space_.freeHead = page.nextFree();
    --space_.freeCount;
    return {number, page};
}

void PageStore::release(quint32 number)
{
    write(number).formatFree(space_.freeHead);
    space_.freeHead = number;
    ++space_.freeCount;
}

void PageStore::flush()
{
    std::vector<quint32> numbers;
    for (const auto &[number, cached] : cache_)
        if (cached->dirty)
            numbers.push_back(number);
    std::sort(numbers.begin(), numbers.end());
    QByteArray run;
    for (size_t first = 0; first < numbers.size();) {
        size_t end = first + 1;
        while (end < numbers.size() && numbers[end] == numbers[end - 1] + 1)
            ++end;
        run.resize(qsizetype(end - first) * kPageSize);
        for (size_t i = first; i < end; ++i)
            std::memcpy(run.data() + qsizetype(i - first) * kPageSize,
                        cache_.at(numbers[i])->page.raw(), kPageSize);
        file_.writeAll(qint64(numbers[first]) * kPageSize, run.constData(), run.size());
        for (size_t i = first; i < end; ++i)
            cache_.at(numbers[i])->dirty = false;
        first = end;
    }
}

void PageStore::damaged(const QString &problem) const
{
    throwDamaged(file_.path(), problem);
}

PageStore::Cached &PageStore::load(quint32 number)
{
    if (number < kFirstTreePage || number >= space_.pageCount)
        damaged(QStringLiteral("a reference to page %1 lies outside the file's %2 pages")
                    .arg(number)
                    .arg(space_.pageCount));
    if (const auto found = cache_.find(number); found != cache_.end())
        return *found->second;
    auto cached = std::make_unique<Cached>();
    file_.readExactly(qint64(number) * kPageSize, cached->page.raw(), kPageSize);
    checkStructure(number, cached->page);
    return *cache_.emplace(number, std::move(cached)).first->second;
}

void PageStore::checkStructure(quint32 number, Page &page) const
{
    const PageKind kind = page.kind();
    if (kind != PageKind::Leaf && kind != PageKind::Interior && kind != PageKind::Free)
        damaged(QStringLiteral("page %1 has unknown kind %2").arg(number).arg(int(kind)));
    if (kind == PageKind::Free)
        return;
    const bool levelFits =
        kind == PageKind::Leaf ? page.level() == 0 : page.level() >= 1 && page.level() < kMaxHeight;
    if (!levelFits)
        damaged(QStringLiteral("page %1 has an impossible level").arg(number));
    if (!page.indexCells())
        damaged(QStringLiteral("the cells of page %1 run past its end").arg(number));
}

} // namespace numora::store::index_detail
