#include "store/posix_io.h"

#include "store/store_error.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace numora::store::posix {

namespace {

WriteFault writeFault = nullptr;
WriteFault syncFault = nullptr;

[[noreturn]] void throwSystemError(const char *action, const QString &path)
{
    const int error = errno;
    throw DatabaseError(
        QStringLiteral("Cannot %1 %2: %3")
            .arg(QLatin1String(action), path, QString::fromLocal8Bit(std::strerror(error))),
        kindOfSystemError(error));
}

int openFlags(OpenMode mode)
{
    switch (mode) {
    case OpenMode::ReadOnly:
        return O_RDONLY;
    case OpenMode::ReadWrite:
        return O_RDWR;
    case OpenMode::CreateOrTruncate:
        return O_WRONLY | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

} // namespace

UniqueFd::~UniqueFd() { closeFile(fd_); }

UniqueFd &UniqueFd::operator=(UniqueFd &&other) noexcept
{
    if (this != &other) {
        closeFile(fd_);
        fd_ = other.release();
    }
    return *this;
}

int UniqueFd::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

UniqueFd openIfExists(const QString &path, OpenMode mode)
{
    const QByteArray nativePath = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(nativePath.constData(), openFlags(mode) | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno != ENOENT)
        throwSystemError("open", path);
    return UniqueFd(fd);
}

UniqueFd openFile(const QString &path, OpenMode mode)
{
    UniqueFd file = openIfExists(path, mode);
    if (file.get() < 0) {
        errno = ENOENT;
        throwSystemError("open", path);
    }
    return file;
}

void closeFile(int fd)
{
    // Not retried on EINTR: on Linux the descriptor is released either way.
    if (fd >= 0)
        ::close(fd);
}

qint64 fileSize(int fd, const QString &path)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        throwSystemError("inspect", path);
    return status.st_size;
}

QByteArray readAt(int fd, const QString &path, qint64 offset, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(size - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwSystemError("read", path);
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

void setWriteFault(WriteFault fault) { writeFault = fault; }

void setSyncFault(WriteFault fault) { syncFault = fault; }

namespace {

void failIfInjected(WriteFault fault, const char *action, const QString &path)
{
    if (!fault)
        return;
    if (const int error = fault(path)) {
        errno = error;
        throwSystemError(action, path);
    }
}

} // namespace

void failWriteIfInjected(const QString &path) { failIfInjected(writeFault, "write", path); }

void failSyncIfInjected(const QString &path)
{
    failIfInjected(writeFault, "flush", path);
    failIfInjected(syncFault, "flush", path);
}

void writeAt(int fd, const QString &path, qint64 offset, QByteArrayView bytes)
{
    failWriteIfInjected(path);
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwSystemError("write", path);
        if (n == 0) {
            errno = EIO; // a regular file never accepts nothing; do not spin on it
            throwSystemError("write", path);
        }
        done += n;
    }
}

void truncateFile(int fd, const QString &path, qint64 size)
{
    int result;
    do {
        result = ::ftruncate(fd, size);
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        throwSystemError("shorten", path);
}

void syncData(int fd, const QString &path)
{
    failSyncIfInjected(path);
    if (::fdatasync(fd) != 0)
        throwSystemError("flush", path);
}

void syncFile(const QString &path)
{
    const UniqueFd file = openFile(path, OpenMode::ReadOnly);
    syncData(file.get(), path);
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throwSystemError("open", folder);
    const UniqueFd closer(fd);
    if (::fsync(fd) != 0)
        throwSystemError("flush", folder);
}

void renameFile(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throwSystemError("rename", from);
}

} // namespace numora::store::posix
