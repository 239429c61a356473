#include "store/dbf_file.h"

#include "store/posix_io.h"
#include "store/store_error.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <optional>

namespace numora::store {

namespace {

// Positions in the 32-byte file header.
constexpr int kHeaderSize = 32;
constexpr int kDateAt = 1; // YY (years since 1900), MM, DD
constexpr int kDateSize = 3;
constexpr int kHeaderYearBase = 1900;
constexpr int kHeaderYearMax = kHeaderYearBase + 255;
constexpr int kRecordCountAt = 4;   // little-endian uint32
constexpr int kHeaderLengthAt = 8;  // little-endian uint16
constexpr int kRecordLengthAt = 10; // little-endian uint16
constexpr int kLanguageDriverAt = 29;

// Positions in a 32-byte column descriptor.
constexpr int kDescriptorSize = 32;
constexpr int kNameSize = 11; // ten characters and a NUL
constexpr int kTypeAt = 11;
constexpr int kWidthAt = 16;
constexpr int kDecimalsAt = 17;

constexpr char kHeaderTerminator = 0x0D;
constexpr char kEndOfData = 0x1A;
constexpr int kMaxColumns = 255;
constexpr int kMaxNameLength = 10;
constexpr int kMaxNumericDecimals = 15;

constexpr quint8 kVersionWithMemo = 0x8B;
constexpr quint8 kVersionWithoutMemo = 0x03;

constexpr std::array kKnownTypes = {FieldType::Character, FieldType::Numeric, FieldType::Date,
                                    FieldType::Logical,   FieldType::Memo,    FieldType::Binary};

DatabaseError damaged(const QString &path, const QString &reason)
{
    return DatabaseError(QStringLiteral("The table %1 is damaged: %2.").arg(path, reason),
                         DatabaseErrorKind::Damaged);
}

DatabaseError invalidColumn(const FieldDescriptor &field, const QString &reason)
{
    return DatabaseError(
        QStringLiteral("Column \"%1\" cannot be created: %2.").arg(field.name, reason));
}

std::optional<FieldType> fieldTypeFromByte(char byte)
{
    for (FieldType type : kKnownTypes)
        if (char(type) == byte)
            return type;
    return std::nullopt;
}

struct WidthRange {
    int min;
    int max;
};

WidthRange allowedWidths(FieldType type)
{
    switch (type) {
    case FieldType::Character:
        return {1, 254};
    case FieldType::Numeric:
        return {1, 20};
    case FieldType::Date:
        return {8, 8};
    case FieldType::Logical:
        return {1, 1};
    case FieldType::Memo:
    case FieldType::Binary:
        return {10, 10};
    }
    return {1, 0}; // a type outside the enum allows no width
}

// A numeric column keeps room for at least a digit and the point beside its decimals.
int allowedDecimals(const FieldDescriptor &field)
{
    if (field.type != FieldType::Numeric)
        return 0;
    return std::clamp(field.width - 2, 0, kMaxNumericDecimals);
}

bool isValidColumnName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    const auto isAsciiLetter = [](QChar c) { return c.isLetter() && c.unicode() < 0x80; };
    const auto isAsciiDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (!isAsciiLetter(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [&](QChar c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == u'_'; });
}

void checkNewColumn(const FieldDescriptor &field)
{
    if (!isValidColumnName(field.name))
        throw invalidColumn(field, QStringLiteral("a name is 1 to %1 ASCII letters, digits or "
                                                  "underscores and starts with a letter")
                                       .arg(kMaxNameLength));
    if (!fieldTypeFromByte(char(field.type)))
        throw invalidColumn(field, QStringLiteral("unknown column type"));
    const WidthRange widths = allowedWidths(field.type);
    if (field.width < widths.min || field.width > widths.max)
        throw invalidColumn(field, QStringLiteral("the width must be %1 to %2, not %3")
                                       .arg(widths.min)
                                       .arg(widths.max)
                                       .arg(field.width));
    if (field.decimals < 0 || field.decimals > allowedDecimals(field))
        throw invalidColumn(field, QStringLiteral("%1 decimals do not fit a width of %2")
                                       .arg(field.decimals)
                                       .arg(field.width));
}

void checkNewColumns(const FieldList &fields)
{
    if (fields.empty() || fields.size() > size_t(kMaxColumns))
        throw DatabaseError(QStringLiteral("A table has 1 to %1 columns, not %2.")
                                .arg(kMaxColumns)
                                .arg(fields.size()));
    for (auto field = fields.begin(); field != fields.end(); ++field) {
        checkNewColumn(*field);
        const auto sameName = [&](const FieldDescriptor &other) {
            return other.name.compare(field->name, Qt::CaseInsensitive) == 0;
        };
        if (std::any_of(fields.begin(), field, sameName))
            throw invalidColumn(*field, QStringLiteral("another column has the same name"));
    }
}

// Lays the columns out one after the other behind the deletion flag; returns the
// record length that results.
int assignOffsets(FieldList &fields)
{
    int offset = 0;
    for (FieldDescriptor &field : fields) {
        field.offset = offset;
        offset += field.width;
    }
    return 1 + offset;
}

std::array<char, kDateSize> encodeHeaderDate(QDate date)
{
    if (!date.isValid() || date.year() < kHeaderYearBase || date.year() > kHeaderYearMax)
        throw DatabaseError(QStringLiteral("The date %1 cannot be stored in a table header.")
                                .arg(date.toString(Qt::ISODate)));
    return {char(date.year() - kHeaderYearBase), char(date.month()), char(date.day())};
}

QByteArray encodeHeader(const DbfLayout &layout, QDate lastUpdate)
{
    QByteArray bytes(layout.headerLength, '\0');
    char *header = bytes.data();
    header[0] = char(layout.version);
    const auto date = encodeHeaderDate(lastUpdate);
    std::copy(date.begin(), date.end(), header + kDateAt);
    qToLittleEndian<quint16>(quint16(layout.headerLength), header + kHeaderLengthAt);
    qToLittleEndian<quint16>(quint16(layout.recordLength), header + kRecordLengthAt);
    header[kLanguageDriverAt] = char(layout.languageDriver);
    // The production index flag (byte 28) stays 0: our index file is our own format
    // and other programs must not try to open it.
    char *descriptor = header + kHeaderSize;
    for (const FieldDescriptor &field : layout.fields) {
        const QByteArray name = field.name.toUpper().toLatin1();
        std::copy(name.begin(), name.end(), descriptor);
        descriptor[kTypeAt] = char(field.type);
        descriptor[kWidthAt] = char(field.width);
        descriptor[kDecimalsAt] = char(field.decimals);
        descriptor += kDescriptorSize;
    }
    *descriptor = kHeaderTerminator;
    return bytes;
}

FieldDescriptor decodeDescriptor(QByteArrayView descriptor, const QString &path)
{
    FieldDescriptor field;
    const QByteArrayView nameBytes = descriptor.first(kNameSize);
    const qsizetype nul = nameBytes.indexOf('\0');
    field.name = QString::fromLatin1(nul < 0 ? nameBytes : nameBytes.first(nul)).trimmed();
    const std::optional<FieldType> type = fieldTypeFromByte(descriptor[kTypeAt]);
    if (!type)
        throw damaged(path, QStringLiteral("column \"%1\" has the unknown type byte 0x%2")
                                .arg(field.name)
                                .arg(quint8(descriptor[kTypeAt]), 2, 16, QLatin1Char('0')));
    field.type = *type;
    field.width = quint8(descriptor[kWidthAt]);
    field.decimals = quint8(descriptor[kDecimalsAt]);
    if (field.width == 0)
        throw damaged(path, QStringLiteral("column \"%1\" has no width").arg(field.name));
    return field;
}

// The descriptors run from byte 32 to the 0x0D terminator. Reading up to the terminator
// rather than deriving the count from the header length accepts the tools that leave
// an extra byte after it.
FieldList decodeDescriptors(QByteArrayView header, const QString &path)
{
    FieldList fields;
    for (qsizetype at = kHeaderSize;
         at + kDescriptorSize <= header.size() && header[at] != kHeaderTerminator;
         at += kDescriptorSize) {
        if (fields.size() == size_t(kMaxColumns))
            throw damaged(path,
                          QStringLiteral("it declares more than %1 columns").arg(kMaxColumns));
        fields.push_back(decodeDescriptor(header.sliced(at, kDescriptorSize), path));
    }
    if (fields.empty())
        throw damaged(path, QStringLiteral("it declares no columns"));
    return fields;
}

void checkRecordLength(const DbfLayout &layout, const QString &path)
{
    if (layout.recordLength == 0)
        throw damaged(path, QStringLiteral("its record length is 0"));
    const int dataLength = layout.recordLength - 1;
    for (const FieldDescriptor &field : layout.fields)
        if (field.offset + field.width > dataLength)
            throw damaged(path, QStringLiteral("column \"%1\" ends past the %2-byte record")
                                    .arg(field.name)
                                    .arg(layout.recordLength));
    const int declared = layout.fields.back().offset + layout.fields.back().width + 1;
    if (declared != layout.recordLength)
        throw damaged(path, QStringLiteral("its record length is %1 but its columns take %2 bytes")
                                .arg(layout.recordLength)
                                .arg(declared));
}

std::shared_ptr<const DbfLayout> readLayout(int fd, const QString &path)
{
    const qint64 fileSize = posix::fileSize(fd, path);
    const QByteArray header = posix::readAt(fd, path, 0, kHeaderSize);
    if (header.size() < kHeaderSize)
        throw damaged(path, QStringLiteral("it is only %1 bytes long").arg(header.size()));

    auto layout = std::make_shared<DbfLayout>();
    layout->version = quint8(header[0]);
    layout->headerLength = qFromLittleEndian<quint16>(header.constData() + kHeaderLengthAt);
    layout->recordLength = qFromLittleEndian<quint16>(header.constData() + kRecordLengthAt);
    layout->languageDriver = quint8(header[kLanguageDriverAt]);
    layout->codec = TextCodec(TextCodec::encodingForLanguageDriver(layout->languageDriver));
    if (layout->headerLength < kHeaderSize + 1 || layout->headerLength > fileSize)
        throw damaged(path,
                      QStringLiteral("its header length %1 is impossible in a file of %2 bytes")
                          .arg(layout->headerLength)
                          .arg(fileSize));

    const QByteArray fullHeader = posix::readAt(fd, path, 0, layout->headerLength);
    layout->fields = decodeDescriptors(fullHeader, path);
    assignOffsets(layout->fields);
    checkRecordLength(*layout, path);
    return layout;
}

} // namespace

int DbfLayout::columnIndex(const QString &name) const
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool DbfLayout::hasMemoColumns() const
{
    return std::any_of(fields.begin(), fields.end(),
                       [](const FieldDescriptor &field) { return isMemoType(field.type); });
}

void DbfFile::create(const QString &path, const FieldList &fields, TextEncoding encoding)
{
    checkNewColumns(fields);
    DbfLayout layout;
    layout.fields = fields;
    layout.recordLength = assignOffsets(layout.fields);
    layout.headerLength = kHeaderSize + kDescriptorSize * int(fields.size()) + 1;
    layout.version = layout.hasMemoColumns() ? kVersionWithMemo : kVersionWithoutMemo;
    layout.languageDriver = TextCodec::languageDriverFor(encoding);

    QByteArray bytes = encodeHeader(layout, QDate::currentDate());
    bytes.append(kEndOfData);
    const posix::UniqueFd file = posix::openFile(path, posix::OpenMode::CreateOrTruncate);
    posix::writeAt(file.get(), path, 0, bytes);
}

DbfFile::DbfFile(const QString &path, bool writable) : path_(path), writable_(writable)
{
    posix::UniqueFd file =
        posix::openFile(path, writable ? posix::OpenMode::ReadWrite : posix::OpenMode::ReadOnly);
    layout_ = readLayout(file.get(), path);
    fd_ = file.release();
}

DbfFile::~DbfFile() { posix::closeFile(fd_); }

quint32 DbfFile::readRecordCount() const
{
    const QByteArray bytes = posix::readAt(fd_, path_, kRecordCountAt, sizeof(quint32));
    if (bytes.size() < qsizetype(sizeof(quint32)))
        throw damaged(path_, QStringLiteral("its header is cut short"));
    return qFromLittleEndian<quint32>(bytes.constData());
}

// The count is read before the length: an append writes its record before raising the
// count, so even a reader holding no lock never takes an append for a cut.
RecordCount DbfFile::countRecords() const
{
    RecordCount count;
    count.counted = readRecordCount();
    const qint64 recordBytes = posix::fileSize(fd_, path_) - layout_->headerLength;
    const qint64 whole = std::max<qint64>(recordBytes, 0) / layout_->recordLength;
    count.usable = quint32(std::min<qint64>(count.counted, whole));
    if (!count.isCutShort())
        return count;
    const quint32 firstMissing = count.usable + 1;
    const bool endsInside = recordBytes > qint64(count.usable) * layout_->recordLength;
    const QString where = endsInside ? QStringLiteral("it ends inside record %1")
                                     : QStringLiteral("it ends before record %1");
    const QString wholePart = count.usable == 0 ? QStringLiteral("no record before it is whole")
                          : count.usable == 1
                              ? QStringLiteral("the record before it is whole")
                              : QStringLiteral("the %1 records before it are whole").arg(count.usable);
    count.damage = damaged(path_, QStringLiteral("%1; %2").arg(where.arg(firstMissing), wholePart)).message();
    return count;
}

QDate DbfFile::readLastUpdate() const
{
    const QByteArray bytes = posix::readAt(fd_, path_, kDateAt, kDateSize);
    if (bytes.size() < kDateSize)
        return {};
    return {kHeaderYearBase + quint8(bytes[0]), quint8(bytes[1]), quint8(bytes[2])};
}

void DbfFile::writeRecordCount(quint32 count, QDate lastUpdate)
{
    requireWritable();
    QByteArray bytes(kDateSize + int(sizeof(quint32)), '\0');
    const auto date = encodeHeaderDate(lastUpdate);
    std::copy(date.begin(), date.end(), bytes.data());
    qToLittleEndian<quint32>(count, bytes.data() + kDateSize);
    posix::writeAt(fd_, path_, kDateAt, bytes);
}

void DbfFile::writeLastUpdate(QDate lastUpdate)
{
    requireWritable();
    const auto date = encodeHeaderDate(lastUpdate);
    posix::writeAt(fd_, path_, kDateAt, QByteArrayView(date.data(), date.size()));
}

QByteArray DbfFile::readRecord(quint32 recno) const
{
    QByteArray bytes;
    readRecords(recno, 1, bytes);
    return bytes;
}

void DbfFile::readRecords(quint32 firstRecno, quint32 count, QByteArray &out) const
{
    requireRecordNumber(firstRecno);
    const qint64 size = qint64(count) * layout_->recordLength;
    out = posix::readAt(fd_, path_, recordOffset(firstRecno), size);
    if (out.size() < size)
        throw damaged(path_, QStringLiteral("the file ends before record %1")
                                 .arg(quint64(firstRecno) + out.size() / layout_->recordLength));
}

void DbfFile::requireWholeRecord(quint32 recno, QByteArrayView bytes) const
{
    requireWritable();
    requireRecordNumber(recno);
    if (bytes.size() != layout_->recordLength)
        throw DatabaseError(QStringLiteral("A record of %1 bytes cannot be written to %2, whose "
                                           "records are %3 bytes long.")
                                .arg(bytes.size())
                                .arg(path_)
                                .arg(layout_->recordLength));
}

void DbfFile::overwriteRecord(quint32 recno, QByteArrayView bytes)
{
    requireWholeRecord(recno, bytes);
    posix::writeAt(fd_, path_, recordOffset(recno), bytes);
}

void DbfFile::writeRecord(quint32 recno, QByteArrayView bytes)
{
    requireWholeRecord(recno, bytes);
    const qint64 offset = recordOffset(recno);
    const qint64 fileSize = posix::fileSize(fd_, path_);
    if (offset + bytes.size() <= fileSize) {
        posix::writeAt(fd_, path_, offset, bytes);
        return;
    }
    if (offset > fileSize)
        throw DatabaseError(QStringLiteral("Record %1 cannot be written to %2: the records "
                                           "before it are missing.")
                                .arg(recno)
                                .arg(path_));
    QByteArray tail = bytes.toByteArray();
    tail.append(kEndOfData);
    posix::writeAt(fd_, path_, offset, tail);
}

void DbfFile::truncateRecords(quint32 count)
{
    requireWritable();
    if (count > readRecordCount())
        throw DatabaseError(QStringLiteral("%1 cannot be cut to %2 records: it holds fewer.")
                                .arg(path_)
                                .arg(count));
    // The count goes down before the file is cut, so a crash in between leaves only
    // unused bytes behind the last record, never a count the file cannot hold.
    writeRecordCount(count, QDate::currentDate());
    const qint64 end = recordOffset(count + qint64(1));
    posix::truncateFile(fd_, path_, end + 1);
    posix::writeAt(fd_, path_, end, QByteArrayView(&kEndOfData, 1));
}

void DbfFile::sync() { posix::syncData(fd_, path_); }

qint64 DbfFile::recordOffset(qint64 recno) const
{
    return layout_->headerLength + (recno - 1) * layout_->recordLength;
}

void DbfFile::requireWritable() const
{
    if (!writable_)
        throw DatabaseError(QStringLiteral("%1 is open read-only.").arg(path_));
}

void DbfFile::requireRecordNumber(quint32 recno) const
{
    if (recno == 0)
        throw DatabaseError(QStringLiteral("There is no record 0 in %1: records are numbered "
                                           "from 1.")
                                .arg(path_));
}

} // namespace numora::store
