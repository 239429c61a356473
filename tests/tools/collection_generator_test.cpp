// The generated collection is what the benchmark feeds to both stores and what the
// tools are tried on: it must be reproducible, land in a table unchanged and look like
// a real collection in the ways that matter to keys and memo values.

#include "collection_generator.h"

#include "database/database_manager.h"
#include "database/record_schema.h"
#include "database/table_templates.h"
#include "store/store_error.h"
#include "store/table.h"
#include "store/text_codec.h"
#include "support/file_bytes.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace numora::store;
using namespace numora::database;
using numora::test::TempFolder;
using numora::tools::CollectionGenerator;
using numora::tools::GeneratedRecord;

namespace {

const int Descr = record_column::fieldColumn(1);
const int Country = record_column::fieldColumn(2);
const int Condition = record_column::fieldColumn(5);
const int Bought = record_column::fieldColumn(20);
const int Notes = record_column::fieldColumn(25);
const int Picture = record_column::fieldColumn(26);

QString textOf(const GeneratedRecord &record, int column)
{
    const auto *text = std::get_if<QString>(&record[size_t(column)]);
    return text ? *text : QString();
}

QString descr(const GeneratedRecord &record) { return textOf(record, Descr); }

QString notes(const GeneratedRecord &record) { return textOf(record, Notes); }

bool isBlank(const GeneratedRecord &record, int column)
{
    return std::holds_alternative<std::monostate>(record[size_t(column)]);
}

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

void openData(Table &table, const QString &folder, const QString &tag = {})
{
    table.open({.folder = folder, .fileName = CollectionGenerator::dataFileName(), .tagName = tag});
}

// What the table shows for a generated value, in the form Table::text() gives it.
QString expectedText(const GeneratedRecord &record, int column, const FieldDescriptor &field)
{
    const auto &value = record[size_t(column)];
    if (const auto *integer = std::get_if<qint64>(&value))
        return QString::number(*integer);
    if (const auto *number = std::get_if<double>(&value))
        return QString::number(*number, 'f', field.decimals);
    if (const auto *date = std::get_if<QDate>(&value))
        return date->toString(Qt::ISODate);
    if (field.type == FieldType::Binary)
        return {};
    return textOf(record, column);
}

TEST(CollectionGenerator, SameSeedGivesSameRecordsAnotherSeedOthers)
{
    const CollectionGenerator first(7);
    const CollectionGenerator again(7);
    const CollectionGenerator other(8);
    int differing = 0;
    for (quint32 number = 1; number <= 50; ++number) {
        EXPECT_EQ(first.record(number), again.record(number)) << "record " << number;
        differing += first.record(number) == other.record(number) ? 0 : 1;
    }
    EXPECT_EQ(differing, 50);
}

TEST(CollectionGenerator, TableHoldsExactlyTheGeneratedValues)
{
    TempFolder folder;
    const CollectionGenerator generator(3);
    const quint32 count = 300;
    generator.write(folder.path(), count);

    Table table;
    openData(table, folder.path());
    ASSERT_EQ(table.recordCount(), count);
    quint32 number = 0;
    for (table.first(); !table.eof(); table.next()) {
        const GeneratedRecord expected = generator.record(++number);
        ASSERT_EQ(table.recNo(), number);
        for (int column = 0; column < int(table.fields().size()); ++column) {
            const FieldDescriptor &field = table.fields()[size_t(column)];
            EXPECT_EQ(table.text(column), expectedText(expected, column, field))
                << "record " << number << ", " << field.name.toStdString();
            if (field.type == FieldType::Binary) {
                const auto *bytes = std::get_if<QByteArray>(&expected[size_t(column)]);
                EXPECT_EQ(table.bytes(column), bytes ? *bytes : QByteArray())
                    << "record " << number;
            }
        }
    }
    EXPECT_EQ(number, count);
}

// Shares of records with a trait, over a sample large enough for the shares to settle.
TEST(CollectionGenerator, RecordsVaryLikeARealCollection)
{
    const CollectionGenerator generator(11);
    std::vector<GeneratedRecord> records;
    for (quint32 number = 1; number <= 2000; ++number)
        records.push_back(generator.record(number));

    using Record = GeneratedRecord;
    struct Trait {
        const char *what;
        bool (*has)(const Record &);
        double atLeast;
        double atMost;
    };
    const std::vector<Trait> traits = {
        {"description starts with a digit", [](const Record &r) { return descr(r)[0].isDigit(); },
         0.3, 0.95},
        {"description starts lower case", [](const Record &r) { return descr(r)[0].isLower(); },
         0.02, 0.3},
        {"description is not ASCII", [](const Record &r) { return !isAscii(descr(r)); }, 0.01, 0.5},
        {"notes of several lines", [](const Record &r) { return notes(r).contains('\n'); }, 0.2,
         0.8},
        {"no notes", [](const Record &r) { return notes(r).isEmpty(); }, 0.1, 0.6},
        {"no purchase date", [](const Record &r) { return isBlank(r, Bought); }, 0.05, 0.5},
        {"a picture", [](const Record &r) { return !isBlank(r, Picture); }, 0.02, 0.1},
    };
    for (const Trait &trait : traits) {
        const auto count = std::count_if(records.begin(), records.end(), trait.has);
        const double share = double(count) / double(records.size());
        EXPECT_GE(share, trait.atLeast) << trait.what;
        EXPECT_LE(share, trait.atMost) << trait.what;
    }

    QSet<QString> countries;
    QSet<QString> conditions;
    for (const GeneratedRecord &record : records) {
        countries.insert(textOf(record, Country));
        conditions.insert(textOf(record, Condition));
    }
    EXPECT_GE(countries.size(), 35);
    EXPECT_EQ(conditions, (QSet<QString>{"PR", "UNC", "AU", "XF", "VF", "F", "VG", "G"}));
}

TEST(CollectionGenerator, PicturesAreSmallRealImages)
{
    const CollectionGenerator generator(5);
    int pictures = 0;
    for (quint32 number = 1; number <= 400; ++number) {
        const GeneratedRecord record = generator.record(number);
        const auto *png = std::get_if<QByteArray>(&record[size_t(Picture)]);
        if (!png)
            continue;
        ++pictures;
        EXPECT_GE(png->size(), 1000);
        EXPECT_LE(png->size(), 3072);
        EXPECT_FALSE(QImage::fromData(*png).isNull()) << "record " << number;
    }
    EXPECT_GT(pictures, 0);
}

TEST(CollectionGenerator, TagsGivenAreKeptWhileWriting)
{
    TempFolder folder;
    CollectionGenerator(9).write(
        folder.path(), 200,
        {{QStringLiteral("DESCR"), QStringLiteral("UPPER(DESCR)")},
         {QStringLiteral("VALUE"), QStringLiteral("STR(MARKETVAL,15,2)"), true}});
    const int marketValue = record_column::fieldColumn(9);

    Table byDescription;
    openData(byDescription, folder.path(), QStringLiteral("DESCR"));
    EXPECT_EQ(byDescription.recordCount(), 200u);
    QString previousText;
    for (byDescription.first(); !byDescription.eof(); byDescription.next()) {
        const QString text = TextCodec::foldForOrder(byDescription.text(Descr));
        EXPECT_LE(previousText.toUtf8(), text.toUtf8());
        previousText = text;
    }

    Table byValue;
    openData(byValue, folder.path(), QStringLiteral("VALUE"));
    EXPECT_EQ(byValue.recordCount(), 200u);
    double previousValue = std::numeric_limits<double>::max();
    for (byValue.first(); !byValue.eof(); byValue.next()) {
        EXPECT_GE(previousValue, byValue.number(marketValue));
        previousValue = byValue.number(marketValue);
    }
}

// Neither a record table nor a master table in the folder is replaced, whatever the
// letter case of its name, and nothing is written beside it.
TEST(CollectionGenerator, RefusesToOverwriteATable)
{
    for (const QString existing : {"data.dbf", "MASTER.DBF"}) {
        SCOPED_TRACE(existing.toStdString());
        TempFolder folder;
        const QString path = folder.file(existing);
        numora::test::writeFileBytes(path, "not a generated table");
        EXPECT_THROW(CollectionGenerator(1).write(folder.path(), 20), DatabaseError);
        EXPECT_EQ(numora::test::fileBytes(path), "not a generated table");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({existing}));
    }
}

// A generated collection comes with its master row, so the program numbers the next
// record after the generated ones instead of from 1.
TEST(CollectionGenerator, TheProgramNumbersOnAfterTheGeneratedRecords)
{
    TempFolder folder;
    const QString databaseFolder = folder.file("DATA");
    CollectionGenerator(2).write(databaseFolder, 25);
    numora::test::ScriptedPrompt prompt;
    numora::NoProgress progress;
    DatabaseManager manager(prompt, progress);
    manager.programFolder = folder.file("program");
    manager.location.folder = databaseFolder;
    QDir().mkpath(manager.programFolder);
    ensureTableTemplates(manager.programFolder);
    ASSERT_TRUE(manager.openDatabase());
    EXPECT_TRUE(prompt.shown.empty());
    Table &table = manager.recordTable();
    ASSERT_TRUE(manager.changes().append(table));
    EXPECT_EQ(table.integer(record_column::Number), 26);
    table.cancel();
}

} // namespace
