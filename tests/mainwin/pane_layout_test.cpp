#include "mainwin/pane_layout.h"

#include "mainwin/geometry_printers.h"

#include <gtest/gtest.h>

namespace numora::mainwin {
namespace {

using settings::LetterTabsLocation;
using settings::SpeedBarLocation;

TEST(PaneLayoutTest, AWindowIsNeverSmallerThan400By300)
{
    const std::vector<std::pair<QSize, QSize>> cases = {
        {{300, 200}, {400, 300}},
        {{500, 200}, {500, 300}},
        {{300, 600}, {400, 600}},
        {{400, 300}, {400, 300}},
        {{800, 600}, {800, 600}},
    };
    for (const auto &[requested, expected] : cases)
        EXPECT_EQ(windowSizeAtLeastMinimum(requested), expected) << requested.width();
}

TEST(PaneLayoutTest, TheListPaneKeepsItsMinimumWidthFromTheFormPaneFirstThenTheWindow)
{
    struct Case {
        const char *name;
        int clientWidth;
        int recordFormWidth;
        int listWidth;
        int expectedFormWidth;
        int windowGrowth;
    };
    const std::vector<Case> cases = {
        {"design size", 630, 280, 326, 280, 0},
        {"list exactly at its minimum", 484, 280, 180, 280, 0},
        {"form pane gives up the missing pixels", 460, 280, 180, 256, 0},
        {"form pane gives up to its minimum", 434, 280, 180, 230, 0},
        {"window widens for the rest", 400, 280, 180, 230, 34},
        {"splitter widened the form pane in a 640 window", 640, 500, 180, 436, 0},
        {"form pane already below its minimum is not widened", 400, 196, 180, 196, 0},
        {"form pane below its minimum gives nothing", 390, 196, 180, 196, 10},
    };
    for (const Case &c : cases) {
        const PaneLayout layout =
            layoutPanes({.clientSize = {c.clientWidth, 450}, .recordFormWidth = c.recordFormWidth});
        EXPECT_EQ(layout.listPane.width(), c.listWidth) << c.name;
        EXPECT_EQ(layout.recordFormPane.width(), c.expectedFormWidth) << c.name;
        EXPECT_EQ(layout.windowGrowth, c.windowGrowth) << c.name;
        EXPECT_EQ(layout.speedBar.width(), c.clientWidth + c.windowGrowth) << c.name;
        EXPECT_EQ(layout.speedBar.left(), 0) << c.name;
    }
}

TEST(PaneLayoutTest, PanesSpeedBarAndGripStackToTheClientHeight)
{
    struct Case {
        const char *name;
        bool speedBarVisible;
        SpeedBarLocation location;
        QRect speedBar;
        int paneTop;
        int paneHeight;
        int gripTop;
    };
    // A 450-pixel client: the 60-pixel speed bar and the 14-pixel grip leave 376.
    const std::vector<Case> cases = {
        {"speed bar at the bottom", true, SpeedBarLocation::Bottom, {0, 376, 630, 60}, 0, 376,
         436},
        {"speed bar at the top", true, SpeedBarLocation::Top, {0, 0, 630, 60}, 60, 376, 436},
        {"hidden speed bar set to the bottom", false, SpeedBarLocation::Bottom, {}, 0, 436, 436},
        {"hidden speed bar set to the top", false, SpeedBarLocation::Top, {}, 0, 436, 436},
    };
    for (const Case &c : cases) {
        const PaneLayout layout = layoutPanes({.clientSize = {630, 450},
                                               .speedBarVisible = c.speedBarVisible,
                                               .speedBarLocation = c.location});
        EXPECT_EQ(layout.speedBar, c.speedBar) << c.name;
        for (const QRect &pane : {layout.listPane, layout.letterTabBar, layout.recordFormPane}) {
            EXPECT_EQ(pane.top(), c.paneTop) << c.name;
            EXPECT_EQ(pane.height(), c.paneHeight) << c.name;
        }
        EXPECT_EQ(layout.grip.top(), c.gripTop) << c.name;
        EXPECT_EQ(layout.grip.size(), QSize(10, 14)) << c.name;
    }
}

TEST(PaneLayoutTest, LetterTabsStandInTheCentreOrOnTheRightAndTheGripFollowsTheFormPane)
{
    struct Case {
        LetterTabsLocation location;
        int tabLeft;
        int formLeft;
        int gripLeft;
    };
    const std::vector<Case> cases = {
        // Grip centred on the letter tab bar: 326 + 12 - 5.
        {LetterTabsLocation::Center, 326, 350, 333},
        // Grip centred 12 pixels left of the form pane's edge: 326 - 12 - 5.
        {LetterTabsLocation::Right, 606, 326, 309},
    };
    for (const Case &c : cases) {
        const PaneLayout layout =
            layoutPanes({.clientSize = {630, 450}, .letterTabsLocation = c.location});
        EXPECT_EQ(layout.listPane, QRect(0, 0, 326, 376));
        EXPECT_EQ(layout.letterTabBar, QRect(c.tabLeft, 0, 24, 376));
        EXPECT_EQ(layout.recordFormPane, QRect(c.formLeft, 0, 280, 376));
        EXPECT_EQ(layout.grip.left(), c.gripLeft);
    }
}

TEST(PaneLayoutTest, AClientTooLowForSpeedBarAndGripLeavesEmptyPanes)
{
    const PaneLayout layout = layoutPanes({.clientSize = {630, 50}});
    EXPECT_EQ(layout.listPane.height(), 0);
    EXPECT_EQ(layout.recordFormPane.height(), 0);
    EXPECT_EQ(layout.speedBar.top(), 0);
}

TEST(PaneLayoutTest, TheRecordSpeedBarsCountersAndButtonsKeepToItsRightEnd)
{
    const RecordSpeedBarEnd designed = {
        .positionCounter = {10, 3, 60, 15},
        .percentCounter = {90, 40, 60, 15},
        .previousButton = {10, 4, 25, 25},
        .nextButton = {40, 4, 25, 25},
    };
    struct Case {
        int barWidth;
        int counterLeft;
        int nextLeft;
        int previousLeft;
    };
    const std::vector<Case> cases = {
        {280, 218, 191, 164},
        {500, 438, 411, 384},
    };
    for (const Case &c : cases) {
        const RecordSpeedBarEnd placed = placeRecordSpeedBarEnd(c.barWidth, designed);
        EXPECT_EQ(placed.positionCounter, QRect(c.counterLeft, 3, 60, 15)) << c.barWidth;
        EXPECT_EQ(placed.percentCounter, QRect(c.counterLeft, 18, 60, 15)) << c.barWidth;
        EXPECT_EQ(placed.nextButton, QRect(c.nextLeft, 4, 25, 25)) << c.barWidth;
        EXPECT_EQ(placed.previousButton, QRect(c.previousLeft, 4, 25, 25)) << c.barWidth;
    }
}

// Six 24-pixel buttons need 144 pixels after the 2-pixel edge, and 2 more before Previous.
TEST(PaneLayoutTest, RecordSpeedBarButtonsNarrowAndThenHideRatherThanCoverPrevious)
{
    const QRect designed(0, 4, 24, 24);
    struct Case {
        int previousLeft;
        int width;          // of every placed button
        int placed;         // buttons with a place; the rest are hidden
    };
    const std::vector<Case> cases = {
        {400, 24, 6}, {148, 24, 6}, {147, 23, 6}, {136, 22, 6}, {112, 18, 6}, {111, 18, 5},
        {30, 18, 1},  {21, 18, 0},
    };
    for (const Case &c : cases) {
        const QList<QRect> buttons = placeRecordSpeedBarButtons(6, designed, c.previousLeft);
        ASSERT_EQ(buttons.size(), 6) << c.previousLeft;
        for (int i = 0; i < 6; ++i) {
            const QRect &button = buttons[i];
            if (i >= c.placed) {
                EXPECT_TRUE(button.isNull()) << c.previousLeft << " button " << i;
                continue;
            }
            EXPECT_EQ(button.width(), c.width) << c.previousLeft << " button " << i;
            EXPECT_EQ(button.top(), 4);
            EXPECT_LE(button.right() + 1 + kRecordSpeedBarGap, c.previousLeft) << i;
            const int left = i > 0 ? buttons[i - 1].right() + 1 : kRecordSpeedBarEdge;
            EXPECT_EQ(button.left(), left) << c.previousLeft << " button " << i;
        }
    }
}

} // namespace
} // namespace numora::mainwin
