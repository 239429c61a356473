#include "database/database_manager.h"
#include "database/record_schema.h"
#include "mainwin/record_summary.h"
#include "store/store_error.h"
#include "database/table_templates.h"
#include "store/index_file.h"
#include "store/key_expression.h"
#include "store/posix_io.h"
#include "support/file_bytes.h"
#include "support/peer_process.h"
#include "support/scripted_prompt.h"
#include "support/qt_printers.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <unistd.h>

using namespace numora;
using namespace numora::database;
using namespace numora::store;

namespace {

constexpr int Descr = 2, Country = 3, Cost = 9, SmallPicture = 11, Notes = 26, Picture = 27;
const QString kUnableToCreateIndex = "Unable to create Index!\rDatabase may be used by someone else - this function requires Exclusive Database Use.";

class DatabaseManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        programFolder = folder.file("program");
        databaseFolder = folder.file("program/DATA");
        QDir().mkpath(databaseFolder);
        ensureTableTemplates(programFolder);
        manager.programFolder = programFolder;
        manager.location.folder = databaseFolder;
    }

    // A record table with the given descriptions (and marks), made like a new database.
    void createRecords(const QStringList &descriptions, const QStringList &marks = {})
    {
        manager.createTable(QDir(databaseFolder).filePath("data.dbf"), true);
        Table table;
        table.open({.folder = databaseFolder, .fileName = "data.dbf"});
        for (int i = 0; i < descriptions.size(); ++i) {
            table.append();
            table.setInteger(0, i + 1);
            table.setText(1, marks.value(i, "0"));
            table.setText(Descr, descriptions[i]);
            table.setNumber(Cost, 10 + i);
            table.setText(Notes, QString("notes %1").arg(i + 1));
            table.post();
        }
    }

    QStringList listed()
    {
        QStringList result;
        Table &table = manager.recordTable();
        for (table.first(); !table.eof(); table.next())
            result << table.text(Descr);
        return result;
    }

    // Another handle on a table of the database folder, as another user would hold it.
    std::unique_ptr<Table> holdTable(const QString &fileName, bool exclusive)
    {
        auto holder = std::make_unique<Table>();
        holder->open({.folder = databaseFolder, .fileName = fileName, .exclusive = exclusive});
        return holder;
    }

    int masterCounter()
    {
        Table &master = manager.master();
        EXPECT_TRUE(master.findKey("data.dbf"));
        return int(master.integer(3));
    }

    test::TempFolder folder;
    QString programFolder;
    QString databaseFolder;
    test::ScriptedPrompt prompt;
    NoProgress progress;
    DatabaseManager manager{prompt, progress};
};

TEST_F(DatabaseManagerTest, FolderWithoutMasterGetsOneAndTheTableItsRow)
{
    createRecords({"aureus", "denarius"});
    ASSERT_TRUE(manager.openDatabase());
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(QFileInfo::exists(QDir(databaseFolder).filePath("master.dbf")));
    EXPECT_EQ(masterCounter(), 2) << "the counter starts at the highest number the records hold";
    EXPECT_EQ(manager.master().text(1), "data.dbf");
    EXPECT_FALSE(manager.copyBuffer().isEmpty()) << "the copy buffer is never empty";
    EXPECT_FALSE(manager.indexErrorSilence());
}

TEST_F(DatabaseManagerTest, NewRecordsAreNumberedFromTheMasterRow)
{
    createRecords({"aureus"});
    ASSERT_TRUE(manager.openDatabase());
    Table &table = manager.recordTable();
    for (int expected : {2, 3}) {
        table.append();
        EXPECT_EQ(table.integer(0), expected);
        table.setText(Descr, "new");
        table.post();
    }
    EXPECT_EQ(masterCounter(), 3);
}

TEST_F(DatabaseManagerTest, UnusableIndexIsRescuedFromTheTemplate)
{
    createRecords({"b", "a"});
    QFile index(QDir(databaseFolder).filePath("data.mdx"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(QByteArray(4096, '\x7f')); // another engine's index file
    index.close();
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_EQ(prompt.texts(), QStringList({"The index of data.dbf could not be used and was rebuilt."}));
    EXPECT_EQ(prompt.shown[0].kind, MessageKind::Warning);
    EXPECT_FALSE(prompt.shown[0].detail.isEmpty());
    EXPECT_EQ(listed(), QStringList({"b", "a"})) << "entry order through the rebuilt tag";
}

TEST_F(DatabaseManagerTest, MasterHeldExclusivelyElsewhereFailsTheOpenAfterAsking)
{
    createRecords({"a"});
    ASSERT_TRUE(manager.openDatabase());
    manager.closeAll();
    auto holder = holdTable("master.dbf", true);
    prompt.answer(Button::No);
    EXPECT_FALSE(manager.openDatabase());
    EXPECT_EQ(prompt.texts(), QStringList({"Cannot open the file: master.dbf\rRetry?", "Could not Open the Master.dbf file!"}));
    EXPECT_EQ(prompt.shown.back().detail, "The table master.dbf is opened exclusively by another user.");
    holder.reset();
    EXPECT_TRUE(QFileInfo::exists(QDir(databaseFolder).filePath("master.dbf"))) << "a master in use is never replaced";
}

TEST_F(DatabaseManagerTest, CopyBufferThatCannotBeOpenedOrMadeFailsTheOpen)
{
    createRecords({"a"});
    ASSERT_TRUE(manager.openDatabase());
    manager.closeAll();
    auto holder = holdTable("copy.dbf", true);
    prompt.answer(Button::No);
    EXPECT_FALSE(manager.openDatabase());
    EXPECT_EQ(prompt.texts(), QStringList({"Cannot open the file: copy.dbf\rRetry?", "Could not Open the Copy/Paste file!"}));
    EXPECT_EQ(prompt.shown.back().kind, MessageKind::Error);
    EXPECT_EQ(prompt.shown.back().detail, "The table copy.dbf is opened exclusively by another user.");
}

// A missing record table is made anew without renaming anything, but never over a
// memo or index file someone left under its name.
TEST_F(DatabaseManagerTest, MissingRecordTableIsMadeAnewButNeverOverLeftoverFiles)
{
    createRecords({"a"});
    ASSERT_TRUE(manager.openDatabase()); // master and copy buffer exist from here on
    manager.closeAll();
    QFile::remove(QDir(databaseFolder).filePath("data.dbf"));
    QFile::remove(QDir(databaseFolder).filePath("data.mdx"));
    const QString memo = QDir(databaseFolder).filePath("data.dbt");
    const QByteArray memoBytes = test::fileBytes(memo);
    EXPECT_FALSE(manager.openDatabase());
    ASSERT_EQ(prompt.texts(), QStringList({"Could not Open the database! A new database will be created.", "Could not Open the new database!"}));
    EXPECT_EQ(prompt.shown[1].kind, MessageKind::Error);
    EXPECT_EQ(prompt.shown[1].detail, memo + " exists already and is not replaced.");
    EXPECT_EQ(test::fileBytes(memo), memoBytes);

    QFile::remove(memo);
    prompt.shown.clear();
    ASSERT_TRUE(manager.openDatabase());
    EXPECT_EQ(prompt.texts(), QStringList()); // nothing of the table is left: as on a first start
    EXPECT_TRUE(manager.recordTable().isEmpty());
    EXPECT_EQ(QDir(databaseFolder).entryList({"bad*"}), QStringList());
}

// A first start finds an empty folder: the database is made from the templates without a
// message, since nothing failed. A table that is there and cannot be opened, whatever the
// letter case of its name, is still told of.
TEST_F(DatabaseManagerTest, AnEmptyFolderOpensSilentlyButADamagedTableIsToldOf)
{
    ASSERT_TRUE(manager.openDatabase());
    EXPECT_EQ(prompt.texts(), QStringList());
    EXPECT_TRUE(manager.recordTable().isEmpty());
    for (const QString file : {"data.dbf", "data.dbt", "master.dbf", "copy.dbf"})
        EXPECT_TRUE(QFileInfo::exists(QDir(databaseFolder).filePath(file))) << file.toStdString();
    manager.closeAll();

    const QString upperCase = QDir(databaseFolder).filePath("DATA.DBF");
    ASSERT_TRUE(QFile::rename(QDir(databaseFolder).filePath("data.dbf"), upperCase));
    QByteArray bytes = test::fileBytes(upperCase);
    bytes[32 + 11] = 'Q'; // an unknown column type
    test::writeFileBytes(upperCase, bytes);
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_TRUE(prompt.texts().front().startsWith("Could not Open the database! A new database will be created.")) << prompt.texts().front().toStdString();
    EXPECT_EQ(prompt.shown.front().kind, MessageKind::Warning);
}

TEST_F(DatabaseManagerTest, DescendingTextPrimaryWithAscendingNumericSecondary)
{
    createRecords({"b", "a", "b", "c"});
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, true, Cost, false}));
    const TagDefinition tag = manager.recordTable().tags().back();
    EXPECT_EQ(tag.name, "IDX1");
    EXPECT_EQ(tag.expression, "UPPER(DESCR)+STR(999999999999999999-COST,20,4)");
    EXPECT_TRUE(tag.descending);
    QStringList order;
    Table &table = manager.recordTable();
    for (table.first(); !table.eof(); table.next())
        order << QString("%1 %2").arg(table.text(Descr)).arg(table.number(Cost));
    EXPECT_EQ(order, QStringList({"c 13", "b 10", "b 12", "a 11"}));

    ASSERT_TRUE(manager.changeSort(SortDescriptor{0, false, 0, false}));
    EXPECT_EQ(manager.recordTable().tagName(), "IDX0") << "an existing tag with the same key is reused";
    EXPECT_EQ(manager.recordTable().tags().size(), 2u);
}

TEST_F(DatabaseManagerTest, FilterStateSelectsMarkedTagsAndRanges)
{
    createRecords({"1 cent", "aureus", "Apple", "Zloty", "zecchino"}, {"2", "2", "0", "2", "0"});
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    ASSERT_TRUE(manager.setFilterState(FilterState::Normal));
    EXPECT_TRUE(manager.recordTable().tagName().startsWith("IDXF"));
    EXPECT_TRUE(manager.viewRange(QChar('A')));
    EXPECT_EQ(listed(), QStringList({"1 cent", "aureus"})) << "digits fall under A, the unmarked Apple does not";
    EXPECT_FALSE(manager.viewRange(std::nullopt));
    EXPECT_EQ(manager.recordCount(), 3u);
    ASSERT_TRUE(manager.setFilterState(FilterState::Reversed));
    EXPECT_FALSE(manager.viewRange(std::nullopt));
    EXPECT_EQ(listed(), QStringList({"Apple", "zecchino"}));
    ASSERT_TRUE(manager.setFilterState(FilterState::AllRecords));
    manager.viewRange(std::nullopt);
    EXPECT_EQ(manager.recordCount(), 5u);
}

TEST_F(DatabaseManagerTest, LetterCountsPutDigitsAndLowerCaseInitialsUnderTheirLetters)
{
    createRecords({"1 cent", "aureus", "Apple", "Zloty", "zecchino", "(unknown)", "Österreich", "Ωmega"});
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, true, 0, false}));
    manager.countLetters();
    EXPECT_EQ(manager.letterCount('A'), 4u);
    EXPECT_EQ(manager.letterCount('O'), 1u);
    EXPECT_EQ(manager.letterCount('Z'), 3u) << "initials above Z count as Z";
    EXPECT_EQ(manager.letterCount('B'), 0u);
    manager.viewRange(QChar('Z'));
    manager.recordTable().first();
    EXPECT_EQ(manager.recordLetter(), QChar('Z'));
}

// Accents and case fold away for ordering; the stored text keeps them.
const QStringList kAccentedNames = {"morgan", "México", "Mexico", "rizal", "Réunion", "Zloty", "Équateur", "Øre", "Łódź"};
const QStringList kAccentedNamesSorted = {"Équateur", "Łódź", "México", "Mexico", "morgan", "Øre", "Réunion", "rizal", "Zloty"};

TEST_F(DatabaseManagerTest, AccentedInitialsSortAndCountUnderTheirLetters)
{
    createRecords(kAccentedNames);
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    EXPECT_EQ(listed(), kAccentedNamesSorted);

    manager.countLetters();
    const std::map<char, quint32> expected = {{'E', 1}, {'L', 1}, {'M', 3}, {'O', 1}, {'R', 2}, {'Z', 1}};
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const auto found = expected.find(letter);
        EXPECT_EQ(manager.letterCount(QChar(letter)), found == expected.end() ? 0u : found->second) << letter;
    }

    manager.viewRange(QChar('M'));
    EXPECT_EQ(listed(), QStringList({"México", "Mexico", "morgan"}));
    manager.viewRange(QChar('E'));
    manager.recordTable().first();
    EXPECT_EQ(manager.recordLetter(), QChar('E')) << "Équateur is listed and counted under E";
}

TEST_F(DatabaseManagerTest, IndexAnOlderProgramWroteIsRebuiltWithoutAWord)
{
    createRecords(kAccentedNames);
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    ASSERT_TRUE(manager.saveSort());
    const QString tagName = manager.recordTable().tagName();
    manager.closeAll();

    // Keys as an older program computed them: upper case only, so accented initials
    // sort after Z; and no key version in the header.
    const QString indexPath = QDir(databaseFolder).filePath("data.mdx");
    {
        IndexFile index(indexPath, true);
        std::vector<IndexEntry> entries;
        for (int i = 0; i < kAccentedNames.size(); ++i)
            entries.push_back({kAccentedNames[i].toUpper().toUtf8().leftJustified(60, ' '), quint32(i + 1)});
        index.beginUpdate();
        index.rebuildTag(index.tagIndex(tagName), std::move(entries));
        index.commitUpdate(quint32(kAccentedNames.size()));
    }
    constexpr int keyVersionAt = 44;
    for (const QString &path : {indexPath, QDir(databaseFolder).filePath("master.mdx")})
        test::writeFileBytes(path, test::fileBytes(path).replace(keyVersionAt, 4, QByteArray(4, '\0')));

    DatabaseManager reopened{prompt, progress};
    reopened.programFolder = programFolder;
    reopened.location.folder = databaseFolder;
    ASSERT_TRUE(reopened.openDatabase());
    EXPECT_TRUE(prompt.shown.empty()) << prompt.texts().join('\n').toStdString();
    EXPECT_EQ(reopened.recordTable().tagName(), tagName) << "the index keeps its tags";
    QStringList order;
    Table &table = reopened.recordTable();
    for (table.first(); !table.eof(); table.next())
        order << table.text(Descr);
    EXPECT_EQ(order, kAccentedNamesSorted);
    reopened.closeAll();
    for (const QString &path : {indexPath, QDir(databaseFolder).filePath("master.mdx")})
        EXPECT_EQ(IndexFile(path, false).keyVersion(), KeyExpression::KeysVersion) << path.toStdString();
}

TEST_F(DatabaseManagerTest, LetterTabsOffMeansNoLetterRange)
{
    createRecords({"a", "b"});
    manager.hooks.letterTabsOn = [] { return false; };
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    EXPECT_FALSE(manager.viewRange(QChar('A')));
    EXPECT_EQ(manager.recordCount(), 2u);
}

TEST_F(DatabaseManagerTest, SortFailsWhileAnotherProcessHasTheTableOpen)
{
    createRecords({"b", "a"});
    ASSERT_TRUE(manager.openDatabase());
    const QString tagBefore = manager.recordTable().tagName();
    QProcess peer;
    peer.start(QStringLiteral(TABLE_PEER), {"hold-open", databaseFolder, "data.dbf"});
    ASSERT_TRUE(peer.waitForReadyRead(10000));
    ASSERT_EQ(peer.readLine().trimmed(), "ready");

    EXPECT_FALSE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    EXPECT_EQ(manager.recordTable().tagName(), tagBefore);
    EXPECT_EQ(manager.index().descriptor, SortDescriptor{});
    EXPECT_EQ(prompt.texts(), QStringList({kUnableToCreateIndex}));
    EXPECT_EQ(listed(), QStringList({"b", "a"}));

    // Before start-up has finished, the same failure is silent.
    DatabaseManager starting(prompt, progress);
    starting.programFolder = programFolder;
    starting.location.folder = databaseFolder;
    ASSERT_TRUE(SortState::save(QDir(databaseFolder).filePath("data.idx"), SortDescriptor{Country, false, 0, false}));
    prompt.shown.clear();
    EXPECT_TRUE(starting.openDatabase());
    EXPECT_TRUE(prompt.shown.empty());
    peer.closeWriteChannel();
    peer.waitForFinished(5000);
}

TEST_F(DatabaseManagerTest, SortDescriptorRoundTripsThroughTheIdxFile)
{
    createRecords({"a"});
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Cost, true, Descr, false}));
    ASSERT_TRUE(manager.saveSort());
    QFile file(QDir(databaseFolder).filePath("data.idx"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\x09\x01\x02\x00", 4));
    EXPECT_EQ(SortState::load(QDir(databaseFolder).filePath("missing.idx")), SortDescriptor{});
}

TEST_F(DatabaseManagerTest, CopyAndPasteThroughTheCopyBuffer)
{
    createRecords({"aureus", "Zloty"});
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    manager.countLetters();
    manager.viewRange(std::nullopt);

    EXPECT_FALSE(manager.pasteRecord(0));
    EXPECT_EQ(listed(), QStringList({"aureus", "Zloty"})) << "nothing is pasted before a copy";
    EXPECT_FALSE(manager.copyRecord(5));
    EXPECT_EQ(prompt.texts(), QStringList({"Empty Record - Not Copied!"}));
    EXPECT_FALSE(manager.copyBufferFilled());

    ASSERT_TRUE(manager.copyRecord(1)); // Zloty
    EXPECT_TRUE(manager.copyBufferFilled());
    ASSERT_TRUE(manager.pasteRecord(0)); // over aureus
    EXPECT_EQ(listed(), QStringList({"Zloty", "Zloty"}));
    EXPECT_EQ(manager.letterCount('A'), 0u);
    EXPECT_EQ(manager.letterCount('Z'), 2u);
    ASSERT_TRUE(manager.pasteRecord(2)); // past the last record: appended
    EXPECT_EQ(manager.recordCount(), 3u);
    Table &table = manager.recordTable();
    table.last();
    EXPECT_EQ(table.integer(0), 3) << "the pasted record got a number no record has";
    EXPECT_EQ(table.text(Notes), "notes 2");
}

// A paste stores a record like the form's save does: the filter's record mark is set
// on the way in, whether the paste overwrites a record or makes a new one.
TEST_F(DatabaseManagerTest, APasteRunsTheHooksOfEveryStoredRecord)
{
    createRecords({"aureus", "Zloty"});
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    manager.viewRange(std::nullopt);
    int marked = 0;
    manager.changes().markRecord = [&marked](Table &row) {
        row.setText(record_column::Mark, QStringLiteral("2"));
        ++marked;
    };

    ASSERT_TRUE(manager.copyRecord(1));
    EXPECT_EQ(marked, 0) << "the copy buffer is no record of the catalogue";
    ASSERT_TRUE(manager.pasteRecord(0));
    ASSERT_TRUE(manager.pasteRecord(2));
    EXPECT_EQ(marked, 2);
    Table &table = manager.recordTable();
    for (table.first(); !table.eof(); table.next()) {
        const bool pasted = table.recNo() != 2; // Zloty itself was only copied
        EXPECT_EQ(table.text(record_column::Mark), pasted ? "2" : "0") << "record " << table.recNo();
    }
}

TEST_F(DatabaseManagerTest, RepairRenumbersAndSetsTheCounter)
{
    createRecords({"a", "b", "c"});
    ASSERT_TRUE(manager.openDatabase());
    const CopyResult result = manager.repair();
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.nextNumber, 4);
    EXPECT_EQ(result.damaged, 0);
    EXPECT_EQ(masterCounter(), 4);
    EXPECT_TRUE(QFileInfo::exists(QDir(databaseFolder).filePath("temp$$$.dbf")));
    Table &table = manager.recordTable();
    table.append();
    EXPECT_EQ(table.integer(0), 5);
    table.cancel();
    EXPECT_EQ(listed(), QStringList({"a", "b", "c"}));
}

TEST_F(DatabaseManagerTest, RepairCountsRecordsWithDamagedMemos)
{
    createRecords({"a", "b"});
    {
        Table table;
        table.open({.folder = databaseFolder, .fileName = "data.dbf"});
        table.last();
        table.edit();
        table.setBytes(Picture, QByteArray(3000, 'x'));
        table.post();
    }
    const QString memo = QDir(databaseFolder).filePath("data.dbt");
    QFile::resize(memo, QFileInfo(memo).size() - 2000);
    ASSERT_TRUE(manager.openDatabase());
    const CopyResult result = manager.repair();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.damaged, 1);
    EXPECT_EQ(result.nextNumber, 3) << "the damaged record is kept without its picture";
}

TEST_F(DatabaseManagerTest, EmptyTableRepairsBacksUpAndRestores)
{
    createRecords({});
    ASSERT_TRUE(manager.openDatabase());
    for (const auto &run : std::vector<std::function<CopyResult()>>{[&] { return manager.repair(); }, [&] { return manager.backup(); },
                                                                      [&] { return manager.restore(true); }}) {
        const CopyResult result = run();
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(result.nextNumber, 1);
        EXPECT_EQ(result.damaged, 0);
        EXPECT_EQ(manager.recordCount(), 0u);
    }
}

TEST_F(DatabaseManagerTest, BackupAndRestoreBringBackRecordsAndLists)
{
    createRecords({"a", "b"});
    Table::copyTable(QDir(programFolder).filePath("list.dbf"), QDir(databaseFolder).filePath("list1.dbf"));
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.backup().ok);
    EXPECT_TRUE(QFileInfo::exists(QDir(databaseFolder).filePath("BACKUP/list1.dbf")));
    manager.recordTable().first();
    manager.recordTable().remove();
    QFile::remove(QDir(databaseFolder).filePath("list1.dbf"));
    QFile::remove(QDir(databaseFolder).filePath("list1.mdx"));

    const CopyResult result = manager.restore(true);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.nextNumber, 3);
    EXPECT_EQ(listed(), QStringList({"a", "b"}));
    EXPECT_TRUE(QFileInfo::exists(QDir(databaseFolder).filePath("list1.dbf")));
    manager.recordTable().first();
    EXPECT_EQ(manager.recordTable().text(Notes), "notes 1");
}

TEST_F(DatabaseManagerTest, RestoreWithoutBackupFails)
{
    createRecords({"a"});
    ASSERT_TRUE(manager.openDatabase());
    const CopyResult result = manager.restore(false);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.damaged, 0);
    EXPECT_EQ(listed(), QStringList({"a"}));
}

TEST_F(DatabaseManagerTest, MaintenanceNeedingExclusiveUseReportsFailure)
{
    createRecords({"a"});
    ASSERT_TRUE(manager.openDatabase());
    auto other = holdTable("data.dbf", false);
    EXPECT_FALSE(manager.reindex());
    EXPECT_FALSE(manager.pack());
    const QString failed = "Function Failed!\rDatabase may be used by someone else - this function requires Exclusive Database Use.";
    EXPECT_EQ(prompt.texts(), QStringList({failed, failed}));
    EXPECT_TRUE(manager.recordTable().isOpen()) << "the table is left open shared";
    other.reset();
    EXPECT_TRUE(manager.reindex());
    EXPECT_TRUE(manager.pack());
}

TEST_F(DatabaseManagerTest, NoRecordTableNameIsFreeOnceAllAreListed)
{
    createRecords({"a"});
    ASSERT_TRUE(manager.openDatabase());
    EXPECT_EQ(manager.freeRecordTableName(), "data_1.dbf");
    Table &master = manager.master();
    for (int n = 1; n <= 999; ++n) {
        if (n == 7)
            continue;
        master.append();
        master.setText(0, QString("data_%1.dbf").arg(n));
        master.post();
    }
    EXPECT_EQ(manager.freeRecordTableName(), "data_7.dbf");
    master.append();
    master.setText(0, "data_7.dbf");
    master.post();
    EXPECT_EQ(manager.freeRecordTableName(), QString());
}

TEST_F(DatabaseManagerTest, SummaryLinesShowEveryColumnShortly)
{
    createRecords({QString(80, 'x')});
    ASSERT_TRUE(manager.openDatabase());
    Table &table = manager.recordTable();
    table.first();
    table.edit();
    table.setText(Country, "Rome");
    table.setText(Notes, "first line\r\nsecond line");
    table.setBytes(Picture, QByteArray(10, 'p'));
    table.post();
    const QStringList lines = mainwin::recordSummaryLines(table, prompt, {});
    ASSERT_EQ(lines.size(), 26);
    EXPECT_EQ(lines[0], QString(50, 'x'));
    EXPECT_EQ(lines[Picture - 2], "<PICTURE> - Not Empty");
    EXPECT_EQ(lines[SmallPicture - 2], "<PICTURE> - Empty");
    EXPECT_EQ(lines[Notes - 2], "first line");
    EXPECT_TRUE(prompt.shown.empty());

    const QString memo = QDir(databaseFolder).filePath("data.dbt");
    QFile::resize(memo, QFileInfo(memo).size() - 1024); // the notes' blocks are gone
    table.first();
    mainwin::recordSummaryLines(table, prompt, {});
    ASSERT_EQ(prompt.texts(), QStringList({"Corrupt Memo Field!!! You should delete record: \rRome"}));
    EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);
}

// Two users append at the same moment: the master row's lock gives every new record a
// number of its own, and together the numbers run on from the counter without a gap.
TEST_F(DatabaseManagerTest, TwoProcessesAppendingNeverShareANumber)
{
    createRecords({"aureus"});
    ASSERT_TRUE(manager.openDatabase());
    const int counter = masterCounter();
    manager.closeAll();
    constexpr int perPeer = 60;
    QList<int> reported;
    {
        const QStringList arguments = {"number", programFolder, databaseFolder, QString::number(perPeer)};
        test::PeerProcess first(QStringLiteral(TABLE_PEER), arguments);
        test::PeerProcess second(QStringLiteral(TABLE_PEER), arguments);
        ASSERT_EQ(first.readLine(), "ready");
        ASSERT_EQ(second.readLine(), "ready");
        first.send("go");
        second.send("go");
        for (test::PeerProcess *peer : {&first, &second}) {
            for (int i = 0; i < perPeer; ++i) {
                const QString line = peer->readLine();
                ASSERT_TRUE(line.startsWith("number ")) << line.toStdString();
                reported << line.section(' ', 1).toInt();
            }
        }
    }
    QList<int> expected;
    for (int number = counter + 1; number <= counter + 2 * perPeer; ++number)
        expected << number;
    std::sort(reported.begin(), reported.end());
    EXPECT_EQ(reported, expected);

    ASSERT_TRUE(manager.openDatabase());
    QList<int> stored;
    Table &table = manager.recordTable();
    for (table.first(); !table.eof(); table.next())
        if (table.text(Descr).startsWith("peer "))
            stored << int(table.integer(0));
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(masterCounter(), counter + 2 * perPeer);
}

// A database folder of its own, for tests that need a fresh one per round.
class Catalogue {
public:
    Catalogue()
    {
        QDir().mkpath(databaseFolder);
        ensureTableTemplates(programFolder);
    }

    // A manager on the folder, not opened yet.
    std::unique_ptr<DatabaseManager> manager()
    {
        auto manager = std::make_unique<DatabaseManager>(prompt, progress);
        manager->programFolder = programFolder;
        manager->location.folder = databaseFolder;
        return manager;
    }

    // A manager on the folder that has opened the database the normal way.
    std::unique_ptr<DatabaseManager> open()
    {
        auto opened = manager();
        EXPECT_TRUE(opened->openDatabase());
        return opened;
    }

    QString file(const QString &name) const { return QDir(databaseFolder).filePath(name); }

    test::TempFolder folder;
    QString programFolder = folder.file("program");
    QString databaseFolder = folder.file("program/DATA");
    test::ScriptedPrompt prompt;
    NoProgress progress;
};

QString notesOf(const QString &descr) { return QString("notes of %1; ").arg(descr).repeated(60); }

// Records "coin 1", "coin 2", ... with these numbers and notes of several memo blocks,
// and the master counter at the highest number.
void writeCoins(Catalogue &catalogue, const QList<int> &numbers)
{
    std::unique_ptr<DatabaseManager> manager = catalogue.open();
    Table &table = manager->recordTable();
    for (int i = 0; i < numbers.size(); ++i) {
        const QString descr = QString("coin %1").arg(i + 1);
        table.append();
        table.setInteger(0, numbers[i]);
        table.setText(Descr, descr);
        table.setText(Notes, notesOf(descr));
        table.post();
    }
    if (numbers.isEmpty())
        return;
    Table &master = manager->master();
    ASSERT_TRUE(master.findKey("data.dbf"));
    master.edit();
    master.setInteger(3, *std::max_element(numbers.begin(), numbers.end()));
    master.post();
}

void deleteCoins(Catalogue &catalogue, const QStringList &descriptions)
{
    std::unique_ptr<DatabaseManager> manager = catalogue.open();
    Table &table = manager->recordTable();
    for (table.first(); !table.eof();) {
        if (descriptions.contains(table.text(Descr)))
            table.remove();
        else
            table.next();
    }
}

// "<number> <description>" of every record, sorted; a record whose memo is not its own
// fails the test.
QStringList recordsOf(Table &table)
{
    QStringList records;
    for (table.first(); !table.eof(); table.next()) {
        const QString descr = table.text(Descr);
        bool own = false;
        try {
            own = table.text(Notes) == notesOf(descr);
        } catch (const EngineError &) {
        }
        EXPECT_TRUE(own) << "the memo of " << descr.toStdString() << " is not its own";
        records << QString("%1 %2").arg(table.integer(0)).arg(descr);
    }
    records.sort();
    return records;
}

QStringList recordsOf(const QString &folder, const QString &fileName)
{
    Table table;
    table.open({.folder = folder, .fileName = fileName});
    return recordsOf(table);
}

const QList<int> kCoinNumbers = {10, 20, 30, 40, 50};
const QStringList kRenumberedCoins = {"1 coin 1", "2 coin 2", "3 coin 3", "4 coin 4", "5 coin 5"};

// The backup holds all five coins; the first two are deleted afterwards.
void backUpThenDeleteTwo(Catalogue &catalogue)
{
    writeCoins(catalogue, kCoinNumbers);
    ASSERT_TRUE(catalogue.open()->backup().ok);
    deleteCoins(catalogue, {"coin 1", "coin 2"});
}

struct KillCase {
    QString operation;
    void (*prepare)(Catalogue &);
    bool checksBackup; // else the record table
    QStringList old;
    QStringList replacement;
};

void PrintTo(const KillCase &test, std::ostream *out) { *out << test.operation.toStdString(); }

class DatabaseMaintenanceKillTest : public ::testing::TestWithParam<KillCase> {};

// Repair, restore and backup build a whole new table and then swap it in for the old
// one. The peer runs one of them and kills itself at one step of the swap, each step
// in turn, until a run gets through. After every kill the table opens (the database
// the normal way) as either the old or the new one, whole; the old one survives as
// the set-aside table once the new one is in place; new records get numbers no record
// has; and a second run, which used to delete the set-aside copy first, gets through.
TEST_P(DatabaseMaintenanceKillTest, LeavesTheOldOrTheNewTableWhole)
{
    const KillCase &test = GetParam();
    constexpr int MaxSteps = 20;
    for (int step = 1;; ++step) {
        SCOPED_TRACE(step);
        ASSERT_LE(step, MaxSteps) << "no run got through";
        Catalogue catalogue;
        ASSERT_NO_FATAL_FAILURE(test.prepare(catalogue));
        QString outcome;
        {
            test::PeerProcess peer(QStringLiteral(TABLE_PEER),
                                   {"database", catalogue.programFolder, catalogue.databaseFolder, test.operation, QString::number(step)});
            outcome = peer.readLine();
        }
        ASSERT_TRUE(outcome.isEmpty() || outcome == "done") << outcome.toStdString();

        std::unique_ptr<DatabaseManager> manager = catalogue.open();
        const QString backupFolder = QDir(catalogue.databaseFolder).filePath("BACKUP");
        const QStringList after = test.checksBackup ? recordsOf(backupFolder, "data.dbf") : recordsOf(manager->recordTable());
        if (outcome == "done")
            EXPECT_EQ(after, test.replacement);
        else
            EXPECT_TRUE(after == test.old || after == test.replacement) << after.join(", ").toStdString();
        if (!test.checksBackup) {
            EXPECT_EQ(manager->recordCount(), quint32(after.size()));
            if (after == test.replacement) {
                EXPECT_EQ(recordsOf(catalogue.databaseFolder, "temp$$$.dbf"), test.old) << "the replaced table is kept";
            }
            Table &table = manager->recordTable();
            table.append();
            const QString next = QString::number(table.integer(0));
            table.cancel();
            for (const QString &record : after)
                EXPECT_LT(record.section(' ', 0, 0).toInt(), next.toInt()) << "number " << next.toStdString() << " is in use";
        }

        const std::map<QString, std::function<CopyResult()>> runAgain = {
            {"repair", [&] { return manager->repair(); }},
            {"restore", [&] { return manager->restore(true); }},
            {"backup", [&] { return manager->backup(); }},
        };
        EXPECT_TRUE(runAgain.at(test.operation)().ok);
        manager->closeAll();
        const QStringList again = test.checksBackup ? recordsOf(backupFolder, "data.dbf") : recordsOf(catalogue.databaseFolder, "data.dbf");
        EXPECT_EQ(again, test.replacement) << "a second run gets through";
        if (outcome == "done") {
            EXPECT_GT(step, 1) << "the peer was never killed";
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, DatabaseMaintenanceKillTest,
    ::testing::Values(KillCase{"repair", [](Catalogue &catalogue) { writeCoins(catalogue, kCoinNumbers); }, false,
                               {"10 coin 1", "20 coin 2", "30 coin 3", "40 coin 4", "50 coin 5"}, kRenumberedCoins},
                      KillCase{"restore", backUpThenDeleteTwo, false, {"30 coin 3", "40 coin 4", "50 coin 5"}, kRenumberedCoins},
                      KillCase{"backup", backUpThenDeleteTwo, true, kRenumberedCoins, {"1 coin 3", "2 coin 4", "3 coin 5"}}),
    [](const ::testing::TestParamInfo<KillCase> &c) { return c.param.operation.toStdString(); });

// Every file of the database folder by name, with its bytes.
std::map<QString, QByteArray> folderBytes(const QString &folder)
{
    std::map<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        files[name] = test::fileBytes(QDir(folder).filePath(name));
    return files;
}

// The data file's header made unreadable: its first column gets a type no table has.
void damageHeader(const QString &path)
{
    QByteArray bytes = test::fileBytes(path);
    bytes[32 + 11] = 'Q';
    test::writeFileBytes(path, bytes);
}

// Writes to files of one name fail as they would on a file the user may not write, for
// as long as this lives; it works where the tests run as root, whom chmod does not stop.
class RefusedWrites {
public:
    explicit RefusedWrites(const QString &fileName)
    {
        target() = fileName;
        posix::setWriteFault(&refuse);
    }
    ~RefusedWrites() { posix::setWriteFault(nullptr); }
    RefusedWrites(const RefusedWrites &) = delete;
    RefusedWrites &operator=(const RefusedWrites &) = delete;

private:
    static QString &target()
    {
        static QString name;
        return name;
    }
    static int refuse(const QString &path) { return QFileInfo(path).fileName().compare(target(), Qt::CaseInsensitive) == 0 ? EACCES : 0; }
};

const QString kLeftAsTheyAre = "Could not Open the database! Its files were left as they are.";

struct HostileOpen {
    const char *name;
    // Makes the record table unopenable; what it returns holds it so until the check.
    std::function<std::unique_ptr<test::PeerProcess>(Catalogue &)> prepare;
    bool needsNonRoot;
    QStringList texts;
    QString detail; // of the last message, with %1 for the database folder
};

// A record table that cannot be opened for any reason but damage is neither renamed nor
// replaced: nothing opens, every file of the folder keeps its bytes, and the user is
// told why.
TEST(DatabaseHostileOpen, ATableThatIsNotDamagedIsLeftAsItIs)
{
    const QString question = "Cannot open the file: data.dbf\rRetry?";
    const std::vector<HostileOpen> cases = {
        {"files the user may not write",
         [](Catalogue &catalogue) {
             for (const char *name : {"data.dbf", "data.dbt", "data.mdx"})
                 QFile::setPermissions(catalogue.file(name), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
             return std::unique_ptr<test::PeerProcess>();
         },
         true, {kLeftAsTheyAre}, "Cannot open %1/data.dbf: Permission denied"},
        {"held by another process",
         [](Catalogue &catalogue) {
             auto peer = std::make_unique<test::PeerProcess>(QStringLiteral(TABLE_PEER), QStringList{"hold-exclusive", catalogue.databaseFolder, "data.dbf"});
             EXPECT_EQ(peer->readLine(), "ready");
             return peer;
         },
         false, {question, kLeftAsTheyAre}, "The table data.dbf is opened exclusively by another user."},
        {"memo file missing",
         [](Catalogue &catalogue) {
             QFile::remove(catalogue.file("data.dbt"));
             return std::unique_ptr<test::PeerProcess>();
         },
         false, {question, kLeftAsTheyAre}, "The memo file of data.dbf is missing."},
    };
    for (const HostileOpen &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsNonRoot && ::geteuid() == 0)
            continue; // chmod does not stop root; the injected refusal below covers it
        Catalogue catalogue;
        writeCoins(catalogue, {1, 2, 3});
        const auto holder = c.prepare(catalogue);
        const auto before = folderBytes(catalogue.databaseFolder);
        catalogue.prompt.shown.clear();
        catalogue.prompt.answer(Button::No);
        auto manager = catalogue.manager();
        EXPECT_FALSE(manager->openDatabase());
        EXPECT_EQ(catalogue.prompt.texts(), c.texts);
        ASSERT_FALSE(catalogue.prompt.shown.empty());
        EXPECT_EQ(catalogue.prompt.shown.back().kind, MessageKind::Error);
        EXPECT_EQ(catalogue.prompt.shown.back().detail, QString(c.detail).replace("%1", catalogue.databaseFolder));
        manager->closeAll();
        EXPECT_EQ(folderBytes(catalogue.databaseFolder), before);
    }
}

// Where the records can be read but not written, they are shown; each change that fails
// says why, and nothing is set aside.
TEST(DatabaseHostileOpen, ATableWhoseWritesAreRefusedStillShowsItsRecords)
{
    Catalogue catalogue;
    writeCoins(catalogue, {1, 2, 3});
    catalogue.prompt.shown.clear();
    const auto before = folderBytes(catalogue.databaseFolder);
    RefusedWrites refused("data.dbf");
    auto manager = catalogue.open();
    EXPECT_TRUE(catalogue.prompt.shown.empty());
    EXPECT_EQ(recordsOf(manager->recordTable()), QStringList({"1 coin 1", "2 coin 2", "3 coin 3"}));
    Table &table = manager->recordTable();
    table.first();
    ASSERT_TRUE(manager->changes().edit(table));
    table.setText(Descr, "changed");
    const ChangeResult saved = manager->changes().post(table);
    EXPECT_EQ(saved.failure(), ChangeFailure::Permission);
    EXPECT_TRUE(saved.reason().endsWith("data.dbf: Permission denied")) << saved.reason().toStdString();
    table.cancel();
    manager->closeAll();
    EXPECT_EQ(folderBytes(catalogue.databaseFolder).at("data.dbf"), before.at("data.dbf"));
    EXPECT_EQ(QDir(catalogue.databaseFolder).entryList({"bad*"}), QStringList());
}

// Real damage sets the table aside under a name no file has, in any letter case, so an
// earlier set-aside is never replaced; the message names the file made.
TEST(DatabaseHostileOpen, ADamagedTableIsSetAsideNeverOverAnEarlierOne)
{
    Catalogue catalogue;
    const auto setAsideName = [](int round) { return round == 0 ? QString("bad$$$") : QString("bad$$$%1").arg(round); };
    std::map<QString, QByteArray> keptAside;
    for (const int round : {0, 2}) { // a stray BAD$$$1.DBT is in the way of the second
        SCOPED_TRACE(round);
        writeCoins(catalogue, {round + 1});
        damageHeader(catalogue.file("data.dbf"));
        const auto damaged = folderBytes(catalogue.databaseFolder);
        if (round == 2)
            test::writeFileBytes(catalogue.file("BAD$$$1.DBT"), "a stray memo file");
        catalogue.prompt.shown.clear();
        auto manager = catalogue.open();
        const QString name = setAsideName(round);
        ASSERT_EQ(catalogue.prompt.texts(),
                  QStringList({"Could not Open the database! A new database will be created. The original file (if existed) was renamed to " + name + ".dbf."}));
        EXPECT_EQ(catalogue.prompt.shown[0].detail,
                  "The table " + catalogue.file("data.dbf") + " is damaged: column \"NUMBER\" has the unknown type byte 0x51.");
        EXPECT_TRUE(manager->recordTable().isEmpty());
        manager->closeAll();
        const auto after = folderBytes(catalogue.databaseFolder);
        for (const QString extension : {".dbf", ".dbt", ".mdx"})
            keptAside[name + extension] = damaged.at("data" + extension);
        for (const auto &[file, bytes] : keptAside)
            EXPECT_EQ(after.at(file), bytes) << file.toStdString();
    }
    EXPECT_EQ(test::fileBytes(catalogue.file("BAD$$$1.DBT")), "a stray memo file");
}

// A data file that ends inside a record opens with its whole records; the user is told
// once what was lost and how to save the rest, and the file is left as it is.
TEST(DatabaseHostileOpen, ACutShortTableOpensWithItsWholeRecords)
{
    Catalogue catalogue;
    writeCoins(catalogue, {1, 2, 3});
    const QString data = catalogue.file("data.dbf");
    QFile::resize(data, QFileInfo(data).size() - 10);
    const auto before = folderBytes(catalogue.databaseFolder);
    QString damage;
    {
        Table table;
        table.open({.folder = catalogue.databaseFolder, .fileName = "data.dbf"});
        damage = table.damage();
    }
    ASSERT_FALSE(damage.isEmpty());
    catalogue.prompt.shown.clear();
    auto manager = catalogue.open();
    EXPECT_EQ(catalogue.prompt.texts(),
              QStringList({damage + "\rOnly the whole records are shown. Advanced/Maintenance/Repair Data File saves them into a sound file."}));
    EXPECT_EQ(recordsOf(manager->recordTable()), QStringList({"1 coin 1", "2 coin 2"}));
    manager->closeAll();
    EXPECT_EQ(folderBytes(catalogue.databaseFolder).at("data.dbf"), before.at("data.dbf"));
}

// A damaged table another user still has open cannot be renamed: nothing is made in its
// place and the user learns why.
TEST(DatabaseHostileOpen, ASetAsideThatCannotRenameMakesNothing)
{
    Catalogue catalogue;
    writeCoins(catalogue, {1, 2});
    test::PeerProcess peer(QStringLiteral(TABLE_PEER), {"hold-open", catalogue.databaseFolder, "data.dbf"});
    ASSERT_EQ(peer.readLine(), "ready");
    damageHeader(catalogue.file("data.dbf"));
    const auto before = folderBytes(catalogue.databaseFolder);
    catalogue.prompt.shown.clear();
    auto manager = catalogue.manager();
    EXPECT_FALSE(manager->openDatabase());
    ASSERT_EQ(catalogue.prompt.texts(), QStringList({"Could not Open the database! The damaged file could not be renamed, so no new database was created."}));
    EXPECT_EQ(catalogue.prompt.shown[0].detail, "The table data.dbf is in use by another user.");
    manager->closeAll();
    EXPECT_EQ(folderBytes(catalogue.databaseFolder), before);
}

// A damaged master table or copy buffer is set aside and made anew; the new master row
// numbers on above the records.
TEST(DatabaseHostileOpen, ADamagedMasterOrCopyBufferIsSetAsideAndMadeAnew)
{
    for (const QString file : {"master.dbf", "copy.dbf"}) {
        SCOPED_TRACE(file.toStdString());
        Catalogue catalogue;
        writeCoins(catalogue, {10, 20});
        damageHeader(catalogue.file(file));
        const QByteArray damaged = test::fileBytes(catalogue.file(file));
        catalogue.prompt.shown.clear();
        auto manager = catalogue.open();
        ASSERT_EQ(catalogue.prompt.texts(), QStringList({file + " was damaged. It was renamed to bad$$$.dbf and a new " + file + " was made."}));
        EXPECT_TRUE(catalogue.prompt.shown[0].detail.contains("is damaged")) << catalogue.prompt.shown[0].detail.toStdString();
        EXPECT_EQ(test::fileBytes(catalogue.file("bad$$$.dbf")), damaged);
        Table &table = manager->recordTable();
        table.append();
        EXPECT_EQ(table.integer(0), 21);
        table.cancel();
    }
}

// A record table that came without its master row (a copied catalogue, a generated
// collection) numbers new records above the highest number its records hold.
TEST(DatabaseNumbering, ANewMasterRowStartsAboveTheHighestRecordNumber)
{
    const std::vector<std::pair<QList<int>, int>> cases = {{{}, 1}, {{1}, 2}, {{10, 250, 7}, 251}};
    for (const auto &[numbers, next] : cases) {
        SCOPED_TRACE(next);
        Catalogue catalogue;
        writeCoins(catalogue, numbers);
        Table::deleteTable(catalogue.databaseFolder, "master.dbf");
        auto manager = catalogue.open();
        Table &table = manager->recordTable();
        for (const int expected : {next, next + 1}) {
            ASSERT_TRUE(manager->changes().append(table));
            EXPECT_EQ(table.integer(0), expected);
            ASSERT_TRUE(manager->changes().post(table));
        }
    }
}

// The master row could not be made at the open: the user is told, and numbering never
// takes another table's counter; it makes the row once writing works again.
TEST(DatabaseNumbering, AMasterRowThatCouldNotBeMadeStopsNumberingUntilItIs)
{
    Catalogue catalogue;
    writeCoins(catalogue, {5});
    {
        Table master;
        master.open({.folder = catalogue.databaseFolder, .fileName = "master.dbf"});
        master.first();
        master.edit();
        master.setText(0, "data_1.dbf"); // the row now belongs to another table
        master.setInteger(3, 500);
        master.post();
    }
    catalogue.prompt.shown.clear();
    std::unique_ptr<DatabaseManager> manager;
    {
        RefusedWrites refused("master.dbf");
        manager = catalogue.open();
        ASSERT_EQ(catalogue.prompt.texts(),
                  QStringList({"Could not add this database to the Master.dbf file! New records cannot be numbered until it is added."}));
        EXPECT_TRUE(catalogue.prompt.shown[0].detail.endsWith("master.dbf: Permission denied")) << catalogue.prompt.shown[0].detail.toStdString();
        const ChangeResult appended = manager->changes().append(manager->recordTable());
        EXPECT_EQ(appended.failure(), ChangeFailure::Permission);
        EXPECT_FALSE(manager->recordTable().isEditing());
    }
    Table &table = manager->recordTable();
    ASSERT_TRUE(manager->changes().append(table));
    EXPECT_EQ(table.integer(0), 6);
    ASSERT_TRUE(manager->changes().post(table));
    Table &master = manager->master();
    ASSERT_TRUE(master.findKey("data_1.dbf"));
    EXPECT_EQ(master.integer(3), 500) << "another table's counter is left alone";
    ASSERT_TRUE(master.findKey("data.dbf"));
    EXPECT_EQ(master.integer(3), 6);
}

// A filter state the table cannot take (another process has it open, so the marked tag
// cannot be made) keeps the former state, mark and records.
TEST_F(DatabaseManagerTest, AFailedFilterStateChangeKeepsTheFormerStateAndRecords)
{
    createRecords({"b", "a", "c"}, {"2", "0", "2"});
    ASSERT_TRUE(manager.openDatabase());
    ASSERT_TRUE(manager.changeSort(SortDescriptor{Descr, false, 0, false}));
    manager.viewRange(std::nullopt);
    const QString tagBefore = manager.recordTable().tagName();
    test::PeerProcess peer(QStringLiteral(TABLE_PEER), {"hold-open", databaseFolder, "data.dbf"});
    ASSERT_EQ(peer.readLine(), "ready");

    EXPECT_FALSE(manager.setFilterState(FilterState::Normal));
    EXPECT_EQ(manager.filterState(), FilterState::AllRecords);
    EXPECT_FALSE(manager.index().marked);
    EXPECT_EQ(manager.recordTable().tagName(), tagBefore);
    ASSERT_EQ(prompt.texts(), QStringList({kUnableToCreateIndex}));
    EXPECT_EQ(prompt.shown[0].detail, "The table data.dbf is in use by another user; exclusive use is not possible.");
    manager.viewRange(std::nullopt);
    EXPECT_EQ(listed(), QStringList({"a", "b", "c"}));
}

} // namespace
