#pragma once
// One record's bytes with typed access to its columns, as the data file stores them:
// character blank padded in the table's encoding, numeric right-aligned text, date
// YYYYMMDD, logical T/F/?, memo and binary a 10-digit block number (blank = none).

#include "store/decimal.h"
#include "store/dbf_file.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <memory>
#include <optional>

namespace numora::store {

class RecordBuffer {
public:
    explicit RecordBuffer(std::shared_ptr<const DbfLayout> layout); // a blank record
    RecordBuffer(std::shared_ptr<const DbfLayout> layout, QByteArray bytes);

    const DbfLayout &layout() const { return *layout_; }
    const QByteArray &bytes() const { return bytes_; }
    // Replaces the record's bytes in place, for passes over many records that should not
    // allocate one buffer per record.
    void assign(QByteArrayView bytes);

    bool isDeleted() const;
    void setDeleted(bool deleted);

    QByteArrayView rawField(int column) const;
    void setRawField(int column, QByteArrayView raw); // blank padded or cut to the width

    // Character: decoded, trailing blanks removed. Numeric: the trimmed digits.
    // Date: yyyy-MM-dd or empty. Logical: "T", "F" or empty. Memo/binary: empty.
    QString text(int column) const;
    // Character: encoded and cut to the width at a character boundary. Numeric and date
    // accept what text() returns (dates also as YYYYMMDD and MM/DD/YYYY). An empty
    // text clears. Unreadable numeric or date text throws DatabaseError.
    void setText(int column, const QString &text);

    std::optional<Decimal> decimal(int column) const; // no value for blank or garbage
    // Throws DatabaseError when the integer part does not fit the column's width.
    void setDecimal(int column, Decimal value);
    QDate date(int column) const; // invalid for blank or garbage
    void setDate(int column, QDate date);
    std::optional<bool> logical(int column) const;
    void setLogical(int column, bool value);

    bool isNull(int column) const; // all blanks
    void clear(int column);

    quint32 memoBlock(int column) const; // 0 = no memo value
    void setMemoBlock(int column, quint32 block);

private:
    const FieldDescriptor &fieldAt(int column) const;
    // The column, or DatabaseError when it is not of `type`.
    const FieldDescriptor &requireType(int column, FieldType type) const;

    std::shared_ptr<const DbfLayout> layout_;
    QByteArray bytes_;
};

} // namespace numora::store
