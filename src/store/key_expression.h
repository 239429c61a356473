#pragma once
// Index key expressions: column names, UPPER, SUBSTR, MLINE, STR, DTOS, date literals
// {mm/dd/yyyy}, "+" (concatenation or addition) and "-" (numeric and date subtraction).
// UPPER folds accents as well as case (TextCodec::foldForOrder) and keeps the byte
// width of its argument, so the parts after it stay at fixed offsets.
// Compiled once per tag against a table's columns; evaluation runs for every record
// written or indexed, so it allocates little and never re-parses.

#include "store/field.h"
#include "store/text_codec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

namespace numora::store {

// What an expression reads from one record.
class KeyRecordSource {
public:
    virtual ~KeyRecordSource() = default;
    // Raw bytes of the column inside the record (character: blank padded text,
    // numeric: right-aligned digits, date: YYYYMMDD or blanks).
    virtual QByteArrayView rawField(int column) const = 0;
    // The whole value of a memo column, as stored bytes in the table's encoding.
    virtual QByteArray memoBytes(int column) const = 0;
};

class KeyExpression {
public:
    static constexpr int MaxTextLength = 100; // expression text and key bytes alike
    // Raised whenever an expression's keys change meaning, so that an index file that
    // records an older number is rebuilt instead of mixing old keys with new ones.
    // 1: UPPER folds accents as well as case.
    static constexpr quint32 KeysVersion = 1;

    // Throws DatabaseError for a syntax error, an unknown column or function, a type
    // mismatch, or a text longer than MaxTextLength.
    static KeyExpression compile(const QString &text, const FieldList &fields, TextEncoding encoding);

    KeyExpression(KeyExpression &&) noexcept;
    KeyExpression &operator=(KeyExpression &&) noexcept;
    ~KeyExpression();

    const QString &text() const;
    bool readsMemo() const;
    // The key of one record, at most MaxTextLength bytes (cut at a character boundary).
    QByteArray evaluate(const KeyRecordSource &record) const;

private:
    struct Impl;
    explicit KeyExpression(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace numora::store
