#include "store/file_lock.h"

#include "store/store_error.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <thread>

namespace numora::store {

namespace {

bool setLock(int fd, off_t start, off_t length, short type)
{
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = start;
    request.l_len = length;
    request.l_pid = 0; // required by open-file-description locks
    while (fcntl(fd, F_OFD_SETLK, &request) == -1) {
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EACCES)
            return false;
        throw DatabaseError(QStringLiteral("Cannot lock the table file: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    return true;
}

short lockType(LockKind kind) { return kind == LockKind::Shared ? F_RDLCK : F_WRLCK; }

} // namespace

bool FileLock::tryLock(int fd, off_t start, off_t length, LockKind kind)
{
    return setLock(fd, start, length, lockType(kind));
}

void FileLock::lock(int fd, off_t start, off_t length, LockKind kind, int timeoutMs)
{
    // Polling instead of F_OFD_SETLKW keeps the wait bounded; the sections guarded by
    // this lock are short, so the first retries come quickly.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::microseconds(50);
    while (!setLock(fd, start, length, lockType(kind))) {
        if (Clock::now() >= deadline)
            throw DatabaseError(QStringLiteral("The table is busy: another user has held it for too long."), DatabaseErrorKind::InUse);
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
}

void FileLock::unlock(int fd, off_t start, off_t length)
{
    setLock(fd, start, length, F_UNLCK);
}

ScopedLock::ScopedLock(int fd, off_t start, off_t length, LockKind kind)
    : fd_(fd), start_(start), length_(length)
{
    FileLock::lock(fd, start, length, kind);
}

ScopedLock::~ScopedLock()
{
    try {
        FileLock::unlock(fd_, start_, length_);
    } catch (const DatabaseError &) {
        // Closing the descriptor releases the lock anyway; a destructor must not throw.
    }
}

} // namespace numora::store
