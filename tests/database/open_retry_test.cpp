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
    bool exclusive;
    int failuresBeforeSuccess; // -1: never succeeds
    std::vector<Button> answers;
    bool opened;
    int attempts;
    int questions;
};

TEST(OpenRetry, TenSilentRetriesThenTheQuestionForSharedOpens)
{
    const std::vector<RetryCase> cases = {
        {"opens at once", false, 0, {}, true, 1, 0},
        {"tenth retry succeeds silently", false, 10, {}, true, 11, 0},
        {"No after the eleventh failure gives up", false, -1, {Button::No}, false, 11, 1},
        {"Yes retries, then No gives up", false, -1, {Button::Yes, Button::No}, false, 12, 2},
        {"Yes retries and succeeds", false, 11, {Button::Yes}, true, 12, 1},
        {"exclusive gives up without a word", true, -1, {}, false, 11, 0},
    };
    for (const RetryCase &c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompt prompt;
        for (Button answer : c.answers)
            prompt.answer(answer);
        int attempts = 0;
        const bool opened = openWithRetries(
            [&] {
                ++attempts;
                if (c.failuresBeforeSuccess < 0 || attempts <= c.failuresBeforeSuccess)
                    throw DatabaseError("busy");
            },
            c.exclusive, "data.dbf", prompt);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(attempts, c.attempts);
        ASSERT_EQ(int(prompt.shown.size()), c.questions);
        for (const test::ShownMessage &message : prompt.shown) {
            EXPECT_EQ(message.text, "Cannot open the file: data.dbf\rRetry?");
            EXPECT_EQ(message.kind, MessageKind::Warning);
            EXPECT_EQ(message.buttons, Button::Yes | Button::No);
        }
    }
}

} // namespace
