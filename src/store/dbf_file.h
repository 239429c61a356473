#pragma once
// One dBASE data file (.dbf), dBASE IV layout: a 32-byte header, 32-byte column
// descriptors, 0x0D, then fixed-length records (a deletion flag byte and the columns)
// and 0x1A after the last record. The file is opened with a plain descriptor because
// locks between processes are taken on it (see FileLock).
//
// Invariant kept by every writer: a record's bytes are written before the header's
// record count is raised, so a process killed mid-append never shows a half record,
// and a header counting more records than the file holds is damage, never an append
// in progress.

#include "store/field.h"
#include "store/text_codec.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <memory>

namespace numora::store {

// The records a data file holds, read under the table's read lock (or with exclusive
// use) so that no append is half seen.
struct RecordCount {
    quint32 counted = 0; // the header's count
    quint32 usable = 0;  // the records that can be read: the count, or fewer when the file ends early
    QString damage;      // empty, or one sentence on where the file ends
    bool isCutShort() const { return usable < counted; }
};

struct DbfLayout {
    FieldList fields;
    int headerLength = 0;
    int recordLength = 0; // including the deletion flag byte
    quint8 version = 0;
    quint8 languageDriver = 0;
    TextCodec codec;

    int columnIndex(const QString &name) const; // case-insensitive; -1 when absent
    bool hasMemoColumns() const;
};

class DbfFile {
public:
    // Writes an empty table (header, descriptors, 0x0D, 0x1A). Offsets in `fields` are
    // computed here. Throws DatabaseError for an invalid column (name longer than 10,
    // width out of range for its type) or when the file cannot be written.
    static void create(const QString &path, const FieldList &fields, TextEncoding encoding);

    // Throws DatabaseError when the file is missing or its header is damaged
    // (truncated, impossible lengths, descriptors that disagree with the record length).
    DbfFile(const QString &path, bool writable);
    ~DbfFile();
    DbfFile(const DbfFile &) = delete;
    DbfFile &operator=(const DbfFile &) = delete;

    int fd() const { return fd_; }
    const QString &path() const { return path_; }
    const DbfLayout &layout() const { return *layout_; }
    std::shared_ptr<const DbfLayout> sharedLayout() const { return layout_; }

    // Re-read from the header every time: other processes append.
    quint32 readRecordCount() const;
    // The header's count set against the file's length.
    RecordCount countRecords() const;
    QDate readLastUpdate() const;
    void writeRecordCount(quint32 count, QDate lastUpdate);
    // Leaves the count as the header has it (a cut-short file keeps its own count).
    void writeLastUpdate(QDate lastUpdate);

    // Records are numbered from 1. Reading past the records the file really holds
    // throws DatabaseError (a header count larger than the file is damage).
    QByteArray readRecord(quint32 recno) const;
    // Reads `count` consecutive records into `out` (count * recordLength bytes), for scans.
    void readRecords(quint32 firstRecno, quint32 count, QByteArray &out) const;
    // A record that reaches past the end of the file (the one after the last, or the
    // first one a cut-short file holds only in part) is followed by the 0x1A end marker.
    void writeRecord(quint32 recno, QByteArrayView bytes);
    // Rewrites a record the caller knows the file holds (it holds the table's write lock
    // and has read the count), sparing writeRecord's look at the header.
    void overwriteRecord(quint32 recno, QByteArrayView bytes);
    // Drops every record from `count` + 1 on (empty, pack) and rewrites the count.
    void truncateRecords(quint32 count);
    void sync(); // fdatasync

private:
    qint64 recordOffset(qint64 recno) const;
    void requireWritable() const;
    void requireRecordNumber(quint32 recno) const;
    void requireWholeRecord(quint32 recno, QByteArrayView bytes) const;

    QString path_;
    int fd_ = -1;
    bool writable_ = false;
    std::shared_ptr<const DbfLayout> layout_;
};

} // namespace numora::store
