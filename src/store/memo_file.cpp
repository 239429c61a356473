#include "store/memo_file.h"

#include "store/posix_io.h"
#include "store/store_error.h"

#include <QtEndian>
#include <algorithm>
#include <limits>

namespace numora::store {

namespace {

// Positions in block 0, the file header.
constexpr qint64 kNextFreeBlockAt = 0; // little-endian uint32
constexpr int kBaseNameAt = 8;
constexpr int kBaseNameSize = 8;
constexpr int kBlockSizeAt = 20; // little-endian uint16; 0 in dBASE III files
constexpr int kReadableHeaderSize = kBlockSizeAt + 2;

// A dBASE IV value starts with this marker and a little-endian uint32 length that
// counts the marker, the length and the value's bytes.
constexpr char kValueMarker[] = {char(0xFF), char(0xFF), char(0x08), char(0x00)};
constexpr int kValueHeaderSize = 8;
constexpr char kDbase3Terminator = 0x1A;
// A dBASE III value is read in chunks of this size, whatever the block size.
constexpr qint64 kDbase3ChunkSize = 64 * 1024;

// dBASE sets a memo file's block size in steps of 64 bytes (SET MBLOCK) or of 512
// (SET BLOCKSIZE), to at most 16 KiB; twice that is still allowed for other writers.
// Anything else is a damaged header, and a tiny block size would make every pointer
// land inside the header or on another value's bytes.
constexpr quint32 kBlockSizeStep = 64;
constexpr quint32 kMaxBlockSize = 32 * 1024;

bool isPlausibleBlockSize(quint32 size)
{
    return size >= kBlockSizeStep && size <= kMaxBlockSize && size % kBlockSizeStep == 0;
}

qint64 blocksFor(qint64 bytes, quint32 blockSize) { return (bytes + blockSize - 1) / blockSize; }

EngineError damagedValue(const QString &path, quint32 block, const QString &reason)
{
    return EngineError(QStringLiteral("The memo value at block %1 of %2 is damaged: %3.")
                           .arg(block)
                           .arg(path, reason));
}

} // namespace

void MemoFile::create(const QString &path, const QString &dataFileBaseName)
{
    QByteArray header(DefaultBlockSize, '\0');
    qToLittleEndian<quint32>(1, header.data() + kNextFreeBlockAt);
    const QByteArray name = dataFileBaseName.toLatin1().left(kBaseNameSize);
    std::copy(name.begin(), name.end(), header.data() + kBaseNameAt);
    qToLittleEndian<quint16>(quint16(DefaultBlockSize), header.data() + kBlockSizeAt);
    const posix::UniqueFd file = posix::openFile(path, posix::OpenMode::CreateOrTruncate);
    posix::writeAt(file.get(), path, 0, header);
}

MemoFile::MemoFile(const QString &path, bool writable) : path_(path), writable_(writable)
{
    posix::UniqueFd file =
        posix::openFile(path, writable ? posix::OpenMode::ReadWrite : posix::OpenMode::ReadOnly);
    const QByteArray header = posix::readAt(file.get(), path, 0, kReadableHeaderSize);
    if (header.size() < kReadableHeaderSize)
        throw DatabaseError(
            QStringLiteral("The memo file %1 is damaged: its header is cut short.").arg(path),
            DatabaseErrorKind::Damaged);
    const quint16 blockSize = qFromLittleEndian<quint16>(header.constData() + kBlockSizeAt);
    blockSize_ = blockSize != 0 ? blockSize : DefaultBlockSize; // 0: a dBASE III file
    if (!isPlausibleBlockSize(blockSize_))
        throw DatabaseError(QStringLiteral("The memo file %1 is damaged: its block size %2 is "
                                           "impossible.")
                                .arg(path)
                                .arg(blockSize_),
                            DatabaseErrorKind::Damaged);
    fd_ = file.release();
}

MemoFile::~MemoFile() { posix::closeFile(fd_); }

QByteArray MemoFile::read(quint32 block) const
{
    if (block == 0)
        throw damagedValue(path_, block, QStringLiteral("block 0 is the file header"));
    const qint64 fileSize = posix::fileSize(fd_, path_);
    const qint64 offset = qint64(block) * blockSize_;
    if (offset >= fileSize)
        throw damagedValue(path_, block, QStringLiteral("the file ends before it"));
    const QByteArray head = posix::readAt(fd_, path_, offset, kValueHeaderSize);
    if (head.startsWith(QByteArrayView(kValueMarker, sizeof kValueMarker)) &&
        head.size() == kValueHeaderSize)
        return readDbase4Value(block, qFromLittleEndian<quint32>(head.constData() + 4), fileSize);
    return readDbase3Value(offset, fileSize);
}

QByteArray MemoFile::readDbase4Value(quint32 block, quint32 length, qint64 fileSize) const
{
    const qint64 offset = qint64(block) * blockSize_;
    if (length < kValueHeaderSize)
        throw damagedValue(path_, block, QStringLiteral("its length %1 is too small").arg(length));
    if (offset + length > fileSize)
        throw damagedValue(
            path_, block,
            QStringLiteral("its length %1 runs past the end of the file").arg(length));
    QByteArray value =
        posix::readAt(fd_, path_, offset + kValueHeaderSize, length - kValueHeaderSize);
    if (value.size() != qsizetype(length - kValueHeaderSize))
        throw damagedValue(path_, block, QStringLiteral("the file ends inside it"));
    return value;
}

// A dBASE III value has no length: it runs to a 0x1A (usually doubled) or to the end
// of the file as it was when the read began, so a file another process keeps
// appending to cannot keep the read going.
QByteArray MemoFile::readDbase3Value(qint64 offset, qint64 fileSize) const
{
    QByteArray value;
    while (offset < fileSize) {
        const QByteArray chunk =
            posix::readAt(fd_, path_, offset, std::min(kDbase3ChunkSize, fileSize - offset));
        const qsizetype end = chunk.indexOf(kDbase3Terminator);
        if (end >= 0)
            return value.append(chunk.first(end));
        value.append(chunk);
        if (chunk.isEmpty())
            break; // the file shrank under us
        offset += chunk.size();
    }
    return value;
}

quint32 MemoFile::append(QByteArrayView value)
{
    if (!writable_)
        throw DatabaseError(QStringLiteral("%1 is open read-only.").arg(path_));
    const qint64 storedSize = kValueHeaderSize + value.size();
    if (storedSize > std::numeric_limits<quint32>::max())
        throw DatabaseError(
            QStringLiteral("A value of %1 bytes is too large for a memo file.").arg(value.size()));

    // Another process may have appended since this handle last looked, and a header it
    // could not update leaves bytes past the block it names; both are skipped.
    const quint32 block = nextFreeBlock();
    const qint64 blocks = blocksFor(storedSize, blockSize_);
    if (block + blocks > std::numeric_limits<quint32>::max())
        throw DatabaseError(QStringLiteral("The memo file %1 is full.").arg(path_));

    QByteArray stored(blocks * blockSize_, '\0');
    std::copy_n(kValueMarker, sizeof kValueMarker, stored.data());
    qToLittleEndian<quint32>(quint32(storedSize), stored.data() + sizeof kValueMarker);
    std::copy(value.begin(), value.end(), stored.data() + kValueHeaderSize);
    // The value goes in before the header names the blocks after it as free, so a
    // crash in between loses nothing already stored.
    posix::writeAt(fd_, path_, qint64(block) * blockSize_, stored);
    QByteArray nextFree(sizeof(quint32), '\0');
    qToLittleEndian<quint32>(quint32(block + blocks), nextFree.data());
    posix::writeAt(fd_, path_, kNextFreeBlockAt, nextFree);
    return block;
}

quint32 MemoFile::nextFreeBlock() const
{
    const QByteArray bytes = posix::readAt(fd_, path_, kNextFreeBlockAt, sizeof(quint32));
    if (bytes.size() < qsizetype(sizeof(quint32)))
        throw DatabaseError(
            QStringLiteral("The memo file %1 is damaged: its header is cut short.").arg(path_),
            DatabaseErrorKind::Damaged);
    const qint64 named = qFromLittleEndian<quint32>(bytes.constData());
    const qint64 pastEnd = blocksFor(posix::fileSize(fd_, path_), blockSize_);
    return quint32(
        std::clamp<qint64>(std::max(named, pastEnd), 1, std::numeric_limits<quint32>::max()));
}

void MemoFile::sync() { posix::syncData(fd_, path_); }

} // namespace numora::store
