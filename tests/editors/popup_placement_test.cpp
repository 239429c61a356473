#include "editors/popup_placement.h"

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

TEST(PopupPlacementTest, BelowTheFieldUnlessTheScreenEndsFirst)
{
    const QRect screen(0, 0, 800, 600);
    const QSize popup(115, 176);
    struct Case {
        const char *name;
        QRect field;
        PopupAlignment alignment;
        QPoint topLeft;
    };
    const Case cases[] = {
        {"below, left edges", QRect(100, 100, 120, 22), PopupAlignment::FieldLeft, {100, 122}},
        {"below, right edges", QRect(100, 100, 120, 22), PopupAlignment::FieldRight, {105, 122}},
        {"above near the bottom", QRect(100, 500, 120, 22), PopupAlignment::FieldLeft, {100, 324}},
        {"pushed left at the right edge", QRect(750, 100, 40, 22), PopupAlignment::FieldLeft,
         {685, 122}},
        {"never past the left edge", QRect(10, 100, 40, 22), PopupAlignment::FieldRight,
         {0, 122}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(placePopup(c.field, popup, screen, c.alignment), c.topLeft) << c.name;
}

} // namespace
} // namespace numora::editors
