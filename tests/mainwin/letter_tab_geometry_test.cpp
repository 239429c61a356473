#include "mainwin/letter_tab_geometry.h"

#include "mainwin/geometry_printers.h"

#include <gtest/gtest.h>

namespace numora::mainwin {
namespace {

TEST(LetterTabGeometryTest, ScrollButtonsEndTheBarAndThePanelTakesTheRest)
{
    struct Case {
        QSize bar;
        LetterTabBarLayout expected;
    };
    const std::vector<Case> cases = {
        {{24, 400}, {{0, 0, 24, 16}, {0, 16, 24, 368}, {0, 384, 24, 16}}},
        {{24, 20}, {{0, 0, 24, 16}, {0, 16, 24, 0}, {0, 16, 24, 16}}},
    };
    for (const Case &c : cases) {
        const LetterTabBarLayout layout = layoutLetterTabBar(c.bar);
        EXPECT_EQ(layout.scrollUpButton, c.expected.scrollUpButton) << c.bar.height();
        EXPECT_EQ(layout.tabPanel, c.expected.tabPanel) << c.bar.height();
        EXPECT_EQ(layout.scrollDownButton, c.expected.scrollDownButton) << c.bar.height();
    }
}

TEST(LetterTabGeometryTest, TabsShareThePanelButAreNeverLowerThan14)
{
    struct Case {
        int panelHeight;
        int tabHeight;
    };
    const std::vector<Case> cases = {{546, 21}, {545, 20}, {368, 14}, {100, 14}, {0, 14}};
    for (const Case &c : cases)
        EXPECT_EQ(LetterTabStack({24, c.panelHeight}).tabHeight(), c.tabHeight) << c.panelHeight;
}

TEST(LetterTabGeometryTest, TabsStackFromTheTopOverlappingByOnePixel)
{
    const QList<QRect> tabs = LetterTabStack({24, 520}).tabRects();
    ASSERT_EQ(tabs.size(), 26);
    EXPECT_EQ(tabs.at(0), QRect(0, 0, 24, 20));
    EXPECT_EQ(tabs.at(1), QRect(0, 19, 24, 20));
    EXPECT_EQ(tabs.at(25), QRect(0, 475, 24, 20));
}

TEST(LetterTabGeometryTest, ScrollingIsPossibleOnlyWhileTabsLieOutsideThePanel)
{
    struct Case {
        int panelHeight;
        bool canScrollDown;
    };
    // 14-pixel tabs: "Z" ends at 25 x 13 + 14 = 339.
    const std::vector<Case> cases = {{339, false}, {338, true}, {520, false}, {0, true}};
    for (const Case &c : cases) {
        const LetterTabStack stack({24, c.panelHeight});
        EXPECT_FALSE(stack.canScrollUp()) << c.panelHeight;
        EXPECT_EQ(stack.canScrollDown(), c.canScrollDown) << c.panelHeight;
    }
}

TEST(LetterTabGeometryTest, ScrollingDownToTheEndAndBackUpReturnsToTheStart)
{
    LetterTabStack stack({24, 172});
    const QList<QRect> start = stack.tabRects();

    stack.scrollUp(); // disabled at the start: nothing moves
    EXPECT_EQ(stack.tabRects(), start);

    int clicks = 0;
    while (stack.canScrollDown() && clicks < 100) {
        stack.scrollDown();
        ++clicks;
        EXPECT_EQ(stack.tabRects().at(0).top(), -13 * clicks);
        EXPECT_TRUE(stack.canScrollUp());
    }
    // "Z" must end inside the panel after 13 steps of 13 pixels: 339 - 169 = 170.
    EXPECT_EQ(clicks, 13);
    EXPECT_EQ(stack.tabRects().at(25).bottom(), 169);

    const QList<QRect> end = stack.tabRects();
    stack.scrollDown();
    EXPECT_EQ(stack.tabRects(), end);

    for (int i = 0; i < clicks; ++i)
        stack.scrollUp();
    EXPECT_EQ(stack.tabRects(), start);
    EXPECT_FALSE(stack.canScrollUp());
    EXPECT_TRUE(stack.canScrollDown());
}

} // namespace
} // namespace numora::mainwin
