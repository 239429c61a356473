// Reads of the store from the event loop: a failure reaches the user once per action,
// with the store's reason, and the caller goes on.

#include "mainwin/store_reads.h"
#include "store/store_error.h"
#include "support/scripted_prompt.h"

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::mainwin;

namespace {

const QString kCouldNotRead = QStringLiteral("Could not read the records of this database!");
const QString kRepairHint =
    QStringLiteral("\rYou may have to use Advanced/Maintenance/Repair Data File function.");

TEST(StoreReads, AFailureIsToldWithItsReasonAndTheCallerGoesOn)
{
    const struct {
        const char *name;
        std::function<void()> read;
        QString text;
        QString detail;
    } cases[] = {
        {"damaged data file",
         [] { throw store::DatabaseError("data.dbf ends before record 3", store::DatabaseErrorKind::Damaged); },
         kCouldNotRead + kRepairHint, "data.dbf ends before record 3"},
        {"damaged memo", [] { throw store::EngineError("memo block 7 is damaged"); }, kCouldNotRead + kRepairHint,
         "memo block 7 is damaged"},
        {"refused permission",
         [] { throw store::DatabaseError("Permission denied", store::DatabaseErrorKind::Permission); },
         kCouldNotRead, "Permission denied"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompt prompt;
        EXPECT_FALSE(readStore(prompt, c.read));
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text, c.text);
        EXPECT_EQ(prompt.shown[0].detail, c.detail);
        EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);
    }
    test::ScriptedPrompt prompt;
    EXPECT_TRUE(readStore(prompt, [] {}));
    EXPECT_TRUE(prompt.shown.empty());
}

// Showing a record refreshes the list, which reads the same damaged file: one message.
TEST(StoreReads, OneActionTellsOfEachFailureOnce)
{
    test::ScriptedPrompt prompt;
    const auto damaged = [] { throw store::DatabaseError("data.dbf ends before record 3", store::DatabaseErrorKind::Damaged); };
    const auto locked = [] { throw store::DatabaseError("Record locked by another user.", store::DatabaseErrorKind::InUse); };
    EXPECT_FALSE(readStore(prompt, [&] {
        EXPECT_FALSE(readStore(prompt, damaged));
        EXPECT_FALSE(readStore(prompt, damaged));
        EXPECT_FALSE(readStore(prompt, locked));
        damaged();
    }));
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].detail, "data.dbf ends before record 3");
    EXPECT_EQ(prompt.shown[1].detail, "Record locked by another user.");

    EXPECT_FALSE(readStore(prompt, damaged)) << "the next action";
    EXPECT_EQ(prompt.shown.size(), 3u);
}

} // namespace
