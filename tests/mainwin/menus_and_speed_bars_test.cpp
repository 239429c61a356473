#include "mainwin/menus_and_speed_bars.h"

#include "mainwin/pane_layout.h"

#include <gtest/gtest.h>

namespace numora::mainwin {
namespace {

using settings::MenusAndSpeedBars;

constexpr int kMenuBarHeight = 21;

// The client area lies below the menu bar, inside the window.
int clientHeight(int windowHeight, MenusAndSpeedBars mode)
{
    return windowHeight - (showsMenuBar(mode) ? kMenuBarHeight : 0);
}

int paneHeight(int windowHeight, MenusAndSpeedBars mode)
{
    const PaneLayout layout =
        layoutPanes({.clientSize = {630, clientHeight(windowHeight, mode)},
                     .speedBarVisible = showsSpeedBar(mode)});
    return layout.listPane.height();
}

TEST(MenusAndSpeedBarsTest, TheClientKeepsItsHeightWhenTheMenuBarGoesAndThePanesAlways)
{
    struct Case {
        const char *name;
        MenusAndSpeedBars from;
        MenusAndSpeedBars to;
        int clientHeightChange;
    };
    const std::vector<Case> cases = {
        {"show only speed bars", MenusAndSpeedBars::Both, MenusAndSpeedBars::OnlySpeedBars, 0},
        {"show both again", MenusAndSpeedBars::OnlySpeedBars, MenusAndSpeedBars::Both, 0},
        {"show only menus", MenusAndSpeedBars::Both, MenusAndSpeedBars::OnlyMenus, -60},
        {"show both after menus", MenusAndSpeedBars::OnlyMenus, MenusAndSpeedBars::Both, 60},
        {"menus to speed bars", MenusAndSpeedBars::OnlyMenus, MenusAndSpeedBars::OnlySpeedBars,
         60},
        {"speed bars to menus", MenusAndSpeedBars::OnlySpeedBars, MenusAndSpeedBars::OnlyMenus,
         -60},
        {"no change", MenusAndSpeedBars::Both, MenusAndSpeedBars::Both, 0},
    };
    const int windowHeight = 519;
    for (const Case &c : cases) {
        const BarsChange change = {c.from, c.to, kSpeedBarHeight, kMenuBarHeight};
        const int newHeight = windowHeight + windowHeightChange(change);
        EXPECT_EQ(clientHeight(newHeight, c.to) - clientHeight(windowHeight, c.from),
                  c.clientHeightChange)
            << c.name;
        EXPECT_EQ(paneHeight(newHeight, c.to), paneHeight(windowHeight, c.from)) << c.name;

        const BarsChange back = {c.to, c.from, kSpeedBarHeight, kMenuBarHeight};
        EXPECT_EQ(newHeight + windowHeightChange(back), windowHeight) << c.name;
    }
}

TEST(MenusAndSpeedBarsTest, AnUnknownStoredModeShowsBoth)
{
    const auto unknown = static_cast<MenusAndSpeedBars>(7);
    EXPECT_TRUE(showsMenuBar(unknown));
    EXPECT_TRUE(showsSpeedBar(unknown));
}

} // namespace
} // namespace numora::mainwin
