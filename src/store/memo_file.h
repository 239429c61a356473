#pragma once
// The memo file (.dbt) beside a data file: memo and binary values in 512-byte blocks.
// Written dBASE IV style, each value a block run starting FF FF 08 00 and a
// little-endian length (which counts those 8 bytes), so bytes round-trip exactly.
// Older dBASE III values (text ended by 0x1A) are read too.
//
// Values are only ever appended: a changed value gets new blocks and the old ones stay
// until pack, so a reader following an old pointer never sees someone else's bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace numora::store {

class MemoFile {
public:
    static constexpr quint32 DefaultBlockSize = 512;

    // Header: next free block (LE uint32 at 0), the data file's base name at 8,
    // block size (LE uint16) at 20. Throws DatabaseError when it cannot be written.
    static void create(const QString &path, const QString &dataFileBaseName);

    // Throws DatabaseError when the file is missing, or of kind Damaged when its header is
    // cut short or names an impossible block size.
    MemoFile(const QString &path, bool writable);
    ~MemoFile();
    MemoFile(const MemoFile &) = delete;
    MemoFile &operator=(const MemoFile &) = delete;

    const QString &path() const { return path_; }
    quint32 blockSize() const { return blockSize_; }

    // Throws EngineError for a block past the end, a length past the end of the file
    // or another damaged value.
    QByteArray read(quint32 block) const;
    // Stores the value at the next free block and returns that block (never 0).
    // Re-reads the header first: other processes append too (callers hold the
    // table's write lock).
    quint32 append(QByteArrayView value);
    void sync();

private:
    QByteArray readDbase4Value(quint32 block, quint32 length, qint64 fileSize) const;
    QByteArray readDbase3Value(qint64 offset, qint64 fileSize) const;
    // The block where the next value goes: the header's word, but never inside the bytes
    // already in the file.
    quint32 nextFreeBlock() const;

    QString path_;
    int fd_ = -1;
    bool writable_ = false;
    quint32 blockSize_ = DefaultBlockSize;
};

} // namespace numora::store
