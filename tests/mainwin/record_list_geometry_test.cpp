#include "mainwin/record_list_geometry.h"

#include "mainwin/geometry_printers.h"

#include <gtest/gtest.h>

#include <limits>

namespace numora::mainwin {
namespace {

// The header ends at 46, so the first row starts at 54; rows are 22 high with 2-pixel
// gaps; the paging row is 24-pixel buttons with 2 pixels above and below.
ListPaneInput paneOf(QSize paneSize)
{
    return {.paneSize = paneSize,
            .header = {5, 26, 316, 20},
            .rowHeight = 22,
            .pagingButtonWidths = {40, 40, 40, 40},
            .pagingButtonHeight = 24,
            .sponsorButtonWidth = 100};
}

TEST(RecordListGeometryTest, RowHeightFollowsTheRecordButtonsFont)
{
    struct Case {
        int borderHeight;
        int fontHeight;
        int systemFontHeight;
        int rowHeight;
    };
    const std::vector<Case> cases = {
        {1, 16, 16, 24},
        {1, 30, 16, 38}, // a large font adds a quarter of the system font only
        {1, 10, 16, 16}, // a small font adds a quarter of itself
        {2, 13, 16, 24},
    };
    for (const Case &c : cases)
        EXPECT_EQ(recordRowHeight(c.borderHeight, c.fontHeight, c.systemFontHeight), c.rowHeight)
            << c.fontHeight;
}

TEST(RecordListGeometryTest, RowsPerPageAreTheWholeRowsBetweenHeaderAndPagingRow)
{
    struct Case {
        const char *name;
        int paneHeight;
        int rowsPerPage;
    };
    const std::vector<Case> cases = {
        {"ten rows exactly", 54 + 10 * 24 + 28, 10},
        {"one pixel short of the tenth", 54 + 10 * 24 + 27, 9},
        {"no room for a row", 54 + 28, 0},
        {"pane lower than the header", 30, 0},
    };
    for (const Case &c : cases) {
        const ListPaneLayout layout = layoutListPane(paneOf({326, c.paneHeight}));
        EXPECT_EQ(layout.rowsPerPage, c.rowsPerPage) << c.name;
        EXPECT_EQ(layout.rows.size(), c.rowsPerPage) << c.name;
    }
}

TEST(RecordListGeometryTest, RowsStackUnderTheHeaderAndEndAboveThePagingRow)
{
    const ListPaneLayout ten = layoutListPane(paneOf({326, 322}));
    ASSERT_EQ(ten.rows.size(), 10);
    EXPECT_EQ(ten.rows.front(), QRect(4, 54, 318, 22));
    EXPECT_EQ(ten.rows.back(), QRect(4, 270, 318, 22));
    EXPECT_EQ(ten.sortBarWidth, 316);

    for (int height = 82; height < 400; ++height) {
        const ListPaneLayout layout = layoutListPane(paneOf({326, height}));
        const int pagingTop = layout.pagingRow.first.top();
        if (!layout.rows.isEmpty()) {
            EXPECT_LT(layout.rows.back().bottom(), pagingTop) << height;
        }
    }
}

TEST(RecordListGeometryTest, TheSponsorGivesWayBeforeThePagingButtonsLoseTheirCaptions)
{
    struct Case {
        int width;
        bool compact;
        QRect first;
        QRect pageUp;
        QRect sponsor;
        QRect pageDown;
        QRect last;
    };
    // Four 40-pixel buttons and a 100-pixel sponsor button need 272 pixels with margins,
    // the four buttons alone 172.
    const std::vector<Case> cases = {
        {326, false, {4, 296, 40, 24}, {46, 296, 40, 24}, {113, 296, 100, 24},
         {240, 296, 40, 24}, {282, 296, 40, 24}},
        {272, false, {4, 296, 40, 24}, {46, 296, 40, 24}, {86, 296, 100, 24},
         {186, 296, 40, 24}, {228, 296, 40, 24}},
        {271, false, {4, 296, 40, 24}, {46, 296, 40, 24}, {}, {185, 296, 40, 24},
         {227, 296, 40, 24}},
        {172, false, {4, 296, 40, 24}, {46, 296, 40, 24}, {}, {86, 296, 40, 24},
         {128, 296, 40, 24}},
        {171, true, {4, 296, 24, 24}, {30, 296, 24, 24}, {}, {117, 296, 24, 24},
         {143, 296, 24, 24}},
        {272, false, {4, 296, 40, 24}, {46, 296, 40, 24}, {86, 296, 100, 24},
         {186, 296, 40, 24}, {228, 296, 40, 24}},
    };
    for (const Case &c : cases) {
        const PagingRowLayout row = layoutListPane(paneOf({c.width, 322})).pagingRow;
        EXPECT_EQ(row.compact, c.compact) << c.width;
        EXPECT_EQ(row.first, c.first) << c.width;
        EXPECT_EQ(row.pageUp, c.pageUp) << c.width;
        EXPECT_EQ(row.sponsor, c.sponsor) << c.width;
        EXPECT_EQ(row.pageDown, c.pageDown) << c.width;
        EXPECT_EQ(row.last, c.last) << c.width;
    }
}

TEST(RecordListGeometryTest, SectionSharesAreRoundedPercentagesOfTheHeader)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case {
        const char *name;
        QList<int> widths;
        int headerWidth;
        QList<int> shares;
    };
    const std::vector<Case> cases = {
        {"two sections", {50, 100}, 150, {33, 67}},
        {"a half rounds up", {1}, 200, {1}},
        {"just under a half rounds down", {1}, 201, {0}},
        {"sections wider than the header", {300}, 200, {150}},
        {"header without width", {50, 100}, 0, {0, 0}},
        {"damaged widths", {-20, kMax}, 1, {0, kMax}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sectionShares(c.widths, c.headerWidth), c.shares) << c.name;
}

TEST(RecordListGeometryTest, ColumnsShareTheRowFrom6AndCentreTheirText)
{
    struct Case {
        const char *name;
        QSize row;
        QList<int> shares;
        int textHeight;
        bool pressed;
        QList<QRect> rects;
    };
    const std::vector<Case> cases = {
        {"two columns", {300, 24}, {33, 67}, 16, false, {{6, 4, 96, 16}, {102, 4, 196, 16}}},
        {"pressed", {300, 24}, {33, 67}, 16, true, {{7, 5, 96, 16}, {103, 5, 196, 16}}},
        {"small text centred", {300, 24}, {100}, 8, false, {{6, 8, 292, 8}}},
        {"tall text capped at row height less 6", {300, 20}, {100}, 18, false,
         {{6, 3, 292, 14}}},
        {"a row lower than 6 has no text band", {300, 3}, {100}, 16, false, {{6, 2, 292, 0}}},
        {"columns past the row are cut off", {108, 24}, {80, 80, 10}, 16, false,
         {{6, 4, 80, 16}, {86, 4, 20, 16}, {106, 4, 0, 16}}},
        {"damaged shares", {108, 24}, {-5, std::numeric_limits<int>::max()}, 16, false,
         {{6, 4, 0, 16}, {6, 4, 100, 16}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(columnTextRects(c.row, c.shares, c.textHeight, c.pressed), c.rects) << c.name;
}

} // namespace
} // namespace numora::mainwin
