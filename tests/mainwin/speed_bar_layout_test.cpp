#include "mainwin/speed_bar_layout.h"

#include "mainwin/geometry_printers.h"

#include <gtest/gtest.h>

namespace numora::mainwin {
namespace {

// Full rows: "Standard" ends at 236 (240 with the margin after it), "Advanced" at 252
// (256 with its margin).
const QList<int> kStandard = {60, 50, 50, 60};
const QList<int> kAdvanced = {70, 80, 90};
constexpr int kHeight = 40;

SpeedBarLayout layout(int pageWidth, bool compact, QList<QList<int>> pages = {kStandard, kAdvanced})
{
    return layoutSpeedBar({.pageWidth = pageWidth,
                           .buttonTop = 2,
                           .buttonHeight = kHeight,
                           .fullButtonWidths = pages,
                           .compact = compact});
}

TEST(SpeedBarLayoutTest, NarrowingCompactsBothPagesAndOnlyAFullRowWithItsMarginsRestores)
{
    struct Step {
        int pageWidth;
        bool compact;
    };
    const std::vector<Step> steps = {
        {400, false},
        {252, false}, // "Advanced" ends exactly at the page's edge
        {251, true},  // its last button leaves the page
        {200, true},
        {254, true},  // fits again, but without the margin after the last button
        {256, true},
        {257, false}, // 4 + sum of (width + 4) is less than the page width
        {400, false},
    };
    bool compact = false;
    for (const Step &step : steps) {
        const SpeedBarLayout result = layout(step.pageWidth, compact);
        EXPECT_EQ(result.compact, step.compact) << step.pageWidth;
        for (const QList<QRect> &page : result.buttons) {
            for (const QRect &button : page)
                EXPECT_EQ(button.width() == kHeight, step.compact) << step.pageWidth;
        }
        compact = result.compact;
    }
}

TEST(SpeedBarLayoutTest, EitherPageDecidesForBoth)
{
    struct Case {
        const char *name;
        QList<QList<int>> pages;
        int pageWidth;
        bool compactBefore;
        bool compactAfter;
    };
    const std::vector<Case> cases = {
        {"only the first page overflows", {{150, 150}, {10}}, 300, false, true},
        {"only the second page overflows", {{10}, {150, 150}}, 300, false, true},
        {"one page still lacks room to restore", {{10}, {150, 150}}, 312, true, true},
        {"both pages have room to restore", {{10}, {150, 150}}, 313, true, false},
        {"an empty page always fits", {{}, {100}}, 200, true, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(layout(c.pageWidth, c.compactBefore, c.pages).compact, c.compactAfter) << c.name;
}

TEST(SpeedBarLayoutTest, ButtonsStandFromLeft4With4PixelGapsSquareOrFull)
{
    const SpeedBarLayout full = layout(400, false);
    EXPECT_EQ(full.buttons.at(1),
              QList<QRect>({{4, 2, 70, 40}, {78, 2, 80, 40}, {162, 2, 90, 40}}));

    const SpeedBarLayout compact = layout(200, false);
    EXPECT_EQ(compact.buttons.at(0),
              QList<QRect>({{4, 2, 40, 40}, {48, 2, 40, 40}, {92, 2, 40, 40}, {136, 2, 40, 40}}));
    EXPECT_EQ(compact.buttons.at(1),
              QList<QRect>({{4, 2, 40, 40}, {48, 2, 40, 40}, {92, 2, 40, 40}}));
}

} // namespace
} // namespace numora::mainwin
