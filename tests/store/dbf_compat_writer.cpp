// Writes tables through our store for other dBASE readers to check, and prints tables
// that other programs wrote, so third_party_compat.py can compare both directions.
//
//   dbf_compat_writer FOLDER     writes coins.dbf/.dbt (UTF-8, every column type, one
//                                deleted record), legacy.dbf (Windows-1252) and
//                                expected.json, which lists every value written
//   dbf_compat_writer read FILE  prints FILE's records, one a line: the deletion flag,
//                                then the columns, tab-separated. Memo text is decoded,
//                                binary values are hex; \, tab, CR and LF are escaped.

#include "store/dbf_file.h"
#include "store/memo_file.h"
#include "store/record_buffer.h"
#include "store/store_error.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QVariant>
#include <iostream>
#include <optional>

using namespace numora::store;

namespace {

struct Row {
    bool deleted = false;
    std::vector<QVariant> values; // one a column; a null QVariant leaves it blank
};

struct TableToWrite {
    QString fileName;
    TextEncoding encoding;
    FieldList fields;
    std::vector<Row> rows;
};

FieldDescriptor column(const char *name, FieldType type, int width, int decimals = 0)
{
    FieldDescriptor field;
    field.name = QString::fromLatin1(name);
    field.type = type;
    field.width = width;
    field.decimals = decimals;
    return field;
}

// A PNG signature (which holds 0x1A) and a run of 0x00, 0x1A, 0xFF and 0x80 bytes: the
// bytes a text-minded reader would stop at or mangle. No 0x1F: dbfread ends dBASE IV
// memo values there.
QByteArray pictureBytes()
{
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray("\x00\x1A\xFF\x80", 4).repeated(200);
}

TableToWrite coinsTable()
{
    const QVariant none;
    return {QStringLiteral("coins.dbf"),
            TextEncoding::Utf8,
            {column("NAME", FieldType::Character, 30), column("PRICE", FieldType::Numeric, 10, 2),
             column("WEIGHT", FieldType::Numeric, 8, 4), column("STRUCK", FieldType::Date, 8),
             column("PROOF", FieldType::Logical, 1), column("NOTES", FieldType::Memo, 10),
             column("PICTURE", FieldType::Binary, 10)},
            {{false,
              {QStringLiteral("Taler Zürich"), QStringLiteral("1250.5"), QStringLiteral("27.4123"),
               QDate(1790, 6, 1), true,
               QStringLiteral("Struck in Zürich.\r\nEdge: lettered.\nWert: ½ Taler – 12 €"),
               pictureBytes()}},
             {true,
              {QStringLiteral("Obol"), QStringLiteral("-3.25"), QStringLiteral("0.6"), none, false,
               QStringLiteral("withdrawn"), none}},
             {false,
              {QStringLiteral("Denar"), none, QStringLiteral("3.9"), QDate(2001, 12, 31), none,
               none, QByteArray("\x00\xFF\x1A", 3)}}}};
}

TableToWrite legacyTable()
{
    return {QStringLiteral("legacy.dbf"),
            TextEncoding::Windows1252,
            {column("NAME", FieldType::Character, 20), column("PRICE", FieldType::Numeric, 8, 2)},
            {{false, {QStringLiteral("Münze €"), QStringLiteral("7.5")}},
             {false, {QStringLiteral("Straße Š"), QStringLiteral("-0.01")}}}};
}

QString memoPathFor(const QString &dbfPath)
{
    const QFileInfo info(dbfPath);
    const QDir dir = info.dir();
    for (const QString &suffix : {QStringLiteral(".dbt"), QStringLiteral(".DBT")}) {
        const QString candidate = dir.filePath(info.completeBaseName() + suffix);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return dir.filePath(info.completeBaseName() + QStringLiteral(".dbt"));
}

void storeValue(RecordBuffer &record, MemoFile *memo, int column, const QVariant &value)
{
    if (value.isNull())
        return;
    switch (record.layout().fields[column].type) {
    case FieldType::Character:
    case FieldType::Numeric:
        record.setText(column, value.toString());
        return;
    case FieldType::Date:
        record.setDate(column, value.toDate());
        return;
    case FieldType::Logical:
        record.setLogical(column, value.toBool());
        return;
    case FieldType::Memo:
        record.setMemoBlock(column, memo->append(record.layout().codec.encode(value.toString())));
        return;
    case FieldType::Binary:
        record.setMemoBlock(column, memo->append(value.toByteArray()));
        return;
    }
}

QJsonValue expectedValue(FieldType type, const QVariant &value)
{
    if (value.isNull())
        return QJsonValue::Null;
    switch (type) {
    case FieldType::Date:
        return value.toDate().toString(Qt::ISODate);
    case FieldType::Logical:
        return value.toBool();
    case FieldType::Binary:
        return QString::fromLatin1(value.toByteArray().toHex());
    default:
        return value.toString();
    }
}

QJsonObject describe(const TableToWrite &table)
{
    QJsonArray columns;
    for (const FieldDescriptor &field : table.fields)
        columns.append(QJsonObject{{"name", field.name},
                                   {"type", QString(QChar::fromLatin1(char(field.type)))},
                                   {"width", field.width},
                                   {"decimals", field.decimals}});
    QJsonArray records;
    for (const Row &row : table.rows) {
        QJsonArray values;
        for (size_t i = 0; i < row.values.size(); ++i)
            values.append(expectedValue(table.fields[i].type, row.values[i]));
        records.append(QJsonObject{{"deleted", row.deleted}, {"values", values}});
    }
    const bool utf8 = table.encoding == TextEncoding::Utf8;
    return {{"file", table.fileName},
            {"encoding", utf8 ? "utf-8" : "cp1252"},
            {"columns", columns},
            {"records", records}};
}

void writeTable(const QDir &folder, const TableToWrite &table)
{
    const QString path = folder.filePath(table.fileName);
    DbfFile::create(path, table.fields, table.encoding);
    DbfFile dbf(path, true);
    std::optional<MemoFile> memo;
    if (dbf.layout().hasMemoColumns()) {
        MemoFile::create(memoPathFor(path), QFileInfo(path).completeBaseName().toUpper());
        memo.emplace(memoPathFor(path), true);
    }
    quint32 recno = 0;
    for (const Row &row : table.rows) {
        RecordBuffer record(dbf.sharedLayout());
        record.setDeleted(row.deleted);
        for (size_t i = 0; i < row.values.size(); ++i)
            storeValue(record, memo ? &*memo : nullptr, int(i), row.values[i]);
        dbf.writeRecord(++recno, record.bytes());
        dbf.writeRecordCount(recno, QDate::currentDate());
    }
}

int writeTables(const QString &folderPath)
{
    const QDir folder(folderPath);
    QJsonArray tables;
    for (const TableToWrite &table : {coinsTable(), legacyTable()}) {
        writeTable(folder, table);
        tables.append(describe(table));
    }
    QSaveFile manifest(folder.filePath(QStringLiteral("expected.json")));
    if (!manifest.open(QIODevice::WriteOnly) ||
        manifest.write(QJsonDocument(QJsonObject{{"tables", tables}}).toJson()) < 0 ||
        !manifest.commit()) {
        std::cerr << "cannot write " << manifest.fileName().toStdString() << '\n';
        return 1;
    }
    return 0;
}

QString escaped(QString text)
{
    return text.replace(u'\\', QLatin1String("\\\\"))
        .replace(u'\t', QLatin1String("\\t"))
        .replace(u'\r', QLatin1String("\\r"))
        .replace(u'\n', QLatin1String("\\n"));
}

QString printedValue(const RecordBuffer &record, const MemoFile *memo, int column)
{
    const FieldType type = record.layout().fields[column].type;
    if (!isMemoType(type))
        return record.text(column);
    const quint32 block = record.memoBlock(column);
    if (block == 0)
        return {};
    const QByteArray value = memo->read(block);
    return type == FieldType::Memo ? record.layout().codec.decode(value)
                                   : QString::fromLatin1(value.toHex());
}

int printTable(const QString &path)
{
    const DbfFile dbf(path, false);
    std::optional<MemoFile> memo;
    if (dbf.layout().hasMemoColumns())
        memo.emplace(memoPathFor(path), false);
    const quint32 count = dbf.readRecordCount();
    for (quint32 recno = 1; recno <= count; ++recno) {
        const RecordBuffer record(dbf.sharedLayout(), dbf.readRecord(recno));
        QStringList fields{QString(record.isDeleted() ? u'*' : u' ')};
        for (int i = 0; i < int(dbf.layout().fields.size()); ++i)
            fields.append(escaped(printedValue(record, memo ? &*memo : nullptr, i)));
        std::cout << fields.join(u'\t').toStdString() << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        if (argc == 3 && std::string_view(argv[1]) == "read")
            return printTable(QString::fromLocal8Bit(argv[2]));
        if (argc == 2)
            return writeTables(QString::fromLocal8Bit(argv[1]));
    } catch (const DatabaseError &error) {
        std::cerr << error.what() << '\n';
        return 1;
    } catch (const EngineError &error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    std::cerr << "usage: dbf_compat_writer FOLDER | dbf_compat_writer read FILE.dbf\n";
    return 2;
}
