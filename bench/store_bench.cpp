// store_bench: times the table store against SQLite on the same generated collection,
// step by step, the way the catalogue uses a table: a big import with tags maintained,
// adding a tag, opening on a tag, a marking pass over every record, single edits of an
// indexed column and counting key ranges. Prints each figure, the ratio ours/SQLite and
// the target where there is one. Not a test: nothing here passes or fails on speed.
//   store_bench [--records N] [--dir D]   (D keeps the files; default: a temporary folder)
//
// For fairness both sides work inside one transaction per step and reach the disk at its
// end: SQLite keeps its shipped durability (journal DELETE, synchronous FULL) and our
// store calls flush() (fdatasync) when a step is done.

#include "collection_generator.h"

#include "database/record_schema.h"
#include "store/store_error.h"
#include "store/table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <stdexcept>

namespace {

using numora::store::Bookmark;
using numora::store::BulkUpdate;
using numora::store::FieldList;
using numora::store::FieldType;
using numora::store::Table;
using numora::store::TagDefinition;
using numora::tools::CollectionGenerator;
using numora::tools::ColumnValue;
using numora::tools::GeneratedRecord;

constexpr quint64 Seed = 20240601;
constexpr int FirstPageRows = 20;
constexpr int FirstPageRepeats = 5;
constexpr int SinglePosts = 1000;
const QString DataFile = QStringLiteral("data.dbf");

// Column positions in the record table (see database::recordTableFields()).
const int DescrColumn = numora::database::record_column::fieldColumn(1);
const int CountryColumn = numora::database::record_column::fieldColumn(2);
const int MarkColumn = numora::database::record_column::Mark;

class BenchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <typename Work> double millisecondsFor(Work &&work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[size_t(fraction * double(values.size() - 1) + 0.5)];
}

// The mark the full pass gives a record: "2" for countries A..M, "0" for the rest.
QString markForCountry(const QString &country)
{
    const QChar initial = country.isEmpty() ? QChar() : country.front().toUpper();
    return initial >= QLatin1Char('A') && initial <= QLatin1Char('M') ? QStringLiteral("2")
                                                                      : QStringLiteral("0");
}

// ---------------------------------------------------------------------------
// SQLite, through the smallest wrapper that keeps every handle released.

class Statement {
public:
    Statement(sqlite3 *db, const char *sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
            throw BenchError(std::string("sqlite: ") + sqlite3_errmsg(db) + " in " + sql);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const ColumnValue &value)
    {
        int result = SQLITE_OK;
        if (const auto *integer = std::get_if<qint64>(&value)) {
            result = sqlite3_bind_int64(statement_, index, *integer);
        } else if (const auto *number = std::get_if<double>(&value)) {
            result = sqlite3_bind_double(statement_, index, *number);
        } else if (const auto *text = std::get_if<QString>(&value)) {
            const QByteArray utf8 = text->toUtf8();
            result = sqlite3_bind_text(statement_, index, utf8.constData(), int(utf8.size()),
                                       SQLITE_TRANSIENT);
        } else if (const auto *date = std::get_if<QDate>(&value)) {
            const QByteArray iso = date->toString(Qt::ISODate).toLatin1();
            result = sqlite3_bind_text(statement_, index, iso.constData(), int(iso.size()),
                                       SQLITE_TRANSIENT);
        } else if (const auto *bytes = std::get_if<QByteArray>(&value)) {
            result = sqlite3_bind_blob(statement_, index, bytes->constData(), int(bytes->size()),
                                       SQLITE_TRANSIENT);
        } else {
            result = sqlite3_bind_null(statement_, index);
        }
        check(result);
    }

    // Returns true while there is a row to read.
    bool step()
    {
        const int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW)
            return true;
        check(result == SQLITE_DONE ? SQLITE_OK : result);
        return false;
    }
    void reset() { sqlite3_reset(statement_); }
    sqlite3_stmt *handle() const { return statement_; }

private:
    void check(int result) const
    {
        if (result != SQLITE_OK)
            throw BenchError(std::string("sqlite: ") + sqlite3_errmsg(db_));
    }

    sqlite3 *db_;
    sqlite3_stmt *statement_ = nullptr;
};

class Database {
public:
    explicit Database(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            const std::string message = sqlite3_errmsg(db_);
            sqlite3_close_v2(db_);
            throw BenchError("sqlite: cannot open " + path.toStdString() + ": " + message);
        }
    }
    ~Database() { sqlite3_close_v2(db_); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    void exec(const char *sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw BenchError("sqlite: " + message + " in " + sql);
        }
    }
    qint64 count(const char *sql)
    {
        Statement statement(db_, sql);
        statement.step();
        return sqlite3_column_int64(statement.handle(), 0);
    }
    sqlite3 *handle() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

// The record table as SQLite columns; the record number becomes the row id.
QByteArray createTableSql(const FieldList &fields)
{
    QByteArray sql = "CREATE TABLE t (" + fields[0].name.toLatin1() + " INTEGER PRIMARY KEY";
    for (size_t i = 1; i < fields.size(); ++i) {
        const char *type = "TEXT";
        if (fields[i].type == FieldType::Numeric)
            type = fields[i].decimals == 0 ? "INTEGER" : "REAL";
        else if (fields[i].type == FieldType::Binary)
            type = "BLOB";
        sql += ", " + fields[i].name.toLatin1() + ' ' + type;
    }
    return sql + ')';
}

QByteArray insertSql(const FieldList &fields)
{
    QByteArray placeholders = "?";
    for (size_t i = 1; i < fields.size(); ++i)
        placeholders += ",?";
    return "INSERT INTO t VALUES (" + placeholders + ')';
}

// ---------------------------------------------------------------------------
// The work, once per store.

struct PostEdit {
    quint32 recno;
    QString description;
};

class OurStore {
public:
    explicit OurStore(QString folder) : folder_(std::move(folder)) {}

    double appendAll(const std::vector<GeneratedRecord> &records)
    {
        return millisecondsFor([&] {
            Table::createTable(QDir(folder_).filePath(DataFile),
                               numora::database::recordTableFields());
            {
                Table table;
                open(table, {}, true);
                table.addTag(
                    TagDefinition{QStringLiteral("DESCR"), QStringLiteral("UPPER(DESCR)")});
                table.addTag(
                    TagDefinition{QStringLiteral("COST"), QStringLiteral("STR(COST,20,4)")});
            }
            Table table;
            open(table, {}, false);
            {
                BulkUpdate bulk(table);
                for (const GeneratedRecord &record : records) {
                    table.append();
                    CollectionGenerator::fill(table, record);
                    table.post();
                }
            }
            table.flush();
        });
    }

    double addTag(const TagDefinition &tag)
    {
        return millisecondsFor([&] {
            Table table;
            open(table, {}, true);
            table.addTag(tag);
            table.flush();
        });
    }

    double openAndReadFirstPage(const QString &tag)
    {
        return millisecondsFor([&] {
            Table table;
            open(table, tag, false);
            int rows = 0;
            for (table.first(); !table.eof() && rows < FirstPageRows; table.next(), ++rows)
                readEveryColumn(table);
            if (rows != FirstPageRows)
                throw BenchError("numora: the first page holds too few rows");
        });
    }

    // Returns the time and how many records got mark "2".
    std::pair<double, qint64> markEveryRecord()
    {
        qint64 marked = 0;
        const double ms = millisecondsFor([&] {
            Table table;
            open(table, {}, false);
            {
                BulkUpdate bulk(table);
                for (table.first(); !table.eof(); table.next()) {
                    table.edit();
                    const QString mark = markForCountry(table.text(CountryColumn));
                    marked += mark == QLatin1String("2") ? 1 : 0;
                    table.setText(MarkColumn, mark);
                    table.post();
                }
            }
            table.flush();
        });
        return {ms, marked};
    }

    // Milliseconds per post.
    std::vector<double> postOneByOne(const std::vector<PostEdit> &edits)
    {
        Table table;
        open(table, {}, false);
        std::vector<double> latencies;
        for (const PostEdit &edit : edits) {
            if (!table.gotoBookmark(Bookmark{edit.recno}))
                throw BenchError("numora: a record to edit cannot be found");
            latencies.push_back(millisecondsFor([&] {
                table.edit();
                table.setText(DescrColumn, edit.description);
                table.post();
            }));
        }
        table.flush();
        return latencies;
    }

    // Returns the time and the total count.
    std::pair<double, qint64> countRangesByInitial(const QString &tag)
    {
        Table table;
        open(table, tag, false);
        qint64 total = 0;
        const double ms = millisecondsFor([&] {
            for (char letter = 'A'; letter <= 'Z'; ++letter) {
                auto start = table.blankRecord();
                start.setRawField(MarkColumn, "0");
                start.setRawField(DescrColumn, QByteArray(1, letter));
                auto end = table.blankRecord();
                end.setRawField(MarkColumn, "0");
                end.setRawField(DescrColumn, QByteArray(1, letter) + '\xFF');
                table.setRange(start, end);
                total += table.recordCount();
            }
        });
        return {ms, total};
    }

private:
    void open(Table &table, const QString &tag, bool exclusive) const
    {
        table.open({.folder = folder_, .fileName = DataFile, .tagName = tag, .exclusive = exclusive});
    }

    static void readEveryColumn(const Table &table)
    {
        for (int column = 0; column < int(table.fields().size()); ++column) {
            switch (table.fields()[size_t(column)].type) {
            case FieldType::Numeric:
                table.number(column);
                break;
            case FieldType::Date:
                table.date(column);
                break;
            case FieldType::Binary:
                table.bytes(column);
                break;
            default:
                table.text(column);
            }
        }
    }

    QString folder_;
};

class SqliteStore {
public:
    explicit SqliteStore(QString path) : path_(std::move(path)) {}

    double appendAll(const std::vector<GeneratedRecord> &records)
    {
        const FieldList fields = numora::database::recordTableFields();
        return millisecondsFor([&] {
            Database db(path_);
            db.exec("BEGIN");
            db.exec(createTableSql(fields).constData());
            db.exec("CREATE INDEX t_descr ON t(upper(descr))");
            db.exec("CREATE INDEX t_cost ON t(cost)");
            Statement insert(db.handle(), insertSql(fields).constData());
            for (const GeneratedRecord &record : records) {
                for (int column = 0; column < int(record.size()); ++column)
                    insert.bind(column + 1, record[size_t(column)]);
                insert.step();
                insert.reset();
            }
            db.exec("COMMIT");
        });
    }

    double exec(const char *sql)
    {
        return millisecondsFor([&] {
            Database db(path_);
            db.exec("BEGIN");
            db.exec(sql);
            db.exec("COMMIT");
        });
    }

    double openAndReadFirstPage()
    {
        return millisecondsFor([&] {
            Database db(path_);
            Statement select(db.handle(), "SELECT * FROM t ORDER BY upper(descr) LIMIT 20");
            int rows = 0;
            for (; select.step(); ++rows)
                readEveryColumn(select.handle());
            if (rows != FirstPageRows)
                throw BenchError("sqlite: the first page holds too few rows");
        });
    }

    std::pair<double, qint64> markEveryRecord()
    {
        const double ms =
            exec("UPDATE t SET mark = CASE WHEN upper(substr(country, 1, 1)) BETWEEN 'A' AND 'M' "
                 "THEN '2' ELSE '0' END");
        Database db(path_);
        return {ms, db.count("SELECT count(*) FROM t WHERE mark = '2'")};
    }

    std::vector<double> postOneByOne(const std::vector<PostEdit> &edits)
    {
        Database db(path_);
        Statement update(db.handle(), "UPDATE t SET descr = ? WHERE number = ?");
        std::vector<double> latencies;
        for (const PostEdit &edit : edits) {
            latencies.push_back(millisecondsFor([&] {
                db.exec("BEGIN");
                update.bind(1, edit.description);
                update.bind(2, qint64(edit.recno));
                update.step();
                update.reset();
                db.exec("COMMIT");
            }));
        }
        return latencies;
    }

    std::pair<double, qint64> countRangesByInitial()
    {
        Database db(path_);
        qint64 total = 0;
        const double ms = millisecondsFor([&] {
            db.exec("BEGIN");
            Statement count(db.handle(), "SELECT count(*) FROM t WHERE mark = '0' "
                                         "AND upper(descr) >= ? AND upper(descr) < ?");
            for (char letter = 'A'; letter <= 'Z'; ++letter) {
                count.bind(1, QString(QLatin1Char(letter)));
                count.bind(2, QString(QLatin1Char(char(letter + 1))));
                count.step();
                total += sqlite3_column_int64(count.handle(), 0);
                count.reset();
            }
            db.exec("COMMIT");
        });
        return {ms, total};
    }

private:
    static void readEveryColumn(sqlite3_stmt *row)
    {
        for (int column = 0; column < sqlite3_column_count(row); ++column) {
            switch (sqlite3_column_type(row, column)) {
            case SQLITE_INTEGER:
                sqlite3_column_int64(row, column);
                break;
            case SQLITE_FLOAT:
                sqlite3_column_double(row, column);
                break;
            case SQLITE_BLOB:
                sqlite3_column_blob(row, column);
                break;
            default:
                sqlite3_column_text(row, column);
            }
        }
    }

    QString path_;
};

// ---------------------------------------------------------------------------
// Report

void report(const char *step, double ours, double sqlite, const char *target = nullptr)
{
    std::printf("%s: numora %.1f ms, sqlite %.1f ms, ratio %.2f%s%s%s\n", step, ours, sqlite,
                ours / sqlite, target ? " (target " : "", target ? target : "", target ? ")" : "");
}

// Targets kept for the summary at the end.
class Targets {
public:
    void add(const char *name, bool met) { results_.emplace_back(name, met); }
    void print() const
    {
        for (const auto &[name, met] : results_)
            std::printf("target %s: %s\n", name, met ? "met" : "MISSED");
    }

private:
    std::vector<std::pair<const char *, bool>> results_;
};

void requireSameCount(const char *what, qint64 ours, qint64 sqlite)
{
    if (ours != sqlite)
        throw BenchError(std::string("the stores disagree on ") + what + ": numora " +
                         std::to_string(ours) + ", sqlite " + std::to_string(sqlite));
}

std::vector<PostEdit> randomEdits(const std::vector<GeneratedRecord> &records)
{
    std::mt19937_64 random(Seed);
    std::vector<PostEdit> edits;
    for (int i = 0; i < SinglePosts; ++i) {
        const auto recno = quint32(random() % records.size()) + 1;
        const auto &donor = records[size_t(random() % records.size())];
        edits.push_back({recno, std::get<QString>(donor[size_t(DescrColumn)])});
    }
    return edits;
}

struct Options {
    quint32 records = 100000;
    QString folder; // empty: a temporary folder
};

std::optional<Options> parseOptions(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument = argv[i];
        if (i + 1 >= argc)
            return std::nullopt;
        if (argument == "--records") {
            bool ok = false;
            options.records = QByteArray(argv[++i]).toUInt(&ok);
            if (!ok || options.records < quint32(FirstPageRows))
                return std::nullopt;
        } else if (argument == "--dir") {
            options.folder = QString::fromLocal8Bit(argv[++i]);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// Folders for both stores, emptied of an earlier run's files.
QString prepareFolder(const QString &folder, const char *name)
{
    const QString path = QDir(folder).filePath(QLatin1String(name));
    QDir(path).removeRecursively();
    if (!QDir().mkpath(path))
        throw BenchError("cannot create the folder " + path.toStdString());
    return path;
}

// `step` names the step under way, for the message when one fails.
void run(const Options &options, const QString &folder, std::string &step)
{
    std::printf("store_bench: %u records, files in %s\n", options.records, qPrintable(folder));
    OurStore ours(prepareFolder(folder, "numora"));
    SqliteStore sqlite(
        QDir(prepareFolder(folder, "sqlite")).filePath(QStringLiteral("bench.sqlite")));
    Targets targets;

    step = "generating the records";
    std::vector<GeneratedRecord> records;
    const CollectionGenerator generator(Seed);
    for (quint32 number = 1; number <= options.records; ++number)
        records.push_back(generator.record(number));

    step = "append";
    report("append all records, 2 tags", ours.appendAll(records), sqlite.appendAll(records));

    step = "tag build";
    const double ourTag =
        ours.addTag(TagDefinition{QStringLiteral("BYCOUNTRY"), QStringLiteral("UPPER(COUNTRY)")});
    const double sqliteTag = sqlite.exec("CREATE INDEX t_country ON t(upper(country))");
    report("tag build", ourTag, sqliteTag, "<= 2.00");
    targets.add("tag build within 2x of sqlite", ourTag <= 2 * sqliteTag);

    step = "open on tag";
    std::vector<double> ourOpens;
    std::vector<double> sqliteOpens;
    for (int i = 0; i < FirstPageRepeats; ++i) {
        ourOpens.push_back(ours.openAndReadFirstPage(QStringLiteral("DESCR")));
        sqliteOpens.push_back(sqlite.openAndReadFirstPage());
    }
    const double ourOpen = percentile(ourOpens, 0.5);
    report("open on tag + first 20 rows (median of 5)", ourOpen, percentile(sqliteOpens, 0.5),
           "numora < 20 ms");
    targets.add("open on tag + first page under 20 ms", ourOpen < 20);

    step = "full pass";
    const auto [ourPass, ourMarked] = ours.markEveryRecord();
    const auto [sqlitePass, sqliteMarked] = sqlite.markEveryRecord();
    requireSameCount("the records marked", ourMarked, sqliteMarked);
    report("full pass", ourPass, sqlitePass, "<= 2.00");
    targets.add("full pass within 2x of sqlite", ourPass <= 2 * sqlitePass);

    step = "single posts";
    const std::vector<PostEdit> edits = randomEdits(records);
    const std::vector<double> ourPosts = ours.postOneByOne(edits);
    const std::vector<double> sqlitePosts = sqlite.postOneByOne(edits);
    const double ourMedian = percentile(ourPosts, 0.5);
    const double sqliteMedian = percentile(sqlitePosts, 0.5);
    std::printf(
        "post changing an indexed column, 3 tags, %d posts: numora median %.3f ms p95 %.3f ms, "
        "sqlite median %.3f ms p95 %.3f ms, ratio %.2f (target numora median < 1 ms)\n",
        SinglePosts, ourMedian, percentile(ourPosts, 0.95), sqliteMedian,
        percentile(sqlitePosts, 0.95), ourMedian / sqliteMedian);
    targets.add("median post under 1 ms", ourMedian < 1);

    step = "range count";
    ours.addTag(TagDefinition{QStringLiteral("MARKDESCR"), QStringLiteral("MARK+UPPER(DESCR)")});
    sqlite.exec("CREATE INDEX t_mark_descr ON t(mark, upper(descr))");
    const auto [ourRanges, ourTotal] = ours.countRangesByInitial(QStringLiteral("MARKDESCR"));
    const auto [sqliteRanges, sqliteTotal] = sqlite.countRangesByInitial();
    requireSameCount("the records in the 26 ranges", ourTotal, sqliteTotal);
    const std::string rangeStep = "range on first key character + count, 26 letters, " +
                                  std::to_string(ourTotal) + " records";
    report(rangeStep.c_str(), ourRanges, sqliteRanges);

    targets.print();
}

} // namespace

int main(int argc, char **argv)
{
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: store_bench [--records N (at least %d)] [--dir D]\n",
                     FirstPageRows);
        return 2;
    }
    std::optional<QTemporaryDir> temporary;
    if (options->folder.isEmpty())
        temporary.emplace(QDir::tempPath() + QStringLiteral("/numora-bench-XXXXXX"));
    std::string step = "setup";
    try {
        run(*options, temporary ? temporary->path() : options->folder, step);
    } catch (const std::exception &error) { // DatabaseError, EngineError, BenchError
        std::fprintf(stderr, "store_bench: %s failed: %s\n", step.c_str(), error.what());
        return 1;
    }
    return 0;
}
