#include "lifecycle/close_request.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

namespace numora::lifecycle {
namespace {

using Result = MainWindowCloseResult;

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
