#include "database/activity_log.h"

#include "core/value_stream.h"
#include <QStringList> // scripted_prompt.h uses it without including it
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace numora::database {
namespace {

class ActivityLogTest : public ::testing::Test {
protected:
    ActivityLog makeLog() { return ActivityLog(folder.path(), prompt, [this] { return now; }); }

    std::vector<QString> descriptionsOnDisk()
    {
        ActivityLog reread(folder.path(), prompt);
        reread.read();
        std::vector<QString> descriptions;
        for (const LogEntry &entry : reread.entries())
            descriptions.push_back(entry.description);
        return descriptions;
    }

    test::TempFolder folder;
    test::ScriptedPrompt prompt;
    QDateTime now{QDate(2024, 3, 9), QTime(14, 5, 7)};
};

TEST_F(ActivityLogTest, TheSameOperationWithinOneSecondIsLoggedOnce)
{
    struct Step {
        int secondsLater;
        QString database;
        QString description;
    };
    struct Case {
        const char *name;
        std::vector<Step> steps;
        size_t entries;
    };
    const std::vector<Case> cases = {
        {"same second", {{0, "Coins", "Repair"}, {0, "Coins", "Repair"}}, 1},
        {"next second", {{0, "Coins", "Repair"}, {1, "Coins", "Repair"}}, 2},
        {"other database", {{0, "Coins", "Repair"}, {0, "Medals", "Repair"}}, 2},
        {"other operation", {{0, "Coins", "Repair"}, {0, "Coins", "Backup"}}, 2},
        {"earlier entry repeated",
         {{0, "Coins", "Repair"}, {0, "Coins", "Backup"}, {0, "Coins", "Repair"}}, 2},
    };
    const QDateTime start = now;
    for (const Case &c : cases) {
        QFile::remove(folder.file("log.dat"));
        ActivityLog log = makeLog();
        for (const Step &step : c.steps) {
            now = start.addSecs(step.secondsLater);
            log.add(step.database, step.description);
        }
        EXPECT_EQ(log.entries().size(), c.entries) << c.name;
        EXPECT_EQ(descriptionsOnDisk().size(), c.entries) << c.name;
    }
}

TEST_F(ActivityLogTest, EntriesAreStampedInTheSystemFormats)
{
    ActivityLog log = makeLog();
    log.add("Coins", "Pack");
    ASSERT_EQ(log.entries().size(), 1u);
    const LogEntry &entry = log.entries().front();
    EXPECT_EQ(entry.date, QLocale::system().toString(now.date(), QLocale::ShortFormat));
    EXPECT_TRUE(entry.time.contains("07")) << entry.time.toStdString();
    EXPECT_EQ(entry.databaseName, "Coins");
    EXPECT_EQ(entry.description, "Pack");
}

TEST_F(ActivityLogTest, EveryAddWritesTheWholeLog)
{
    ActivityLog log = makeLog();
    log.add("Coins", "Repair");
    now = now.addSecs(60);
    log.add("Coins", QString(300, 'd'));
    EXPECT_EQ(descriptionsOnDisk(), (std::vector<QString>{"Repair", QString(300, 'd')}));

    QFile::rename(folder.file("log.dat"), folder.file("LOG.DAT"));
    ActivityLog reread = makeLog();
    reread.read();
    EXPECT_EQ(reread.entries(), log.entries());
}

TEST_F(ActivityLogTest, ADamagedLogOpensEmptyAndIsWrittenOverAtTheNextAdd)
{
    ValueWriter oneEntry;
    oneEntry.beginList();
    for (const char *text : {"1/2/24", "10:00:00", "Coins", "Repair"})
        oneEntry.writeString(text);

    const std::vector<std::pair<const char *, QByteArray>> cases = {
        {"end tag missing", oneEntry.bytes()},
        {"cut inside the second entry", oneEntry.bytes() + QByteArray::fromHex("0603")},
        {"number where a text belongs", oneEntry.bytes() + QByteArray::fromHex("020100")},
        {"not a list", "garbage"},
    };
    for (const auto &[name, bytes] : cases) {
        ASSERT_TRUE(writeSettingsFile(folder.file("log.dat"), bytes));
        ActivityLog log = makeLog();
        log.read();
        EXPECT_TRUE(log.entries().empty()) << name;

        log.add("Coins", "Backup");
        EXPECT_EQ(descriptionsOnDisk(), std::vector<QString>{"Backup"}) << name;
    }
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ActivityLogTest, AFailedWriteIsReported)
{
    ActivityLog log(folder.file("no such folder"), prompt, [this] { return now; });
    log.add("Coins", "Repair");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Error Saving Log to a file!");
    EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(log.entries().size(), 1u);
}

TEST_F(ActivityLogTest, SelectedEntriesAreRemovedWhateverTheOrderGiven)
{
    ActivityLog log = makeLog();
    for (const char *description : {"a", "b", "c", "d"})
        log.add("Coins", description);
    log.removeEntries({2, 0, 2, 9, -1});
    ASSERT_EQ(log.entries().size(), 2u);
    EXPECT_EQ(log.entries()[0].description, "b");
    EXPECT_EQ(log.entries()[1].description, "d");

    log.clear();
    EXPECT_TRUE(log.write());
    EXPECT_TRUE(descriptionsOnDisk().empty());
}

} // namespace
} // namespace numora::database
