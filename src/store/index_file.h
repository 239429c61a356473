#pragma once
// The index file (<base>.mdx): our own format, described byte by byte in
// docs/index-format.md. It holds up to MaxTags named tags, each a counted B+tree of
// (key, record number) entries, so that seeking a key, stepping to an ordinal
// position and counting a key range all take O(log n) page reads.
//
// Concurrency contract: this class takes no locks. Callers hold the table's write
// lock around beginUpdate() ... commitUpdate(), and its read lock around reads. Other
// processes' changes become visible at refresh(), which drops cached pages when the
// header's change counter moved.
//
// Crash contract: beginUpdate() writes the dirty mark to the file before any page
// changes; commitUpdate() writes the pages, then the header with the mark cleared. A
// process killed in between leaves the mark set, which isConsistent() reports.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <memory>
#include <vector>

namespace numora::store {

struct TagDefinition {
    QString name;        // at most 10 characters, compared case-insensitively
    QString expression;  // at most 100 characters
    bool descending = false;
};

struct IndexEntry {
    QByteArray key;      // at most 100 bytes
    quint32 recno = 0;
    bool operator==(const IndexEntry &) const = default;
};

class IndexFile {
public:
    static constexpr int MaxTags = 47;
    static constexpr int MaxKeyLength = 100;

    // Writes an index with no tags that reflects `dataRecordCount` data records, whose
    // keys will be computed the way `keyVersion` names. The file only records that
    // number; what it means is the key expressions' business.
    static void create(const QString &path, quint32 dataRecordCount, quint32 keyVersion);

    // Throws DatabaseError when the file is missing, foreign (wrong magic or version),
    // truncated (shorter than its header says) or its header/tag directory is damaged.
    IndexFile(const QString &path, bool writable);
    ~IndexFile();
    IndexFile(const IndexFile &) = delete;
    IndexFile &operator=(const IndexFile &) = delete;

    const QString &path() const { return path_; }

    // Re-reads the header. Returns true (and forgets cached pages) when the file
    // changed since the last read. Throws DatabaseError when it became damaged.
    bool refresh();
    quint64 changeCounter() const;
    bool isDirty() const;               // an update was begun and never committed
    quint32 dataRecordCount() const;    // data records the entries reflect
    quint32 keyVersion() const;         // how the keys were computed; 0 in older files
    bool isConsistent(quint32 actualDataRecordCount) const;

    const std::vector<TagDefinition> &tags() const;
    int tagIndex(const QString &name) const; // -1 when absent
    quint32 entryCount(int tag) const;

    // Ordering inside a tag: keys compared bytewise (shorter first on a common prefix),
    // reversed for a descending tag; equal keys by record number ascending.
    IndexEntry entryAt(int tag, quint32 ordinal) const;          // ordinal < entryCount
    quint32 lowerBound(int tag, QByteArrayView key) const;       // first entry not before key
    quint32 upperBound(int tag, QByteArrayView key) const;       // first entry after key
    quint32 lowerBound(int tag, const IndexEntry &entry) const;  // first entry not before (key, recno)
    std::optional<quint32> ordinalOf(int tag, const IndexEntry &entry) const;

    // Changes: only between beginUpdate() and commitUpdate().
    void beginUpdate();
    void insert(int tag, const IndexEntry &entry);
    void remove(int tag, const IndexEntry &entry); // DatabaseError when absent
    // Adds a tag built from `entries` (any order); DatabaseError for a duplicate or
    // invalid name, an over-long expression or more than MaxTags tags.
    void addTag(const TagDefinition &definition, std::vector<IndexEntry> entries);
    void rebuildTag(int tag, std::vector<IndexEntry> entries);
    void dropTag(int tag);
    void commitUpdate(quint32 dataRecordCount);
    // Gives up an update after a failure without touching the file: the cached changes
    // are forgotten, and the dirty mark the update put in the file keeps the index stale
    // for every reader until it is rebuilt.
    void abandonUpdate();
    // Puts the dirty mark in the file outside an update, for an index the data file has
    // moved away from: it must not pass for whole again when the record counts happen
    // to agree once more.
    void markStale();
    void sync(); // fdatasync

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    QString path_;
};

} // namespace numora::store
