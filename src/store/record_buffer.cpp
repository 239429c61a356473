#include "store/record_buffer.h"

#include "store/store_error.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace numora::store {

namespace {

constexpr char kBlank = ' ';
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';
constexpr int kStoredDateLength = 8; // YYYYMMDD
constexpr int kLastFourDigitYear = 9999;

// Other programs pad with NULs where dBASE pads with blanks; both mean "nothing".
bool isPadding(char byte) { return byte == kBlank || byte == '\0'; }

bool isDigit(char byte) { return byte >= '0' && byte <= '9'; }

QByteArrayView trimmedRight(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && isPadding(bytes.back()))
        bytes.chop(1);
    return bytes;
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    bytes = trimmedRight(bytes);
    while (!bytes.isEmpty() && isPadding(bytes.front()))
        bytes = bytes.sliced(1);
    return bytes;
}

QDate parseStoredDate(QByteArrayView raw)
{
    if (raw.size() != kStoredDateLength || !std::all_of(raw.begin(), raw.end(), isDigit))
        return {};
    const auto number = [&](qsizetype from, qsizetype length) {
        return raw.sliced(from, length).toInt();
    };
    return {number(0, 4), number(4, 2), number(6, 2)};
}

QDate parseDateText(const QString &text)
{
    static const std::array formats = {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyyMMdd"),
                                       QStringLiteral("MM/dd/yyyy")};
    for (const QString &format : formats) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return date;
    }
    return {};
}

std::optional<bool> parseLogical(QChar c)
{
    switch (c.toUpper().unicode()) {
    case u'T':
    case u'Y':
        return true;
    case u'F':
    case u'N':
        return false;
    default:
        return std::nullopt;
    }
}

DatabaseError unreadable(const FieldDescriptor &field, const QString &what, const QString &text)
{
    return DatabaseError(
        QStringLiteral("\"%1\" is not %2 (column %3).").arg(text, what, field.name));
}

} // namespace

RecordBuffer::RecordBuffer(std::shared_ptr<const DbfLayout> layout)
    : layout_(std::move(layout)), bytes_(layout_->recordLength, kBlank)
{
}

void RecordBuffer::assign(QByteArrayView bytes)
{
    if (bytes.size() != layout_->recordLength)
        throw DatabaseError(QStringLiteral("A record of %1 bytes does not match its table, whose "
                                           "records are %2 bytes long.")
                                .arg(bytes.size())
                                .arg(layout_->recordLength));
    std::memcpy(bytes_.data(), bytes.data(), size_t(bytes.size()));
}

RecordBuffer::RecordBuffer(std::shared_ptr<const DbfLayout> layout, QByteArray bytes)
    : layout_(std::move(layout)), bytes_(std::move(bytes))
{
    if (bytes_.size() != layout_->recordLength)
        throw DatabaseError(QStringLiteral("A record of %1 bytes does not match its table, whose "
                                           "records are %2 bytes long.")
                                .arg(bytes_.size())
                                .arg(layout_->recordLength));
}

bool RecordBuffer::isDeleted() const { return bytes_[0] == kDeletedFlag; }

void RecordBuffer::setDeleted(bool deleted) { bytes_[0] = deleted ? kDeletedFlag : kLiveFlag; }

QByteArrayView RecordBuffer::rawField(int column) const
{
    const FieldDescriptor &field = fieldAt(column);
    return QByteArrayView(bytes_).sliced(1 + field.offset, field.width);
}

void RecordBuffer::setRawField(int column, QByteArrayView raw)
{
    const FieldDescriptor &field = fieldAt(column);
    const auto kept = std::min<qsizetype>(raw.size(), field.width);
    char *target = bytes_.data() + 1 + field.offset;
    std::copy_n(raw.data(), kept, target);
    std::fill(target + kept, target + field.width, kBlank);
}

QString RecordBuffer::text(int column) const
{
    switch (fieldAt(column).type) {
    case FieldType::Character:
        return layout_->codec.decode(trimmedRight(rawField(column)));
    case FieldType::Numeric:
        return QString::fromLatin1(trimmed(rawField(column)));
    case FieldType::Date: {
        const QDate value = date(column);
        return value.isValid() ? value.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    }
    case FieldType::Logical: {
        const std::optional<bool> value = logical(column);
        return value ? QString(*value ? u'T' : u'F') : QString();
    }
    case FieldType::Memo:
    case FieldType::Binary:
        break;
    }
    return {};
}

void RecordBuffer::setText(int column, const QString &text)
{
    const FieldDescriptor &field = fieldAt(column);
    const QString value = text.trimmed();
    if (value.isEmpty()) {
        clear(column);
        return;
    }
    switch (field.type) {
    case FieldType::Character:
        setRawField(column, layout_->codec.encodeFitting(text, field.width));
        return;
    case FieldType::Numeric: {
        const std::optional<Decimal> number = Decimal::parse(value.toLatin1());
        if (!number)
            throw unreadable(field, QStringLiteral("a number"), text);
        setDecimal(column, *number);
        return;
    }
    case FieldType::Date: {
        const QDate date = parseDateText(value);
        if (!date.isValid())
            throw unreadable(field, QStringLiteral("a date"), text);
        setDate(column, date);
        return;
    }
    case FieldType::Logical: {
        const std::optional<bool> flag = value.size() == 1 ? parseLogical(value[0]) : std::nullopt;
        if (!flag)
            throw unreadable(field, QStringLiteral("T or F"), text);
        setLogical(column, *flag);
        return;
    }
    case FieldType::Memo:
    case FieldType::Binary:
        break;
    }
    throw DatabaseError(
        QStringLiteral("Column %1 keeps its value in the memo file, not in the record.")
            .arg(field.name));
}

std::optional<Decimal> RecordBuffer::decimal(int column) const
{
    if (fieldAt(column).type != FieldType::Numeric)
        return std::nullopt;
    return Decimal::parse(rawField(column));
}

void RecordBuffer::setDecimal(int column, Decimal value)
{
    const FieldDescriptor &field = requireType(column, FieldType::Numeric);
    // Columns may declare more decimals than a Decimal keeps; the extra ones are zeros.
    const QByteArray digits = value.toFixed(field.width, std::min(field.decimals, Decimal::Scale));
    // toFixed() shows a number too wide for the column as asterisks; the data file
    // never stores those, since they would read back as no value.
    if (digits.size() != field.width || digits.contains('*'))
        throw DatabaseError(QStringLiteral("The number %1 is too large for column %2, which "
                                           "holds %3 characters.")
                                .arg(value.toDouble())
                                .arg(field.name)
                                .arg(field.width));
    setRawField(column, digits);
}

QDate RecordBuffer::date(int column) const
{
    if (fieldAt(column).type != FieldType::Date)
        return {};
    return parseStoredDate(rawField(column));
}

void RecordBuffer::setDate(int column, QDate date)
{
    requireType(column, FieldType::Date);
    if (!date.isValid()) {
        clear(column);
        return;
    }
    if (date.year() < 1 || date.year() > kLastFourDigitYear)
        throw DatabaseError(
            QStringLiteral("The date %1 has no four-digit year.").arg(date.toString(Qt::ISODate)));
    setRawField(
        column,
        QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day()).toLatin1());
}

std::optional<bool> RecordBuffer::logical(int column) const
{
    if (fieldAt(column).type != FieldType::Logical)
        return std::nullopt;
    return parseLogical(QChar::fromLatin1(rawField(column).front()));
}

void RecordBuffer::setLogical(int column, bool value)
{
    requireType(column, FieldType::Logical);
    setRawField(column, value ? "T" : "F");
}

bool RecordBuffer::isNull(int column) const
{
    const QByteArrayView raw = rawField(column);
    return std::all_of(raw.begin(), raw.end(), isPadding);
}

void RecordBuffer::clear(int column) { setRawField(column, {}); }

quint32 RecordBuffer::memoBlock(int column) const
{
    if (!isMemoType(fieldAt(column).type))
        return 0;
    const QByteArrayView digits = trimmed(rawField(column));
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isDigit))
        return 0;
    bool ok = false;
    const qulonglong block = digits.toULongLong(&ok);
    return ok && block <= std::numeric_limits<quint32>::max() ? quint32(block) : 0;
}

void RecordBuffer::setMemoBlock(int column, quint32 block)
{
    const FieldDescriptor &field = fieldAt(column);
    if (!isMemoType(field.type))
        throw DatabaseError(QStringLiteral("Column %1 is not a memo column.").arg(field.name));
    if (block == 0) {
        clear(column);
        return;
    }
    const QByteArray digits = QByteArray::number(block);
    if (digits.size() > field.width)
        throw DatabaseError(
            QStringLiteral("Memo block %1 does not fit column %2.").arg(block).arg(field.name));
    setRawField(column, digits.rightJustified(field.width, kBlank));
}

const FieldDescriptor &RecordBuffer::fieldAt(int column) const
{
    return layout_->fields.at(size_t(column));
}

const FieldDescriptor &RecordBuffer::requireType(int column, FieldType type) const
{
    const FieldDescriptor &field = fieldAt(column);
    if (field.type != type)
        throw DatabaseError(QStringLiteral("Column %1 is of type %2, not %3.")
                                .arg(field.name, QChar::fromLatin1(char(field.type)),
                                     QChar::fromLatin1(char(type))));
    return field;
}

} // namespace numora::store
