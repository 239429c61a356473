// numora-gen and numora-dbf run as a user runs them: separate processes on real files,
// judged by their exit codes and what they print. The damage cases break the files the
// way crashes and foreign writers do and expect check to name what broke.

#include "store/dbf_file.h"
#include "store/record_buffer.h"
#include "database/record_schema.h"
#include "store/table.h"
#include "support/coin_table.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>

using namespace numora::store;
using namespace numora::database;
using numora::test::TempFolder;

namespace {

const int Descr = record_column::fieldColumn(1);
const int Notes = record_column::fieldColumn(25);
const int MarketValue = record_column::fieldColumn(9);

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const char *program, const QStringList &arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(program), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program << " did not end";
    }
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

::testing::AssertionResult printed(const ToolRun &run, const QString &expected)
{
    if (run.out.contains(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected \"" << expected.toStdString() << "\" in:\n"
                                         << run.out.toStdString();
}

// ---------------------------------------------------------------------------
// Changes made straight to the files, bypassing the table handle.

void changeRecord(const QString &dbfPath, quint32 recno,
                  const std::function<void(RecordBuffer &)> &change)
{
    DbfFile dbf(dbfPath, true);
    RecordBuffer record(dbf.sharedLayout(), dbf.readRecord(recno));
    change(record);
    dbf.writeRecord(recno, record.bytes());
}

void appendCopyOfFirstRecord(const QString &dbfPath)
{
    DbfFile dbf(dbfPath, true);
    const quint32 count = dbf.readRecordCount();
    dbf.writeRecord(count + 1, dbf.readRecord(1));
    dbf.writeRecordCount(count + 1, QDate::currentDate());
}

void keepRecords(const QString &dbfPath, quint32 kept)
{
    qint64 size = 0;
    {
        const DbfFile dbf(dbfPath, false);
        size = dbf.layout().headerLength + qint64(kept) * dbf.layout().recordLength;
    }
    ASSERT_TRUE(QFile::resize(dbfPath, size));
}

void cutFile(const QString &path, qint64 size) { ASSERT_TRUE(QFile::resize(path, size)); }

// Fills the root page of the index's first tag with bytes no page holds.
void damageFirstTagRoot(const QString &mdxPath)
{
    constexpr int pageSize = 4096;
    constexpr int firstTagRootAt = 64 + 12; // the tag directory's first slot, its root page
    QFile file(mdxPath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(firstTagRootAt));
    const QByteArray root = file.read(4);
    const quint32 page = quint32(quint8(root[0])) | quint32(quint8(root[1])) << 8
                         | quint32(quint8(root[2])) << 16 | quint32(quint8(root[3])) << 24;
    ASSERT_TRUE(file.seek(qint64(page) * pageSize));
    ASSERT_EQ(file.write(QByteArray(pageSize, '\xEE')), pageSize);
}

void clearKeyVersion(const QString &mdxPath)
{
    constexpr int keyVersionAt = 44;
    QFile file(mdxPath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(keyVersionAt));
    ASSERT_EQ(file.write(QByteArray(4, '\0')), 4);
}

// ---------------------------------------------------------------------------

// A 200-record collection with an ascending and a descending tag.
class GeneratedTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ToolRun generated =
            runTool(NUMORA_GEN, {folder_.path(), "200", "--seed", "4", "--tag",
                                 "DESCR=UPPER(DESCR)", "--tag", "VALUE=STR(MARKETVAL,15,2):desc"});
        ASSERT_EQ(generated.exitCode, 0) << generated.err.toStdString();
    }

    QString file(const char *name) const { return folder_.file(QString::fromLatin1(name)); }
    QString dataFile() const { return file("data.dbf"); }
    ToolRun dbf(const QString &command) const { return runTool(NUMORA_DBF, {command, dataFile()}); }

    TempFolder folder_;
};

TEST_F(GeneratedTable, CheckPassesOnAFreshTable)
{
    const ToolRun check = dbf("check");
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
    EXPECT_TRUE(printed(check, "ok: 200 records (0 deleted), 2 tags checked"));
}

TEST_F(GeneratedTable, InfoShowsTheIndexGoingOutOfDate)
{
    const ToolRun before = dbf("info");
    EXPECT_EQ(before.exitCode, 0);
    EXPECT_TRUE(printed(before, "200 (0 deleted)"));
    EXPECT_TRUE(printed(before, "UTF-8"));
    EXPECT_TRUE(printed(before, "STR(MARKETVAL,15,2)  (descending)"));
    EXPECT_TRUE(printed(before, "consistent"));

    appendCopyOfFirstRecord(dataFile());
    const ToolRun after = dbf("info");
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_TRUE(printed(after, "201 (0 deleted)"));
    EXPECT_TRUE(printed(after, "OUT OF DATE"));
}

TEST_F(GeneratedTable, ReindexRepairsAnIndexLeftBehind)
{
    appendCopyOfFirstRecord(dataFile());
    EXPECT_EQ(dbf("check").exitCode, 1);

    const ToolRun reindex = dbf("reindex");
    EXPECT_EQ(reindex.exitCode, 0) << reindex.err.toStdString();
    EXPECT_TRUE(printed(reindex, "rebuilt 2 tags of data.dbf over 201 records: DESCR, VALUE"));

    const ToolRun check = dbf("check");
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
    EXPECT_TRUE(printed(check, "ok: 201 records"));
}

// The three files of the generated table.
struct TableFiles {
    QString dbf;
    QString dbt;
    QString mdx;
};

struct Damage {
    const char *name;
    void (*apply)(const TableFiles &files);
    std::vector<QString> expectedLines; // each appears inside some line check prints
};

// Names the case in test reports instead of dumping its bytes.
void PrintTo(const Damage &damage, std::ostream *out) { *out << damage.name; }

const std::vector<Damage> damages = {
    {"MemoPointerPastTheEnd",
     [](const TableFiles &files) {
         changeRecord(files.dbf, 17, [](RecordBuffer &r) { r.setMemoBlock(Notes, 999999); });
     },
     {"record 17, column NOTES: "}},
    {"MemoFileCutAfterItsHeader",
     [](const TableFiles &files) { cutFile(files.dbt, 512); },
     {"column NOTES: ", "column PICTURE: "}},
    {"KeyColumnChangedBehindTheIndex",
     [](const TableFiles &files) {
         changeRecord(files.dbf, 42, [](RecordBuffer &r) { r.setText(Descr, "Zz changed"); });
     },
     {"tag DESCR: the entry of record 42 holds an outdated key"}},
    {"RecordDeletedBehindTheIndex",
     [](const TableFiles &files) {
         changeRecord(files.dbf, 5, [](RecordBuffer &r) { r.setDeleted(true); });
     },
     {"tag DESCR: it holds 200 entries for 199 live records",
      "tag VALUE: an entry points to record 5, which is deleted"}},
    {"RecordAppendedBehindTheIndex",
     [](const TableFiles &files) { appendCopyOfFirstRecord(files.dbf); },
     {"index file: it reflects 200 records but the data file holds 201"}},
    {"DataFileShorterThanItsHeaderSays",
     [](const TableFiles &files) { keepRecords(files.dbf, 100); },
     {"data file: "}},
    {"DamagedPageInOneTagOfMany",
     [](const TableFiles &files) {
         damageFirstTagRoot(files.mdx);
         changeRecord(files.dbf, 42, [](RecordBuffer &r) { r.setText(MarketValue, "123456.78"); });
         changeRecord(files.dbf, 17, [](RecordBuffer &r) { r.setMemoBlock(Notes, 999999); });
     },
     {"tag DESCR: ", "tag VALUE: the entry of record 42 holds an outdated key",
      "record 17, column NOTES: "}},
    {"DataFileEndingInsideARecord",
     [](const TableFiles &files) { cutFile(files.dbf, QFile(files.dbf).size() - 400); },
     {"data file: The table ", "it ends inside record 200; the 199 records before it are whole",
      "index file: it reflects 200 records but the data file holds 199"}},
    {"IndexFileCutShort",
     [](const TableFiles &files) { cutFile(files.mdx, QFile(files.mdx).size() / 2); },
     {"index file: "}},
    // As an older program left it: no key version, so keys that did not fold accents.
    {"IndexOfKeysComputedTheOlderWay",
     [](const TableFiles &files) { clearKeyVersion(files.mdx); },
     {"index file: its keys are of version 0, this program computes version 1; run reindex"}},
};

class DamagedTable : public GeneratedTable, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedTable, CheckNamesTheDamage)
{
    GetParam().apply({dataFile(), file("data.dbt"), file("data.mdx")});
    const ToolRun check = dbf("check");
    EXPECT_EQ(check.exitCode, 1) << check.out.toStdString() << check.err.toStdString();
    for (const QString &expected : GetParam().expectedLines)
        EXPECT_TRUE(printed(check, expected));
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedTable, ::testing::ValuesIn(damages),
                         [](const ::testing::TestParamInfo<Damage> &c) {
                             return std::string(c.param.name);
                         });

TEST_F(GeneratedTable, UnusableCommandLinesExitWithTwo)
{
    struct Case {
        QStringList arguments;
        QString message;
    };
    const std::vector<Case> cases = {
        {{}, "a command and a FILE are needed"},
        {{"frobnicate", dataFile()}, "unknown command frobnicate"},
        {{"check", file("missing.dbf")}, "no such table"},
        {{"check", dataFile(), "extra"}, "unexpected argument extra"},
        {{"dump", dataFile(), "--bogus"}, "unexpected argument --bogus"},
        {{"dump", dataFile(), "--tag", "NOSUCH"}, "NOSUCH"},
        {{"info", file("data.dbt")}, "data.dbt"},
    };
    for (const Case &c : cases) {
        const ToolRun run = runTool(NUMORA_DBF, c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    }
}

TEST_F(GeneratedTable, GeneratorRefusesUnusableCommandLines)
{
    const std::vector<QStringList> cases = {
        {file("other")},
        {file("other"), "many"},
        {file("other"), "10", "--seed"},
        {file("other"), "10", "--tag", "NOEXPRESSION"},
        {file("other"), "10", "--colour"},
        {file("other"), "10", "--tag", "X=NOSUCHCOLUMN"},
        {folder_.path(), "10"}, // a table is there already
    };
    for (const QStringList &arguments : cases) {
        const ToolRun run = runTool(NUMORA_GEN, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(file("other/data.dbf")));
}

// A small hand-made table whose dump is known line by line.
class SmallTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        using numora::test::Coin;
        numora::test::createCoinTable(folder_.path());
        Table table;
        numora::test::openTable(table, folder_.path(), {}, true);
        table.addTag({QStringLiteral("DESCR"), QStringLiteral("UPPER(DESCR)")});
        numora::test::appendCoin(
            table, 1,
            Coin{"Morgan Dollar 1921", 45.5, "2021-03-04", "Bought at the show\nLight toning"});
        numora::test::appendCoin(table, 2, Coin{"Semeuse, \"5 Francs\"", 12, "", ""});
        table.edit();
        table.setBytes(numora::test::column::Picture, QByteArray("PNGDATA"));
        table.post();
        numora::test::appendCoin(table, 3, Coin{"Deleted coin", 1, "", ""});
        table.remove();
        numora::test::appendCoin(table, 4,
                                 Coin{"1959 Österreich 1 Schilling", 0.5, "", "Box 3\\B"});
    }

    ToolRun dump(const QStringList &options) const
    {
        return runTool(NUMORA_DBF, QStringList{"dump", folder_.file("coins.dbf")} + options);
    }

    TempFolder folder_;
};

TEST_F(SmallTable, DumpEscapesLinesAndSkipsDeletedRecords)
{
    const ToolRun run = dump({});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "RECNO | NUMBER | MARK | DESCR | COST | WEIGHT | BOUGHT | NOTES | PICTURE\n"
                       "1 | 1 | 0 | Morgan Dollar 1921 | 45.50 |  | 2021-03-04 | "
                       "Bought at the show\\nLight toning | \n"
                       "2 | 2 | 0 | Semeuse, \"5 Francs\" | 12.00 |  |  |  | <7 bytes>\n"
                       "4 | 4 | 0 | 1959 Österreich 1 Schilling | 0.50 |  |  | Box 3\\\\B | \n");
}

TEST_F(SmallTable, CsvDumpQuotesAndFollowsTheTag)
{
    const ToolRun run = dump({"--csv", "--tag", "DESCR"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "RECNO,NUMBER,MARK,DESCR,COST,WEIGHT,BOUGHT,NOTES,PICTURE\n"
              "4,4,0,1959 Österreich 1 Schilling,0.50,,,Box 3\\B,\n"
              "1,1,0,Morgan Dollar 1921,45.50,,2021-03-04,\"Bought at the show\nLight toning\",\n"
              "2,2,0,\"Semeuse, \"\"5 Francs\"\"\",12.00,,,,<7 bytes>\n");
}

TEST_F(SmallTable, DumpReportsADamagedMemoAndCarriesOn)
{
    changeRecord(folder_.file("coins.dbf"), 1,
                 [](RecordBuffer &r) { r.setMemoBlock(numora::test::column::Notes, 999999); });
    const ToolRun run = dump({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("record 1, column NOTES")) << run.err.toStdString();
    EXPECT_TRUE(
        printed(run, "1 | 1 | 0 | Morgan Dollar 1921 | 45.50 |  | 2021-03-04 | <damaged> | \n"));
    EXPECT_TRUE(printed(run, "\n4 | 4 | 0 | 1959"));
}

} // namespace
