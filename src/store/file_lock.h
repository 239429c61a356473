#pragma once
// Advisory byte-range locks between processes, and between two handles of one process:
// Linux open-file-description locks, which belong to the open file rather than the
// process and which network file systems pass on to their lock managers.
//
// The locked bytes lie far beyond any real data, so they never stop another program
// from reading or writing the file itself. All locks of a table live on its data file:
//   open region    shared by every handle that has the table open, exclusive for one
//                  that needs sole use (tags, pack, regenerate);
//   write region   exclusive around every change to the files, shared around reads
//                  that must not see a change half made;
//   record region  one byte per record, exclusive while a handle edits that record.

#include <sys/types.h>

namespace numora::store {

enum class LockKind { Shared, Exclusive };

namespace lock_region {
constexpr off_t Open = 0x7000000000000000LL;
constexpr off_t Write = Open + 1;
constexpr off_t FirstRecord = Open + 16; // record n is FirstRecord + n
constexpr off_t RecordSpan = 0x100000000LL; // every possible record number
} // namespace lock_region

class FileLock {
public:
    // Returns false when another open file holds a conflicting lock.
    [[nodiscard]] static bool tryLock(int fd, off_t start, off_t length, LockKind kind);
    // Waits while others hold a conflicting lock; throws DatabaseError after
    // `timeoutMs` (a peer that hangs must not freeze this one for ever).
    static void lock(int fd, off_t start, off_t length, LockKind kind, int timeoutMs = 15000);
    static void unlock(int fd, off_t start, off_t length);
};

// Holds a lock for a scope and releases it on every path.
class ScopedLock {
public:
    ScopedLock(int fd, off_t start, off_t length, LockKind kind);
    ~ScopedLock();
    ScopedLock(const ScopedLock &) = delete;
    ScopedLock &operator=(const ScopedLock &) = delete;

private:
    int fd_;
    off_t start_;
    off_t length_;
};

} // namespace numora::store
