#include "lifecycle/tray_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace numora::lifecycle {
namespace {

using settings::StartHidden;

TEST(TrayRules, StartingHiddenNeedsTheTrayOptionAndAStoredValueAboveFive)
{
    struct Case {
        bool trayOption;
        qint16 stored;
        bool hidden;
    };
    const std::vector<Case> cases = {
        {true, 0, false}, {true, 5, false}, {true, 6, true},   {true, 7, true},
        {true, -6, false}, {false, 6, false}, {false, 7, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(startsHidden(c.trayOption, StartHidden(c.stored)), c.hidden)
            << "tray " << c.trayOption << ", stored " << c.stored;
}

TEST(TrayRules, HideOnStartupTogglesBetweenTheStoredValues)
{
    EXPECT_EQ(qint16(toggledStartHidden(false)), 6);
    EXPECT_EQ(qint16(toggledStartHidden(true)), 0);
    EXPECT_TRUE(startsHidden(true, toggledStartHidden(false)));
    EXPECT_FALSE(startsHidden(true, toggledStartHidden(true)));
}

TEST(TrayRules, MenuCaptionsAndShutdownMessages)
{
    EXPECT_EQ(trayShowHideCaption(true), "Hide Numora");
    EXPECT_EQ(trayShowHideCaption(false), "Show Numora");
    EXPECT_EQ(trayTerminateCaption(), "Terminate Numora");
    EXPECT_EQ(shuttingDownMessage(), "Brenlow Numora is shutting down.");
    EXPECT_EQ(couldNotShutDownMessage(), "Brenlow Numora could not be shut down! Try to close "
                                         "it before shutting down Windows.");
}

} // namespace
} // namespace numora::lifecycle
