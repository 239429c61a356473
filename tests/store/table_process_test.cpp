// Several processes on one table: real child processes (table_peer), real files and
// the operating system's locks.

#include "store/store_error.h"
#include "store/table.h"
#include "support/coin_table.h"
#include "support/peer_process.h"
#include "support/qt_printers.h"
#include "support/temp_folder.h"

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
        try {
            openTable(table, folder.path(), "BYDESCR");
        } catch (const DatabaseError &) {
            openTable(table, folder.path(), {}, true);
            ASSERT_NO_THROW(table.regenerateIndexes());
            table.close();
            openTable(table, folder.path(), "BYDESCR");
        }
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

} // namespace
