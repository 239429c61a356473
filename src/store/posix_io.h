#pragma once
// Descriptor-level file access for the data and memo files. Several processes share
// these files and lock byte ranges on the descriptor, so they are read and written at
// explicit offsets (pread/pwrite) with no buffering in between. Every failure throws
// DatabaseError naming the file and the system's reason.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace numora::store::posix {

enum class OpenMode { ReadOnly, ReadWrite, CreateOrTruncate };

// Owns one descriptor and closes it, so a constructor that throws after opening
// leaks nothing.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd &&other) noexcept : fd_(other.release()) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept;
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;

    int get() const { return fd_; }
    int release();

private:
    int fd_ = -1;
};

UniqueFd openFile(const QString &path, OpenMode mode);
// As openFile, but a file that does not exist gives an empty descriptor (-1).
UniqueFd openIfExists(const QString &path, OpenMode mode);
void closeFile(int fd);

qint64 fileSize(int fd, const QString &path);
// Reads up to `size` bytes at `offset`; the result is shorter only at the end of the file.
QByteArray readAt(int fd, const QString &path, qint64 offset, qint64 size);
void writeAt(int fd, const QString &path, qint64 offset, QByteArrayView bytes);
void truncateFile(int fd, const QString &path, qint64 size);
void syncData(int fd, const QString &path);
// Forces a closed file's contents onto the disk.
void syncFile(const QString &path);
// Forces a folder's entries (creations, renames, removals) onto the disk.
void syncFolder(const QString &folder);
// Replaces `to` by `from` in one step, as rename(2) does.
void renameFile(const QString &from, const QString &to);

// Tests make writes and flushes fail as a full disk or a refused permission would,
// which no folder of theirs can do on demand. The function returns the errno value to
// fail with, or 0 to let the call go on; null (the default) injects nothing. A write
// fault fails writes and flushes; a sync fault fails only the flushes (fdatasync), as
// a disk that takes the bytes and then cannot keep them.
using WriteFault = int (*)(const QString &path);
void setWriteFault(WriteFault fault);
void setSyncFault(WriteFault fault);
// Every writer of a table's files, the index included, asks these first; they throw
// DatabaseError as the failed call would.
void failWriteIfInjected(const QString &path);
void failSyncIfInjected(const QString &path);

} // namespace numora::store::posix
