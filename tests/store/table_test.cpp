#include "store/dbf_file.h"
#include "store/posix_io.h"
#include "store/store_error.h"
#include "store/table.h"
#include "support/coin_table.h"
#include "support/file_bytes.h"
#include "support/qt_printers.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

using namespace numora::store;
using namespace numora::test;

namespace {

const QStringList kDescriptions = {"Morgan dollar", "aureus", "Zloty", "buffalo nickel", "Mercury dime"};

class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createCoinTable(folder.path());
        Table writer;
        openTable(writer, folder.path());
        for (int i = 0; i < kDescriptions.size(); ++i)
            appendCoin(writer, i + 1, Coin{kDescriptions[i], 10.0 + i, QString("2001-01-0%1").arg(i + 1), QString("note %1").arg(i)});
    }

    void addTag(const QString &name, const QString &expression, bool descending = false)
    {
        Table table;
        openTable(table, folder.path(), {}, true);
        table.addTag(TagDefinition{name, expression, descending});
    }

    TempFolder folder;
};

TEST_F(TableTest, NavigatesEntryOrderWithEndFlags)
{
    Table table;
    openTable(table, folder.path());
    EXPECT_EQ(table.recordCount(), 5u);
    EXPECT_EQ(descriptions(table), kDescriptions);

    table.first();
    EXPECT_TRUE(table.bof());
    EXPECT_FALSE(table.eof());
    table.moveBy(3);
    EXPECT_EQ(table.text(column::Descr), "buffalo nickel");
    table.moveBy(10);
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.text(column::Descr), "Mercury dime") << "moving past the end stays on the last record";
    table.prior();
    EXPECT_FALSE(table.eof());
    EXPECT_EQ(table.text(column::Descr), "buffalo nickel");
    table.moveBy(-10);
    EXPECT_TRUE(table.bof());
    EXPECT_EQ(table.recNo(), 1u);
}

TEST_F(TableTest, EmptyTableHasNoCurrentRecord)
{
    const QString empty = createCoinTable(folder.path(), "empty.dbf");
    Table table;
    openTable(table, folder.path(), {}, false, "empty.dbf");
    EXPECT_TRUE(table.isEmpty());
    EXPECT_TRUE(table.eof());
    EXPECT_TRUE(table.bof());
    EXPECT_EQ(table.recNo(), 0u);
    EXPECT_THROW(table.edit(), DatabaseError);
}

TEST_F(TableTest, ColumnValuesRoundTripThroughTheFiles)
{
    QByteArray picture("\x89PNG\x1a\x00\xff\x1a\x1a", 9);
    picture += QByteArray(2000, '\x01');
    {
        Table table;
        openTable(table, folder.path());
        table.append();
        table.setInteger(column::Number, 42);
        table.setText(column::Descr, QString::fromUtf8("Münze – 1 €"));
        table.setNumber(column::Cost, 1234.5);
        table.setNumber(column::Weight, 0.1);
        table.setDate(column::Bought, QDate(1999, 12, 25));
        table.setText(column::Notes, "line one\r\nline two");
        table.setBytes(column::Picture, picture);
        table.post();
    }
    Table table;
    openTable(table, folder.path());
    table.last();
    EXPECT_EQ(table.integer(column::Number), 42);
    EXPECT_EQ(table.text(column::Descr), QString::fromUtf8("Münze – 1 €"));
    EXPECT_DOUBLE_EQ(table.number(column::Cost), 1234.5);
    EXPECT_EQ(table.text(column::Cost), "1234.50");
    EXPECT_EQ(table.text(column::Weight), "0.1000");
    EXPECT_EQ(table.date(column::Bought), QDate(1999, 12, 25));
    EXPECT_EQ(table.text(column::Notes), "line one\r\nline two");
    EXPECT_EQ(table.bytes(column::Picture), picture);
    EXPECT_FALSE(table.isNull(column::Picture));

    table.edit();
    table.clear(column::Picture);
    table.clear(column::Cost);
    table.post();
    EXPECT_TRUE(table.isNull(column::Picture));
    EXPECT_TRUE(table.isNull(column::Cost));
    EXPECT_EQ(table.text(column::Notes), "line one\r\nline two") << "an untouched memo keeps its value";
}

TEST_F(TableTest, ColumnDescriptorsReportDeclaredDecimals)
{
    Table table;
    openTable(table, folder.path());
    EXPECT_EQ(table.fields()[column::Cost].decimals, 2);
    EXPECT_EQ(table.fields()[column::Weight].decimals, 4);
    EXPECT_EQ(table.fields()[column::Notes].type, FieldType::Memo);
    EXPECT_EQ(table.columnIndex("descr"), column::Descr);
}

TEST_F(TableTest, OpenFailsForMissingOrUnusableFiles)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    struct Case {
        const char *name;
        std::function<void(const QString &dir)> damage;
        QString tag;
    };
    const std::vector<Case> cases = {
        {"missing data file", [](const QString &dir) { QFile::remove(dir + "/coins.dbf"); }, {}},
        {"missing memo file", [](const QString &dir) { QFile::remove(dir + "/coins.dbt"); }, {}},
        {"missing index with a tag", [](const QString &dir) { QFile::remove(dir + "/coins.mdx"); }, "BYDESCR"},
        {"unknown tag", [](const QString &) {}, "NOSUCHTAG"},
        {"foreign index", [](const QString &dir) {
             QFile file(dir + "/coins.mdx");
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray("\x02\x7b\x0c\x1e", 4) + QByteArray(2044, '\0')); // another engine's header
         }, {}},
        {"truncated index", [](const QString &dir) { QFile::resize(dir + "/coins.mdx", 100); }, {}},
        {"truncated data header", [](const QString &dir) { QFile::resize(dir + "/coins.dbf", 20); }, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder scratch; // each case damages a fresh copy
        Table::copyTable(folder.file("coins.dbf"), scratch.file("coins.dbf"));
        c.damage(scratch.path());
        Table table;
        EXPECT_THROW(openTable(table, scratch.path(), c.tag), DatabaseError);
        EXPECT_FALSE(table.isOpen());
    }
}

TEST_F(TableTest, ExclusiveAndSharedOpensExcludeEachOther)
{
    Table shared;
    openTable(shared, folder.path());
    Table exclusive;
    EXPECT_THROW(openTable(exclusive, folder.path(), {}, true), DatabaseError);
    shared.close();
    openTable(exclusive, folder.path(), {}, true);
    Table another;
    EXPECT_THROW(openTable(another, folder.path()), DatabaseError);
}

TEST_F(TableTest, BindingChangesOnlyWhileClosed)
{
    Table table;
    openTable(table, folder.path());
    EXPECT_THROW(table.bind(table.binding().withExclusive(true)), DatabaseError);
    EXPECT_THROW(table.bind(table.binding().withTag("X")), DatabaseError);
    table.close();
    EXPECT_NO_THROW(table.bind(table.binding().withExclusive(true)));
    EXPECT_TRUE(table.exclusive());
}

TEST_F(TableTest, EditHoldsTheRecordLockUntilPostOrCancel)
{
    Table first;
    Table second;
    openTable(first, folder.path());
    openTable(second, folder.path());
    first.edit();
    EXPECT_THROW(second.edit(), DatabaseError);
    second.next();
    EXPECT_NO_THROW(second.edit()) << "only the edited record is locked";
    second.cancel();
    first.setText(column::Descr, "changed");
    first.post();
    second.first();
    EXPECT_EQ(second.text(column::Descr), "changed");
    EXPECT_NO_THROW(second.edit());
    EXPECT_THROW(first.edit(), DatabaseError);
    second.cancel();
    EXPECT_NO_THROW(first.edit());
}

TEST_F(TableTest, CancelDiscardsChangesAndInserts)
{
    Table table;
    openTable(table, folder.path());
    table.moveBy(2);
    table.edit();
    table.setText(column::Descr, "scribble");
    table.setText(column::Notes, "scribble");
    table.cancel();
    EXPECT_EQ(table.text(column::Descr), "Zloty");
    EXPECT_EQ(table.text(column::Notes), "note 2");
    table.append();
    table.setText(column::Descr, "never posted");
    table.cancel();
    EXPECT_EQ(table.text(column::Descr), "Zloty");
    EXPECT_EQ(table.recordCount(), 5u);
}

TEST_F(TableTest, HooksRunAroundChangesAndAThrowAbortsThePost)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    Table table;
    openTable(table, folder.path(), "BYDESCR");
    QStringList calls;
    table.afterInsert = [&](Table &t) {
        calls << "afterInsert";
        t.setInteger(column::Number, 99);
    };
    table.beforePost = [&](Table &t) {
        calls << "beforePost";
        if (t.text(column::Descr) == "refused")
            throw DatabaseError("refused by hook");
    };
    table.afterPost = [&](Table &) { calls << "afterPost"; };
    table.afterDelete = [&](Table &) { calls << "afterDelete"; };

    table.append();
    EXPECT_EQ(table.integer(column::Number), 99);
    table.setText(column::Descr, "refused");
    EXPECT_THROW(table.post(), DatabaseError);
    EXPECT_EQ(table.state(), TableState::Insert);
    table.cancel();
    EXPECT_EQ(table.recordCount(), 5u) << "a failed post is undone by cancel";

    table.append();
    table.setText(column::Descr, "accepted");
    table.post();
    table.remove();
    EXPECT_EQ(calls, QStringList({"afterInsert", "beforePost", "afterInsert", "beforePost", "afterPost", "afterDelete"}));
}

TEST_F(TableTest, DeleteHidesRecordsAndPackRemovesThemWithTheirMemos)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    {
        Table table;
        openTable(table, folder.path());
        table.edit();
        table.setBytes(column::Picture, QByteArray(5000, 'p'));
        table.post();
        table.next();
        table.remove();
        EXPECT_EQ(table.text(column::Descr), "Zloty") << "the following record becomes current";
        EXPECT_EQ(table.recordCount(), 4u);
        EXPECT_EQ(descriptions(table), QStringList({"Morgan dollar", "Zloty", "buffalo nickel", "Mercury dime"}));
        table.first();
        table.remove();
        table.last();
        table.remove();
        EXPECT_EQ(table.text(column::Descr), "buffalo nickel") << "deleting the last record lands on the new last";
    }
    const qint64 memoSizeBefore = QFileInfo(folder.file("coins.dbt")).size();
    Table table;
    openTable(table, folder.path(), {}, true);
    table.pack(true);
    EXPECT_EQ(table.recordCount(), 2u);
    EXPECT_LT(QFileInfo(folder.file("coins.dbt")).size(), memoSizeBefore);
    EXPECT_EQ(descriptions(table), QStringList({"Zloty", "buffalo nickel"}));
    table.first();
    EXPECT_EQ(table.recNo(), 1u);
    EXPECT_EQ(table.text(column::Notes), "note 2");
    table.close();
    openTable(table, folder.path(), "BYDESCR");
    EXPECT_EQ(descriptions(table), QStringList({"buffalo nickel", "Zloty"})) << "pack leaves the tags current";
}

TEST_F(TableTest, WritingBackTheSameMemoValuesLeavesTheMemoFileAsItWas)
{
    Table table;
    openTable(table, folder.path());
    table.edit();
    table.setBytes(column::Picture, QByteArray(5000, 'p'));
    table.post();
    const QByteArray memoBefore = fileBytes(folder.file("coins.dbt"));
    for (int visit = 0; visit < 3; ++visit) {
        table.edit();
        table.setBytes(column::Picture, QByteArray(5000, 'p'));
        table.setBytes(column::Notes, "note 0");
        table.post();
    }
    EXPECT_EQ(fileBytes(folder.file("coins.dbt")), memoBefore);

    table.edit();
    table.setBytes(column::Notes, "note 0, mended");
    table.post();
    EXPECT_EQ(table.bytes(column::Notes), "note 0, mended");
    EXPECT_EQ(table.bytes(column::Picture), QByteArray(5000, 'p'));
}

TEST_F(TableTest, TagAndMaintenanceOperationsNeedExclusiveUse)
{
    Table table;
    openTable(table, folder.path());
    EXPECT_THROW(table.addTag(TagDefinition{"BYDESCR", "UPPER(DESCR)"}), DatabaseError);
    EXPECT_THROW(table.regenerateIndexes(), DatabaseError);
    EXPECT_THROW(table.pack(false), DatabaseError);
    EXPECT_THROW(table.emptyTable(), DatabaseError);
}

TEST_F(TableTest, AddTagRejectsBadKeys)
{
    Table table;
    openTable(table, folder.path(), {}, true);
    EXPECT_THROW(table.addTag(TagDefinition{"BAD", "UPPER(NOSUCH)"}), DatabaseError);
    EXPECT_THROW(table.addTag(TagDefinition{"BAD", "NOSUCHFN(DESCR)"}), DatabaseError);
    EXPECT_THROW(table.addTag(TagDefinition{"NAMETOOLONG1", "DESCR"}), DatabaseError);
    EXPECT_TRUE(table.tags().empty());
}

struct OrderCase {
    const char *name;
    QString expression;
    bool descending;
    QStringList expected;
};

TEST_F(TableTest, TagsOrderRecordsByTheirKeys)
{
    // Costs 10..14 in entry order, dates 2001-01-01..05.
    const std::vector<OrderCase> cases = {
        {"text ascending", "UPPER(DESCR)", false, {"aureus", "buffalo nickel", "Mercury dime", "Morgan dollar", "Zloty"}},
        {"text descending", "UPPER(DESCR)", true, {"Zloty", "Morgan dollar", "Mercury dime", "buffalo nickel", "aureus"}},
        {"numeric descending", "STR(999999999999999999-COST,20,4)", false, {"Mercury dime", "buffalo nickel", "Zloty", "aureus", "Morgan dollar"}},
        {"date descending", "STR({12/31/3099}-BOUGHT,10,0)", false, {"Mercury dime", "buffalo nickel", "Zloty", "aureus", "Morgan dollar"}},
        {"entry order by number", "STR(NUMBER,20,4)", false, kDescriptions},
    };
    for (const OrderCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString("T%1").arg(&c - cases.data());
        addTag(name, c.expression, c.descending);
        Table table;
        openTable(table, folder.path(), name);
        EXPECT_EQ(descriptions(table), c.expected);
    }
}

TEST_F(TableTest, DescendingNumericKeyKeepsTheFirstDecimal)
{
    {
        Table table;
        openTable(table, folder.path());
        appendCoin(table, 6, Coin{"twelve point two", 12.2});
        appendCoin(table, 7, Coin{"twelve point three", 12.3});
    }
    addTag("COSTD", "STR(999999999999999999-COST,20,4)");
    addTag("COSTA", "STR(COST,20,4)");
    Table descending;
    openTable(descending, folder.path(), "COSTD");
    EXPECT_EQ(descriptions(descending).mid(2, 2), QStringList({"twelve point three", "twelve point two"}));
    Table ascending;
    openTable(ascending, folder.path(), "COSTA");
    EXPECT_EQ(descriptions(ascending).mid(3, 2), QStringList({"twelve point two", "twelve point three"}));
}

TEST_F(TableTest, TwoFieldKeysOrderByBothParts)
{
    {
        Table table;
        openTable(table, folder.path());
        appendCoin(table, 6, Coin{"aureus", 5.0, "2003-03-03"});
        appendCoin(table, 7, Coin{"aureus", 50.0, "2002-02-02"});
    }
    const std::vector<OrderCase> cases = {
        {"text then numeric", "DESCR+STR(COST,19,4)", false, {"aureus 5", "aureus 11", "aureus 50"}},
        {"text descending then numeric inverted", "DESCR+STR(999999999999999999-COST,20,4)", true, {"aureus 5", "aureus 11", "aureus 50"}},
        {"text then date descending", "UPPER(SUBSTR(DESCR,1,40))+STR({12/31/3099}-BOUGHT,10,0)", false, {"aureus 5", "aureus 50", "aureus 11"}},
        {"numeric then text", "STR(COST,20,4)+UPPER(DESCR)", false, {"aureus 5", "aureus 11", "aureus 50"}},
    };
    for (const OrderCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString("K%1").arg(&c - cases.data());
        addTag(name, c.expression, c.descending);
        Table table;
        openTable(table, folder.path(), name);
        QStringList aurei;
        for (table.first(); !table.eof(); table.next())
            if (table.text(column::Descr) == "aureus")
                aurei << QString("aureus %1").arg(table.number(column::Cost));
        EXPECT_EQ(aurei, c.expected);
    }
}

TEST_F(TableTest, IndexFollowsAppendsEditsAndDeletes)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    {
        Table table;
        openTable(table, folder.path());
        appendCoin(table, 6, Coin{"Ducat"});
        table.first();
        table.edit();
        table.setText(column::Descr, "Yen");
        table.post();
        table.next();
        table.remove(); // aureus
    }
    Table table;
    openTable(table, folder.path(), "BYDESCR");
    EXPECT_EQ(descriptions(table), QStringList({"buffalo nickel", "Ducat", "Mercury dime", "Yen", "Zloty"}));
    table.first();
    table.edit();
    table.setText(column::Descr, "Aaa");
    table.post();
    EXPECT_EQ(table.text(column::Descr), "Aaa") << "the posted record stays current at its new place";
    table.next();
    EXPECT_EQ(table.text(column::Descr), "Ducat");
}

TEST_F(TableTest, RegenerateRebuildsAStaleIndex)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    const QString mdx = folder.file("coins.mdx");
    const QString saved = folder.file("saved.mdx");
    ASSERT_TRUE(QFile::copy(mdx, saved));
    {
        Table table;
        openTable(table, folder.path());
        appendCoin(table, 6, Coin{"Ducat"});
    }
    QFile::remove(mdx);
    ASSERT_TRUE(QFile::copy(saved, mdx)); // an index that misses the last record
    Table table;
    EXPECT_THROW(openTable(table, folder.path(), "BYDESCR"), DatabaseError);
    openTable(table, folder.path(), {}, true);
    EXPECT_NO_THROW(table.regenerateIndexes());
    table.close();
    openTable(table, folder.path(), "BYDESCR");
    EXPECT_EQ(descriptions(table).mid(1, 2), QStringList({"buffalo nickel", "Ducat"}));
}

TEST_F(TableTest, DeleteTagRemovesOnlyThatTag)
{
    addTag("A", "UPPER(DESCR)");
    addTag("B", "STR(COST,20,4)");
    Table table;
    openTable(table, folder.path(), {}, true);
    table.deleteTag("A");
    ASSERT_EQ(table.tags().size(), 1u);
    EXPECT_EQ(table.tags()[0].name, "B");
    EXPECT_THROW(table.deleteTag("A"), DatabaseError);
}

TEST_F(TableTest, RangeOnAMarkedKeySelectsMarkedRecordsByLetter)
{
    {
        Table table;
        openTable(table, folder.path());
        for (table.first(); !table.eof(); table.next()) {
            table.edit();
            const bool marked = table.text(column::Descr) != "Mercury dime";
            table.setText(column::Mark, marked ? "2" : "0");
            table.post();
        }
        appendCoin(table, 6, Coin{"1 cent"});
        table.last();
        table.edit();
        table.setText(column::Mark, "2");
        table.post();
    }
    addTag("IDXF0", "MARK+UPPER(DESCR)");
    Table table;
    openTable(table, folder.path(), "IDXF0");

    auto letterRange = [&](QByteArray from, QByteArray to) {
        RecordBuffer start = table.blankRecord();
        RecordBuffer end = table.blankRecord();
        start.setRawField(column::Mark, "2");
        end.setRawField(column::Mark, "2");
        start.setRawField(column::Descr, from);
        end.setRawField(column::Descr, to);
        table.setRange(start, end);
    };
    letterRange("\x01", "A\xFF");
    EXPECT_EQ(descriptions(table), QStringList({"1 cent", "aureus"})) << "digits fall under A";
    EXPECT_EQ(table.recordCount(), 2u);
    letterRange("M", "M\xFF");
    EXPECT_EQ(descriptions(table), QStringList({"Morgan dollar"})) << "the unmarked Mercury dime stays outside";
    letterRange("Q", "Q\xFF");
    EXPECT_TRUE(table.isEmpty());
    EXPECT_TRUE(table.eof());
    table.cancelRange();
    EXPECT_EQ(table.recordCount(), 6u);
}

TEST_F(TableTest, FindKeyPositionsOnTheFirstMatch)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    addTag("DESCD", "UPPER(DESCR)", true);
    for (const QString tag : {"BYDESCR", "DESCD"}) {
        SCOPED_TRACE(tag.toStdString());
        Table table;
        openTable(table, folder.path(), tag);
        EXPECT_TRUE(table.findKey("M"));
        EXPECT_EQ(table.text(column::Descr), tag == "BYDESCR" ? "Mercury dime" : "Morgan dollar");
        EXPECT_TRUE(table.findKey("BUFFALO NICKEL"));
        EXPECT_EQ(table.text(column::Descr), "buffalo nickel");
        EXPECT_FALSE(table.findKey("QUARTER"));
        EXPECT_EQ(table.text(column::Descr), "buffalo nickel") << "a miss leaves the position alone";
    }
}

TEST_F(TableTest, BookmarksReturnAndFailCleanlyOnceTheRecordIsGone)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    Table table;
    openTable(table, folder.path(), "BYDESCR");
    table.moveBy(2);
    const Bookmark mark = table.bookmark();
    const QString expected = table.text(column::Descr);
    table.last();
    ASSERT_TRUE(table.gotoBookmark(mark));
    EXPECT_EQ(table.text(column::Descr), expected);
    table.remove();
    EXPECT_FALSE(table.gotoBookmark(mark));
    EXPECT_FALSE(table.gotoBookmark(Bookmark{999}));
}

TEST_F(TableTest, SecondHandleLandsOnTheSameRecord)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    Table browse;
    Table form;
    openTable(browse, folder.path(), "BYDESCR");
    openTable(form, folder.path());
    browse.moveBy(3);
    ASSERT_TRUE(form.gotoSameRecord(browse));
    EXPECT_EQ(form.text(column::Descr), browse.text(column::Descr));
    EXPECT_EQ(form.recNo(), browse.recNo());
}

TEST_F(TableTest, HandlesSeeEachOthersChangesAtTheNextMove)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    Table reader;
    Table writer;
    openTable(reader, folder.path(), "BYDESCR");
    openTable(writer, folder.path());
    reader.first(); // aureus
    appendCoin(writer, 6, Coin{"Angel"});
    EXPECT_EQ(reader.recordCount(), 6u);
    writer.moveBy(1); // aureus in entry order
    writer.remove();
    reader.next();
    EXPECT_EQ(reader.text(column::Descr), "buffalo nickel") << "the deleted current record's successor comes next";
    writer.first();
    writer.edit();
    writer.setText(column::Descr, "Morgan silver dollar");
    writer.post();
    reader.next();
    EXPECT_EQ(reader.text(column::Descr), "Mercury dime");
    reader.next();
    EXPECT_EQ(reader.text(column::Descr), "Morgan silver dollar");
}

TEST_F(TableTest, BulkUpdateWritesEveryRecordAndRespectsOtherEditors)
{
    addTag("IDXF0", "MARK+UPPER(DESCR)");
    Table other;
    openTable(other, folder.path());
    other.moveBy(2); // Zloty
    other.edit();

    Table table;
    openTable(table, folder.path());
    int refused = 0;
    {
        BulkUpdate bulk(table);
        for (table.first(); !table.eof(); table.next()) {
            try {
                table.edit();
            } catch (const DatabaseError &) {
                ++refused;
                continue;
            }
            table.setText(column::Mark, "2");
            table.post();
        }
    }
    other.cancel();
    EXPECT_EQ(refused, 1);
    Table marked;
    openTable(marked, folder.path(), "IDXF0");
    RecordBuffer start = marked.blankRecord();
    start.setRawField(column::Mark, "2");
    RecordBuffer end = marked.blankRecord();
    end.setRawField(column::Mark, "2");
    end.setRawField(column::Descr, QByteArray(40, '\xFF'));
    marked.setRange(start, end);
    EXPECT_EQ(marked.recordCount(), 4u);
}

TEST_F(TableTest, WholeTableOperationsActOnAllThreeFiles)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    const QString dir = folder.path();
    Table::copyTable(folder.file("coins.dbf"), folder.file("copy.dbf"));
    for (const char *name : {"copy.dbf", "copy.dbt", "copy.mdx"})
        EXPECT_TRUE(QFileInfo::exists(folder.file(name))) << name;
    Table copy;
    openTable(copy, dir, "BYDESCR", false, "copy.dbf");
    EXPECT_EQ(copy.recordCount(), 5u);
    EXPECT_THROW(Table::deleteTable(dir, "copy.dbf"), DatabaseError) << "an open table is not deleted";
    copy.close();

    Table::copyTable(folder.file("coins.dbf"), folder.file("copy.dbf")); // replaces
    Table::renameTable(dir, "copy.dbf", "moved.dbf");
    EXPECT_FALSE(QFileInfo::exists(folder.file("copy.dbt")));
    EXPECT_THROW(Table::renameTable(dir, "moved.dbf", "coins.dbf"), DatabaseError) << "no silent overwrite";

    Table moved;
    moved.bind({.folder = dir, .fileName = "moved.dbf"});
    moved.emptyTable();
    openTable(moved, dir, "BYDESCR", false, "moved.dbf");
    EXPECT_TRUE(moved.isEmpty());
    moved.close();

    Table::deleteTable(dir, "moved.dbf");
    for (const char *name : {"moved.dbf", "moved.dbt", "moved.mdx"})
        EXPECT_FALSE(QFileInfo::exists(folder.file(name))) << name;
}

TEST_F(TableTest, FilesCopiedFromWindowsOpenWhateverTheirCase)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    for (const char *ext : {"dbf", "dbt", "mdx"})
        ASSERT_TRUE(QFile::rename(folder.file(QString("coins.%1").arg(ext)), folder.file(QString("COINS.%1").arg(ext).toUpper())));
    Table table;
    openTable(table, folder.path(), "BYDESCR");
    EXPECT_EQ(table.recordCount(), 5u);
    EXPECT_EQ(table.text(column::Notes), "note 1");
}

TEST_F(TableTest, DamagedMemoRaisesAnEngineError)
{
    {
        Table table;
        openTable(table, folder.path());
        table.edit();
        table.setBytes(column::Picture, QByteArray(3000, 'x'));
        table.post();
    }
    QFile::resize(folder.file("coins.dbt"), QFileInfo(folder.file("coins.dbt")).size() - 2000);
    Table table;
    openTable(table, folder.path());
    EXPECT_THROW(table.bytes(column::Picture), EngineError);
    EXPECT_EQ(table.text(column::Descr), "Morgan dollar");
}

// ---------------------------------------------------------------------------
// A data file cut short

struct CutCase {
    const char *name;
    // The length the data file is cut to, from its layout and its whole length.
    qint64 (*length)(const DbfLayout &layout, qint64 wholeLength);
    int wholeRecords;
    const char *damage;
};

void PrintTo(const CutCase &cut, std::ostream *out) { *out << cut.name; }

const CutCase cutCases[] = {
    {"AtTheFirstRecord", [](const DbfLayout &layout, qint64) -> qint64 { return layout.headerLength; }, 0,
     "it ends before record 1; no record before it is whole"},
    {"MidFile", [](const DbfLayout &layout, qint64) -> qint64 { return layout.headerLength + 2 * layout.recordLength + 30; }, 2,
     "it ends inside record 3; the 2 records before it are whole"},
    {"InsideTheLastRecord", [](const DbfLayout &, qint64 wholeLength) -> qint64 { return wholeLength - 1 - 40; }, 4,
     "it ends inside record 5; the 4 records before it are whole"},
};

class CutDataFileTest : public TableTest, public ::testing::WithParamInterface<CutCase> {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        whole = fileBytes(dbf);
        layout = DbfFile(dbf, false).sharedLayout();
    }

    // Cuts the data file as GetParam() says; returns what is left.
    QByteArray cut()
    {
        const QByteArray left = whole.first(GetParam().length(*layout, whole.size()));
        writeFileBytes(dbf, left);
        return left;
    }

    QByteArray originalRecord(quint32 recno) const
    {
        return whole.mid(layout->headerLength + qsizetype(recno - 1) * layout->recordLength, layout->recordLength);
    }

    const QString dbf = folder.file("coins.dbf");
    QByteArray whole;
    std::shared_ptr<const DbfLayout> layout;
};

TEST_P(CutDataFileTest, WholeRecordsOpenAndTheCutIsReported)
{
    const QByteArray left = cut();
    Table table;
    openTable(table, folder.path());
    EXPECT_EQ(table.damage(), QString("The table %1 is damaged: %2.").arg(table.dataFilePath(), GetParam().damage));
    EXPECT_EQ(table.recordCount(), quint32(GetParam().wholeRecords));
    quint32 recno = 0;
    for (table.first(); !table.eof(); table.next()) {
        ASSERT_EQ(table.recNo(), ++recno);
        EXPECT_EQ(table.currentRecord().bytes(), originalRecord(recno)) << "record " << recno;
    }
    EXPECT_EQ(recno, quint32(GetParam().wholeRecords));
    table.last();
    EXPECT_EQ(table.recNo(), quint32(GetParam().wholeRecords));
    table.close();
    EXPECT_EQ(fileBytes(dbf), left) << "opening and reading change nothing";
}

// The new record takes the first slot the file does not hold whole, and the header's
// count becomes right; nothing whole is written over.
TEST_P(CutDataFileTest, AnAppendTakesTheFirstIncompleteSlot)
{
    cut();
    const quint32 kept = quint32(GetParam().wholeRecords);
    {
        Table table;
        openTable(table, folder.path());
        appendCoin(table, 9, Coin{"Thaler"});
        EXPECT_EQ(table.recNo(), kept + 1);
    }
    const QByteArray after = fileBytes(dbf);
    EXPECT_EQ(after.size(), layout->headerLength + qint64(kept + 1) * layout->recordLength + 1);
    EXPECT_EQ(after.back(), '\x1A');
    for (quint32 recno = 1; recno <= kept; ++recno)
        EXPECT_EQ(after.mid(layout->headerLength + qsizetype(recno - 1) * layout->recordLength, layout->recordLength), originalRecord(recno));
    Table reopened;
    openTable(reopened, folder.path());
    EXPECT_TRUE(reopened.damage().isEmpty()) << reopened.damage().toStdString();
    EXPECT_EQ(descriptions(reopened), kDescriptions.first(kept) + QStringList{"Thaler"});
}

INSTANTIATE_TEST_SUITE_P(Offsets, CutDataFileTest, ::testing::ValuesIn(cutCases),
                         [](const ::testing::TestParamInfo<CutCase> &c) { return std::string(c.param.name); });

// Without its whole header a table cannot be read at all: it is damaged, and stays as
// it is for whoever repairs it.
TEST_F(TableTest, ACutHeaderIsDamage)
{
    const QString dbf = folder.file("coins.dbf");
    const QByteArray whole = fileBytes(dbf);
    for (const qsizetype length : {20, 32 + 3 * 32 + 5}) { // inside the header, inside the column descriptors
        SCOPED_TRACE(length);
        writeFileBytes(dbf, whole.first(length));
        Table table;
        try {
            openTable(table, folder.path());
            ADD_FAILURE() << "a table whose header is cut opened";
        } catch (const DatabaseError &error) {
            EXPECT_EQ(error.kind(), DatabaseErrorKind::Damaged) << error.what();
        }
        EXPECT_EQ(fileBytes(dbf), whole.first(length));
    }
}

// An append in progress writes its record before it raises the count, and one killed
// half-way leaves bytes past the count: neither is damage.
TEST_F(TableTest, BytesPastTheCountAreNoDamage)
{
    const QString dbf = folder.file("coins.dbf");
    const QByteArray whole = fileBytes(dbf);
    const int recordLength = DbfFile(dbf, false).layout().recordLength;
    const QByteArray records = whole.first(whole.size() - 1); // without the end marker
    for (const int pastTheCount : {recordLength / 2, recordLength}) {
        writeFileBytes(dbf, records + records.right(recordLength).first(pastTheCount));
        Table table;
        openTable(table, folder.path());
        EXPECT_TRUE(table.damage().isEmpty()) << table.damage().toStdString();
        EXPECT_EQ(descriptions(table), kDescriptions);
    }
}

// Entries for records the cut took away must not be followed: the index counts as stale
// (kind Index, which the database layer answers by rebuilding it).
TEST_F(TableTest, AnIndexOverACutDataFileIsRebuiltNotFollowed)
{
    addTag("BYDESCR", "UPPER(DESCR)");
    const QString dbf = folder.file("coins.dbf");
    const QString mdx = folder.file("coins.mdx");
    const QByteArray index = fileBytes(mdx);
    writeFileBytes(dbf, fileBytes(dbf).chopped(41)); // inside record 5, Mercury dime
    const auto expectIndexError = [](const std::function<void()> &step) {
        try {
            step();
            ADD_FAILURE() << "the index was followed";
        } catch (const DatabaseError &error) {
            EXPECT_EQ(error.kind(), DatabaseErrorKind::Index) << error.what();
        }
    };

    Table table;
    expectIndexError([&] { openTable(table, folder.path(), "BYDESCR"); });

    // The same entries under a header that claims to reflect the four whole records.
    QByteArray claimsFour = index;
    qToLittleEndian<quint32>(4, claimsFour.data() + 20);
    writeFileBytes(mdx, claimsFour);
    openTable(table, folder.path(), "BYDESCR");
    expectIndexError([&] { descriptions(table); });
    table.close();

    openTable(table, folder.path(), {}, true);
    table.regenerateIndexes();
    table.close();
    openTable(table, folder.path(), "BYDESCR");
    EXPECT_FALSE(table.damage().isEmpty());
    EXPECT_EQ(descriptions(table), QStringList({"aureus", "buffalo nickel", "Morgan dollar", "Zloty"}));
}

// ---------------------------------------------------------------------------
// A post that fails part-way

int failWith(const QString &path, const char *suffix)
{
    return path.endsWith(QLatin1String(suffix)) ? EIO : 0;
}

int failDataFile(const QString &path) { return failWith(path, ".dbf"); }
int failIndexFile(const QString &path) { return failWith(path, ".mdx"); }

// The first index write of a change is its dirty mark, made before the record is
// written; the ones after it carry the change itself.
int indexWritesSeen = 0;
int failIndexPagesAfterTheDirtyMark(const QString &path)
{
    if (!path.endsWith(QLatin1String(".mdx")))
        return 0;
    return ++indexWritesSeen > 1 ? EIO : 0;
}

struct PostFault {
    const char *name;
    bool editing; // edit record 1 rather than append a record
    posix::WriteFault writeFault;
    posix::WriteFault syncFault;
    bool stored;            // the record reached the data file
    DatabaseErrorKind kind; // of the failure the caller sees
    bool indexStale;        // the next open on a tag finds the index stale
};

void PrintTo(const PostFault &fault, std::ostream *out) { *out << fault.name; }

const PostFault postFaults[] = {
    {"NewRecordDataWrite", false, failDataFile, nullptr, false, DatabaseErrorKind::General, false},
    {"NewRecordIndexWrite", false, failIndexPagesAfterTheDirtyMark, nullptr, true, DatabaseErrorKind::Index, true},
    {"NewRecordDataSync", false, nullptr, failDataFile, true, DatabaseErrorKind::General, false},
    {"NewRecordIndexSync", false, nullptr, failIndexFile, true, DatabaseErrorKind::General, false},
    {"EditDataWrite", true, failDataFile, nullptr, false, DatabaseErrorKind::General, true},
    {"EditIndexWrite", true, failIndexPagesAfterTheDirtyMark, nullptr, true, DatabaseErrorKind::Index, true},
};

class PostFaultTest : public TableTest, public ::testing::WithParamInterface<PostFault> {
protected:
    void TearDown() override
    {
        posix::setWriteFault(nullptr);
        posix::setSyncFault(nullptr);
    }
};

// A caller posts and flushes, and on failure may try again. Once the record is stored
// the table is in browse state on it, so no retry can store it twice; before that it
// stays in edit or insert state for the retry.
TEST_P(PostFaultTest, AStoredRecordLeavesEditingAndIsStoredOnce)
{
    const PostFault &fault = GetParam();
    addTag("BYDESCR", "UPPER(DESCR)");
    Table table;
    openTable(table, folder.path(), "BYDESCR");
    if (fault.editing) {
        table.findKey("MORGAN");
        table.edit();
    } else {
        table.append();
        table.setInteger(column::Number, 6);
    }
    table.setText(column::Descr, "Ducat");
    const quint32 recno = fault.editing ? 1 : 6;

    indexWritesSeen = 0;
    posix::setWriteFault(fault.writeFault);
    posix::setSyncFault(fault.syncFault);
    std::optional<DatabaseError> failure;
    try {
        table.post();
        table.flush();
    } catch (const DatabaseError &error) {
        failure = error;
    }
    posix::setWriteFault(nullptr);
    posix::setSyncFault(nullptr);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind(), fault.kind) << failure->what();
    if (fault.kind == DatabaseErrorKind::Index) {
        EXPECT_TRUE(failure->message().startsWith("The record is stored")) << failure->what();
    }
    if (fault.stored) {
        EXPECT_EQ(table.state(), TableState::Browse);
        EXPECT_EQ(table.recNo(), recno);
        EXPECT_EQ(table.text(column::Descr), "Ducat");
    } else {
        EXPECT_EQ(table.state(), fault.editing ? TableState::Edit : TableState::Insert);
    }
    table.close();

    Table entryOrder;
    openTable(entryOrder, folder.path());
    EXPECT_EQ(descriptions(entryOrder).count("Ducat"), fault.stored ? 1 : 0);
    EXPECT_EQ(entryOrder.recordCount(), fault.editing || !fault.stored ? 5u : 6u);
    entryOrder.close();

    Table tagged;
    if (fault.indexStale) {
        try {
            openTable(tagged, folder.path(), "BYDESCR");
            ADD_FAILURE() << "the stale index opened";
        } catch (const DatabaseError &error) {
            EXPECT_EQ(error.kind(), DatabaseErrorKind::Index) << error.what();
        }
        openTable(tagged, folder.path(), {}, true);
        tagged.regenerateIndexes();
        tagged.close();
    }
    openTable(tagged, folder.path(), "BYDESCR");
    EXPECT_EQ(descriptions(tagged).count("Ducat"), fault.stored ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, PostFaultTest, ::testing::ValuesIn(postFaults),
                         [](const ::testing::TestParamInfo<PostFault> &c) { return std::string(c.param.name); });

} // namespace
