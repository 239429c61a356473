#include "database/open_retry.h"
#include "store/store_error.h"
#include "support/scripted_prompt.h"

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::database;
using namespace numora::store;

namespace {

struct RetryCase {
    const char *name;
    DatabaseErrorKind kind;
    bool exclusive;
    int failuresBeforeSuccess; // -1: never succeeds
    std::vector<Button> answers;
    bool opened;
    int attempts;
    int questions;
};

// Only what may go away by itself (another user, a share that dropped for a moment) is
// tried again; the question shows the store's reason below it.
TEST(OpenRetry, TenSilentRetriesThenTheQuestionForSharedOpens)
{
    using enum DatabaseErrorKind;
    const std::vector<RetryCase> cases = {
        {"opens at once", InUse, false, 0, {}, true, 1, 0},
        {"tenth retry succeeds silently", InUse, false, 10, {}, true, 11, 0},
        {"No after the eleventh failure gives up", InUse, false, -1, {Button::No}, false, 11, 1},
        {"Yes retries, then No gives up", General, false, -1, {Button::Yes, Button::No}, false, 12, 2},
        {"Yes retries and succeeds", InUse, false, 11, {Button::Yes}, true, 12, 1},
        {"exclusive gives up without a word", InUse, true, -1, {}, false, 11, 0},
        {"a refused permission is final at once", Permission, false, -1, {}, false, 1, 0},
        {"damage is final at once", Damaged, false, -1, {}, false, 1, 0},
        {"an unusable index is final at once", Index, false, -1, {}, false, 1, 0},
        {"a full disk is final at once", DiskFull, false, -1, {}, false, 1, 0},
    };
    for (const RetryCase &c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompt prompt;
        for (Button answer : c.answers)
            prompt.answer(answer);
        int attempts = 0;
        const OpenResult result = openWithRetries(
            [&] {
                ++attempts;
                if (c.failuresBeforeSuccess < 0 || attempts <= c.failuresBeforeSuccess)
                    throw DatabaseError("busy", c.kind);
            },
            c.exclusive, "data.dbf", prompt);
        EXPECT_EQ(result.opened(), c.opened);
        if (!c.opened) {
            EXPECT_EQ(result.kind(), c.kind);
            EXPECT_EQ(result.reason(), "busy");
        }
        EXPECT_EQ(attempts, c.attempts);
        ASSERT_EQ(int(prompt.shown.size()), c.questions);
        for (const test::ShownMessage &message : prompt.shown) {
            EXPECT_EQ(message.text, "Cannot open the file: data.dbf\rRetry?");
            EXPECT_EQ(message.kind, MessageKind::Warning);
            EXPECT_EQ(message.buttons, Button::Yes | Button::No);
            EXPECT_EQ(message.detail, "busy");
        }
    }
}

} // namespace
