#pragma once
// Made-up but realistic coin collections in the record table's layout, for the
// benchmark, the smoke test and anyone who needs a populated table to look at. Every
// value is derived from the seed and the record number alone, so record 5000 of seed 7
// is the same wherever and in whatever order it is asked for.

#include "store/index_file.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <variant>
#include <vector>

namespace numora::store {
class Table;
}

namespace numora::tools {

// One column's value: nothing (left blank), an integer, a number, text (also memo
// text), a date or bytes (binary columns).
using ColumnValue = std::variant<std::monostate, qint64, double, QString, QDate, QByteArray>;

// One value per column of database::recordTableFields(), in column order. Texts already
// fit their column's width and numbers carry no more decimals than their column keeps,
// so what a table stores equals what is here.
using GeneratedRecord = std::vector<ColumnValue>;

class CollectionGenerator {
public:
    explicit CollectionGenerator(quint64 seed);

    // The record with running number `number` (1-based).
    GeneratedRecord record(quint32 number) const;

    // Writes the values into the table's current record, which must be in insert or
    // edit state and have the record table's columns.
    static void fill(store::Table &table, const GeneratedRecord &record);

    // Creates folder/data.dbf (the folder too when needed) holding records 1..count and
    // the given tags, and folder/master.dbf with its row, whose counter is `count`, so
    // the program numbers new records from count + 1. Throws DatabaseError, having
    // written nothing, when either table exists already; when one cannot be written,
    // what was written is removed.
    void write(const QString &folder, quint32 count,
               const std::vector<store::TagDefinition> &tags = {}) const;

    static QString dataFileName() { return QStringLiteral("data.dbf"); }
    static QString masterFileName() { return QStringLiteral("master.dbf"); }

private:
    void appendRecords(store::Table &table, quint32 count) const;
    static void writeMaster(const QString &folder, quint32 count);

    quint64 seed_;
    std::vector<QByteArray> pictures_; // a few distinct PNG files, shared by the records
};

} // namespace numora::tools
