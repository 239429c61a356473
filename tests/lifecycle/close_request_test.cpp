#include "lifecycle/close_request.h"

#include <QStringList>
#include "support/scripted_prompt.h"

#include <gtest/gtest.h>

#include <vector>

namespace numora::lifecycle {
namespace {

using Result = MainWindowCloseResult;
constexpr CloseCause ProgramEnd = CloseCause::ProgramEnd;

TEST(MainWindowClose, StepsAndOutcomeOfACloseRequest)
{
    struct Case {
        const char *what;
        CloseSettings settings;
        bool choosesMaintenance;
        bool recordSaved;
        Result result;
        QStringList calls;
    };
    const std::vector<Case> cases = {
        {"plain close ends the program", {false, false}, true, true, Result::OwnerClosed,
         {"save", "hide", "close owner"}},
        {"reminder check before saving", {true, false}, false, true, Result::OwnerClosed,
         {"reminder check", "save", "hide", "close owner"}},
        {"maintenance chosen from the reminder", {true, false}, true, true, Result::OwnerClosed,
         {"reminder check", "maintenance", "save", "hide", "close owner"}},
        {"record kept unsaved", {false, false}, false, false, Result::Cancelled, {"save"}},
        {"record kept unsaved after maintenance", {true, false}, true, false, Result::Cancelled,
         {"reminder check", "maintenance", "save"}},
        {"tray option keeps the program running", {false, true}, false, true,
         Result::HiddenToTray, {"save", "hide", "hidden to tray"}},
        {"tray option and a refused save", {false, true}, false, false, Result::Cancelled,
         {"save"}},
        {"termination with the tray option ends the program", {false, true, ProgramEnd}, false,
         true, Result::OwnerClosed, {"save", "hide", "close owner"}},
        {"termination after a refused save ends the program", {false, false, ProgramEnd},
         false, false, Result::OwnerClosed, {"save", "hide", "close owner"}},
        {"termination, tray option and a refused save", {false, true, ProgramEnd}, false, false,
         Result::OwnerClosed, {"save", "hide", "close owner"}},
        {"termination asks no reminder question", {true, true, ProgramEnd}, true, true,
         Result::OwnerClosed, {"save", "hide", "close owner"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QStringList calls;
        const MainWindowCloseHooks hooks{
            [&] {
                calls << "reminder check";
                return c.choosesMaintenance;
            },
            [&] { calls << "maintenance"; },
            [&] {
                calls << "save";
                return c.recordSaved;
            },
            [&] { calls << "hide"; },
            [&] { calls << "hidden to tray"; },
            [&] { calls << "close owner"; },
        };
        EXPECT_EQ(closeMainWindow(c.settings, hooks), c.result);
        EXPECT_EQ(calls, c.calls);
    }
}

TEST(SessionEnd, TheRecordIsSavedAndTheUserToldWhetherTheProgramEnds)
{
    struct Case {
        const char *what;
        bool recordSaved;
        bool ends;
        QStringList calls;
        QString message;
        MessageKind kind;
    };
    const std::vector<Case> cases = {
        {"record saved", true, true, {"save", "end program"},
         "Brenlow Numora is shutting down.", MessageKind::Information},
        {"record kept unsaved", false, false, {"save", "cancel session end"},
         "Brenlow Numora could not be shut down! Try to close it before shutting down Windows.",
         MessageKind::Error},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QStringList calls;
        test::ScriptedPrompt prompt;
        const SessionEndHooks hooks{
            [&] {
                calls << "save";
                return c.recordSaved;
            },
            [&] { calls << "cancel session end"; },
            [&] { calls << "end program"; },
        };
        EXPECT_EQ(endForSessionEnd(prompt, hooks), c.ends);
        EXPECT_EQ(calls, c.calls);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown.front().text, c.message);
        EXPECT_EQ(prompt.shown.front().kind, c.kind);
    }
}

TEST(OwnerWindowCloseTest, TheMainWindowClosingTheOwnerAgainIsIgnored)
{
    OwnerWindowClose owner;
    int mainWindowCloses = 0;
    bool innerRequest = true;
    const std::function<bool()> closeMainWindow = [&] {
        ++mainWindowCloses;
        // With the tray option off the main window's close closes the owner window.
        innerRequest = owner.request(closeMainWindow);
        return true;
    };

    EXPECT_TRUE(owner.request(closeMainWindow));
    EXPECT_FALSE(innerRequest);
    EXPECT_EQ(mainWindowCloses, 1);
    EXPECT_FALSE(owner.request(closeMainWindow)) << "the owner window is already going";
    EXPECT_EQ(mainWindowCloses, 1);
}

TEST(OwnerWindowCloseTest, ARefusedCloseCanBeRequestedAgain)
{
    OwnerWindowClose owner;
    EXPECT_FALSE(owner.request([] { return false; }));
    EXPECT_TRUE(owner.request([] { return true; }));
}

} // namespace
} // namespace numora::lifecycle
