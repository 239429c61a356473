#include "editors/picture_geometry.h"

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

TEST(PictureGeometryTest, AutoStretchFillsTheBoxKeepingTheAspectRatio)
{
    struct Case {
        const char *name;
        QSize picture;
        QSize box;
        bool autoStretch;
        PictureLayout expected;
    };
    const Case cases[] = {
        {"without auto stretch the picture keeps its size", {400, 300}, {200, 150}, false, {{400, 300}, false}},
        {"a wide picture takes the box width", {400, 100}, {200, 150}, true, {{200, 50}, true}},
        {"a tall picture takes the box height", {100, 400}, {200, 150}, true, {{38, 150}, true}},
        {"a small picture grows to the box", {20, 15}, {200, 150}, true, {{200, 150}, true}},
        {"an empty picture is never stretched", {0, 0}, {200, 150}, true, {{0, 0}, false}},
        {"a box without height shows nothing", {40, 30}, {200, 0}, true, {{0, 0}, true}},
    };
    for (const Case &c : cases) {
        const PictureLayout layout = layoutPicture(c.picture, c.box, c.autoStretch);
        EXPECT_EQ(layout.imageSize, c.expected.imageSize) << c.name;
        EXPECT_EQ(layout.stretched, c.expected.stretched) << c.name;
    }
}

TEST(PictureGeometryTest, TheToolBarNeedsTwoHundredAndTenPixels)
{
    EXPECT_TRUE(toolBarShown(true, false, 210));
    EXPECT_FALSE(toolBarShown(true, false, 209));
    EXPECT_FALSE(toolBarShown(false, false, 400));
    EXPECT_FALSE(toolBarShown(true, true, 400));
}

TEST(PictureGeometryTest, PrintedPicturesAreReadableAndFitThePage)
{
    struct Case {
        const char *name;
        QSize picture;
        QSize expected;
    };
    // A page of 4000 by 5000 device pixels.
    const Case cases[] = {
        {"a small wide picture grows to a fifth of the page height", {100, 50}, {2000, 1000}},
        {"a small tall picture grows to a quarter of the page width", {50, 100}, {1000, 2000}},
        {"a picture already large enough keeps its size", {2000, 1500}, {2000, 1500}},
        {"a picture larger than the page shrinks to fit", {8000, 2000}, {4000, 1000}},
        {"a thin strip grows, then shrinks to fit", {10, 1000}, {50, 5000}},
        {"no picture, nothing printed", {0, 0}, {0, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(printedPictureSize(c.picture, {4000, 5000}), c.expected) << c.name;
}

TEST(PictureGeometryTest, TheCaptureAreaIsWhatTheUserSwept)
{
    const QRect screen(0, 0, 800, 600);
    struct Case {
        const char *name;
        QPoint press;
        QPoint release;
        QRect expected;
    };
    const Case cases[] = {
        {"dragged down and right", {10, 20}, {110, 70}, QRect(10, 20, 100, 50)},
        {"dragged up and left", {110, 70}, {10, 20}, QRect(10, 20, 100, 50)},
        {"a click sweeps nothing", {50, 50}, {50, 50}, QRect()},
        {"a straight down drag has no width", {50, 10}, {50, 300}, QRect()},
        {"a sideways drag has no height", {10, 50}, {300, 50}, QRect()},
        {"clipped to the screen", {700, 500}, {900, 700}, QRect(700, 500, 100, 100)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(captureArea(c.press, c.release, screen), c.expected) << c.name;
}

} // namespace
} // namespace numora::editors
