#include "mainwin/splitter.h"

#include <gtest/gtest.h>

namespace numora::mainwin {
namespace {

TEST(SplitterTest, TheFormPaneFollowsTheDragWithinBothLimits)
{
    struct Case {
        const char *name;
        int clientWidth;
        int distance;
        int expectedWidth;
    };
    // The record form pane starts 280 wide; the letter tab bar is 24 wide.
    const std::vector<Case> cases = {
        {"a click without a move changes nothing", 640, 0, 280},
        {"moving left widens the form pane", 640, -50, 330},
        {"moving right narrows it", 640, 30, 250},
        {"not below the form pane's minimum", 640, 100, 230},
        {"the list pane keeps 180 pixels", 640, -200, 436},
        {"the list pane wins when both limits clash", 400, 100, 196},
        {"never negative", 150, 0, 0},
    };
    for (const Case &c : cases) {
        const int width = recordFormWidthAfterDrag(
            {.recordFormWidth = 280, .distance = c.distance, .clientWidth = c.clientWidth});
        EXPECT_EQ(width, c.expectedWidth) << c.name;
    }
}

TEST(SplitterTest, InA640PixelWindowTheListPaneNeverDropsBelow180)
{
    for (int distance = -640; distance <= 640; distance += 16) {
        const int formWidth = recordFormWidthAfterDrag(
            {.recordFormWidth = 280, .distance = distance, .clientWidth = 640});
        const PaneLayout layout =
            layoutPanes({.clientSize = {640, 450}, .recordFormWidth = formWidth});
        EXPECT_GE(layout.listPane.width(), 180) << distance;
        EXPECT_EQ(layout.windowGrowth, 0) << distance;
        EXPECT_GE(layout.recordFormPane.width(), kMinimumRecordFormWidth) << distance;
    }
}

} // namespace
} // namespace numora::mainwin
