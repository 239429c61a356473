// Journals the kill tests cannot produce: torn by a power cut, damaged, or still held by
// a live process.

#include "store/file_lock.h"
#include "store/store_error.h"
#include "store/swap_journal.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <optional>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace numora::store;
using numora::test::TempFolder;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(SwapJournalTest, JournalsThatMustNotBeRolledForward)
{
    const struct {
        const char *name;
        QByteArray journal;
        std::optional<DatabaseErrorKind> refusal; // none: discarded without a rename
    } cases[] = {
        {"torn before its commit line", "numora swap journal 1\nrename\ta.dbf.new\ta.dbf\n", {}},
        {"torn inside its commit line", "numora swap journal 1\nrename\ta.dbf.new\ta.dbf\ncommit\t1", {}},
        {"commit counting other lines", "numora swap journal 1\nrename\ta.dbf.new\ta.dbf\ncommit\t2\n", {}},
        {"empty", "", {}},
        {"unknown version", "numora swap journal 2\nrename\ta.dbf.new\ta.dbf\ncommit\t1\n", DatabaseErrorKind::General},
        {"name outside the folder", "numora swap journal 1\nrename\ta.dbf.new\t../a.dbf\ncommit\t1\n", DatabaseErrorKind::General},
        {"malformed line", "numora swap journal 1\nmove\ta.dbf.new\ta.dbf\ncommit\t1\n", DatabaseErrorKind::General},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        writeFile(folder.file("a.dbf"), "old");
        writeFile(folder.file("a.dbf.new"), "new");
        writeFile(folder.file("a.jnl"), test.journal);
        if (test.refusal) {
            try {
                finishInterruptedSwap(folder.path(), "a.jnl");
                ADD_FAILURE() << "a damaged journal was accepted";
            } catch (const DatabaseError &error) {
                EXPECT_EQ(error.kind(), *test.refusal);
            }
            EXPECT_TRUE(QFileInfo::exists(folder.file("a.jnl"))) << "kept for someone to look at";
        } else {
            EXPECT_FALSE(finishInterruptedSwap(folder.path(), "a.jnl"));
            EXPECT_FALSE(QFileInfo::exists(folder.file("a.jnl")));
        }
        EXPECT_EQ(readFile(folder.file("a.dbf")), "old");
        EXPECT_EQ(readFile(folder.file("a.dbf.new")), "new");
    }
}

TEST(SwapJournalTest, JournalOfALiveSwapIsLeftToItsOwner)
{
    TempFolder folder;
    writeFile(folder.file("a.dbf"), "old");
    writeFile(folder.file("a.dbf.new"), "new");
    writeFile(folder.file("a.jnl"), "numora swap journal 1\nrename\ta.dbf.new\ta.dbf\ncommit\t1\n");
    const int owner = ::open(QFile::encodeName(folder.file("a.jnl")).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(owner, 0);
    ASSERT_TRUE(FileLock::tryLock(owner, lock_region::Open, 1, LockKind::Exclusive));
    try {
        finishInterruptedSwap(folder.path(), "a.jnl");
        ADD_FAILURE() << "finished a swap its owner is running";
    } catch (const DatabaseError &error) {
        EXPECT_EQ(error.kind(), DatabaseErrorKind::InUse);
    }
    EXPECT_EQ(readFile(folder.file("a.dbf")), "old");

    ::close(owner); // the owner dies: its lock goes with it
    EXPECT_TRUE(finishInterruptedSwap(folder.path(), "a.jnl"));
    EXPECT_EQ(readFile(folder.file("a.dbf")), "new");
    EXPECT_FALSE(QFileInfo::exists(folder.file("a.dbf.new")));
    EXPECT_FALSE(QFileInfo::exists(folder.file("a.jnl")));
}

} // namespace
