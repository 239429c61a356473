// Several processes on one table: real child processes (table_peer), real files and
// the operating system's locks.

#include "store/store_error.h"
#include "store/table.h"
#include "support/coin_table.h"
#include "support/peer_process.h"
#include "support/qt_printers.h"
#include "support/temp_folder.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

using namespace numora::store;
using namespace numora::test;

namespace {

// A running table_peer; closing its stdin ends it.
class Peer : public PeerProcess {
public:
    explicit Peer(const QStringList &arguments) : PeerProcess(QStringLiteral(TABLE_PEER), arguments)
    {
    }
};

// Opens the table on `tag`, rebuilding the index first when a kill left it stale (the
// database layer does the same when an open reports it).
void openOnTag(Table &table, const QString &folder, const QString &tag)
{
    try {
        openTable(table, folder, tag);
    } catch (const DatabaseError &error) {
        ASSERT_EQ(error.kind(), DatabaseErrorKind::Index) << error.what();
        openTable(table, folder, {}, true);
        ASSERT_NO_THROW(table.regenerateIndexes());
        table.close();
        openTable(table, folder, tag);
    }
}

class TableProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createCoinTable(folder.path());
        Table table;
        openTable(table, folder.path(), {}, true);
        table.addTag(TagDefinition{"BYDESCR", "UPPER(DESCR)"});
        table.close();
        openTable(table, folder.path());
        for (int i = 1; i <= 3; ++i)
            appendCoin(table, i, Coin{QString("coin %1").arg(i)});
    }

    TempFolder folder;
};

TEST_F(TableProcessTest, AnotherProcessesRecordLockRefusesOnlyThatRecord)
{
    Table table;
    openTable(table, folder.path());
    {
        Peer peer({"hold-record", folder.path(), "1"});
        ASSERT_EQ(peer.readLine(), "ready");
        EXPECT_THROW(table.edit(), DatabaseError);
        table.next();
        EXPECT_NO_THROW(table.edit());
        table.cancel();
        peer.finish();
    }
    table.first();
    EXPECT_NO_THROW(table.edit()) << "the lock goes with the process that held it";
}

TEST_F(TableProcessTest, ExclusiveOpenExcludesOtherProcessesBothWays)
{
    {
        Peer peer({"hold-exclusive", folder.path()});
        ASSERT_EQ(peer.readLine(), "ready");
        Table table;
        EXPECT_THROW(openTable(table, folder.path()), DatabaseError);
        peer.finish();
    }
    Table shared;
    openTable(shared, folder.path());
    Peer peer({"hold-exclusive", folder.path()});
    EXPECT_TRUE(peer.readLine().startsWith("refused"));
}

TEST_F(TableProcessTest, ConcurrentAppendsNeverShareARecordSlot)
{
    constexpr int perPeer = 150;
    {
        Peer first({"append", folder.path(), QString::number(perPeer), "BYDESCR"});
        Peer second({"append", folder.path(), QString::number(perPeer), "BYDESCR"});
        first.finish();
        second.finish();
    }
    Table table;
    openTable(table, folder.path(), "BYDESCR");
    const QStringList all = descriptions(table);
    EXPECT_EQ(all.size(), 3 + 2 * perPeer);
    EXPECT_EQ(QSet<QString>(all.begin(), all.end()).size(), all.size());
}

// An append writes its record before it raises the count, under the write lock; a
// reader opening and counting meanwhile never takes one for a data file cut short.
TEST_F(TableProcessTest, AppendsInProgressAreNoDamage)
{
    constexpr quint32 perPeer = 300;
    Peer peer({"append", folder.path(), QString::number(perPeer), "BYDESCR"});
    ASSERT_EQ(peer.readLine(), "ready");
    QDeadlineTimer deadline(60000);
    for (quint32 seen = 0; seen < 3 + perPeer && !deadline.hasExpired();) {
        Table table;
        openTable(table, folder.path());
        seen = table.recordCount();
        ASSERT_TRUE(table.damage().isEmpty()) << table.damage().toStdString();
    }
    peer.finish();
}

// The peer is killed at a random moment of an append; every record it reported as
// posted must be there, whole, once the table has been opened (and its index rescued
// if the kill left it stale).
TEST_F(TableProcessTest, ProcessKilledMidAppendLeavesCommittedRecordsIntact)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        int posted = -1;
        QString peerPrefix;
        {
            Peer peer({"append", folder.path(), "1000000", "BYDESCR"});
            ASSERT_EQ(peer.readLine(), "ready");
            const int killAfter = 50 + round * 37;
            for (QString line = peer.readLine(); line.startsWith("posted"); line = peer.readLine()) {
                posted = line.section(' ', 1).toInt();
                if (posted >= killAfter)
                    break;
            }
            peer.killHard();
        }
        ASSERT_GE(posted, 0);

        Table table;
        ASSERT_NO_FATAL_FAILURE(openOnTag(table, folder.path(), "BYDESCR"));
        QSet<int> seen;
        for (table.first(); !table.eof(); table.next()) {
            const QString descr = table.text(column::Descr);
            if (!descr.startsWith("peer "))
                continue;
            const int i = descr.section(' ', 2).toInt();
            EXPECT_EQ(table.integer(column::Number), i);
            EXPECT_EQ(table.text(column::Notes), QString("notes of %1").arg(i));
            if (i <= posted)
                seen.insert(i);
        }
        EXPECT_EQ(seen.size(), posted + 1);
        table.close();
        // The next round starts from a table without this round's records.
        openTable(table, folder.path(), {}, true);
        for (table.first(); !table.eof();) {
            if (table.text(column::Descr).startsWith("peer "))
                table.remove();
            else
                table.next();
        }
        table.pack(true);
    }
}

QString notesOf(const QString &descr) { return QString("notes of %1; ").arg(descr).repeated(60); }

// Twelve coins whose notes span several memo blocks each, every third one deleted, so a
// pack moves both records and memos. Returns the live records' descriptions.
QStringList createTableWithMemos(const QString &folder)
{
    createCoinTable(folder);
    Table table;
    openTable(table, folder, {}, true);
    table.addTag(TagDefinition{"BYDESCR", "UPPER(DESCR)"});
    for (int i = 1; i <= 12; ++i) {
        const QString descr = QString("coin %1").arg(i, 2, 10, QChar('0'));
        appendCoin(table, i, Coin{descr, double(i), {}, notesOf(descr)});
    }
    for (table.first(); !table.eof(); table.next()) {
        if (table.integer(column::Number) % 3 == 0)
            table.remove();
    }
    return descriptions(table);
}

// The descriptions in the table's order; a record whose memo is not its own fails.
QStringList descriptionsCheckingMemos(Table &table)
{
    QStringList result;
    for (table.first(); !table.eof(); table.next()) {
        const QString descr = table.text(column::Descr);
        bool own = false;
        try {
            own = table.text(column::Notes) == notesOf(descr);
        } catch (const EngineError &) {
        }
        EXPECT_TRUE(own) << "the memo of " << descr.toStdString() << " is not its own";
        result << descr;
    }
    return result;
}

// Pack and empty replace the data and memo files together. The peer runs one of them
// and kills itself at one step of the swap, each step in turn, until a run gets through.
// After every kill the next open finds either the records as they were or as the
// operation leaves them, each with its own memo, and the operation can run again.
TEST(TableMaintenanceKillTest, KilledPackOrEmptyLeavesEveryRecordWithItsOwnMemo)
{
    const struct {
        QString operation;
        bool removesRecords;
    } cases[] = {{"pack", false}, {"empty", true}};
    constexpr int MaxSteps = 20;
    for (const auto &test : cases) {
        SCOPED_TRACE(test.operation.toStdString());
        for (int step = 1;; ++step) {
            SCOPED_TRACE(step);
            ASSERT_LE(step, MaxSteps) << "no run got through";
            TempFolder folder;
            const QStringList before = createTableWithMemos(folder.path());
            const QStringList finished = test.removesRecords ? QStringList() : before;
            QString outcome;
            {
                Peer peer({"maintain", folder.path(), test.operation, QString::number(step)});
                outcome = peer.readLine();
            }
            ASSERT_TRUE(outcome.isEmpty() || outcome == "done") << outcome.toStdString();

            Table table;
            openTable(table, folder.path());
            EXPECT_FALSE(QFileInfo::exists(folder.file("coins.jnl"))) << "the open finishes the swap";
            const QStringList after = descriptionsCheckingMemos(table);
            if (outcome == "done")
                EXPECT_EQ(after, finished);
            else
                EXPECT_TRUE(after == before || after == finished) << after.join(", ").toStdString();
            EXPECT_EQ(table.recordCount(), quint32(after.size()));
            table.close();
            ASSERT_NO_FATAL_FAILURE(openOnTag(table, folder.path(), "BYDESCR"));
            EXPECT_EQ(descriptionsCheckingMemos(table), after) << "the index follows the data file";
            table.close();

            openTable(table, folder.path(), {}, true);
            test.removesRecords ? table.emptyTable() : table.pack(true);
            EXPECT_EQ(descriptionsCheckingMemos(table), finished) << "nothing a kill left blocks the next run";
            if (outcome == "done") {
                EXPECT_GT(step, 1) << "the peer was never killed";
                break;
            }
        }
    }
}

} // namespace
