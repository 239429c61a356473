// The record form's stretch over the product layout: which controls take the width and
// the height a resize of the form pane gives or takes.

#include "geometry_printers.h"
#include "mainwin/coin_layout.h"
#include "mainwin/form_stretch.h"

#include <gtest/gtest.h>

using namespace numora::mainwin;

namespace {

StretchKind stretchKindOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Memo: return StretchKind::MultiLine;
    case ControlKind::Picture: return StretchKind::Picture;
    default: return StretchKind::OneLine;
    }
}

// The pages as the layout places them, each label 60 x 14 pixels.
std::vector<StretchPage> layoutPages()
{
    std::vector<StretchPage> pages(size_t(coinLayout().pageCaptions.size()));
    for (const FieldLayout &field : coinLayout().fields)
        pages[size_t(field.page)].push_back(
            {stretchKindOf(field.kind), field.box, QRect(field.labelAt, QSize(60, 14))});
    return pages;
}

const StretchField &fieldOf(const std::vector<StretchPage> &pages, int number)
{
    const FieldLayout &layout = coinLayout().fields[size_t(number - 1)];
    const StretchPage &page = pages[size_t(layout.page)];
    size_t index = 0;
    for (const FieldLayout &other : coinLayout().fields)
        if (other.page == layout.page && other.number < number)
            ++index;
    return page.at(index);
}

class FormStretchTest : public ::testing::Test {
protected:
    std::vector<StretchPage> stretched(QSize change) const
    {
        return stretchForm(layoutPages(), designSize + change, change);
    }
    QRect box(const std::vector<StretchPage> &pages, int number) const { return fieldOf(pages, number).control; }
    QRect label(const std::vector<StretchPage> &pages, int number) const { return fieldOf(pages, number).label; }

    const QSize designSize = coinLayout().designPageSize;
    const std::vector<StretchPage> before = layoutPages();
};

// The row of three share the width change between its last two controls.
TEST_F(FormStretchTest, ThreeInARowShareTheWidthBetweenTheLastTwo)
{
    struct Case {
        int dW;
        int silverWider;
        int goldMoves;
        int goldWider;
    };
    for (const Case &c : {Case{21, 10, 10, 11}, Case{-21, -10, -10, -11}, Case{1, 0, 0, 1}}) {
        SCOPED_TRACE(c.dW);
        const auto after = stretched({c.dW, 0});
        EXPECT_EQ(box(after, 16), box(before, 16)); // Weight
        EXPECT_EQ(box(after, 17), box(before, 17).adjusted(0, 0, c.silverWider, 0));
        EXPECT_EQ(box(after, 18), box(before, 18).translated(c.goldMoves, 0).adjusted(0, 0, c.goldWider, 0));
        EXPECT_EQ(label(after, 18), label(before, 18).translated(c.goldMoves, 0));
        EXPECT_EQ(label(after, 17), label(before, 17));
    }
}

TEST_F(FormStretchTest, OneLineControlsAloneInTheirRowTakeTheWholeWidth)
{
    const auto after = stretched({20, 0});
    for (int number : {1, 3, 11, 15})
        EXPECT_EQ(box(after, number), box(before, number).adjusted(0, 0, 20, 0)) << number;
}

// Both end 8 pixels above the page's bottom, as the layout placed them.
TEST_F(FormStretchTest, NotesAndPictureTakeTheHeightTheirPagesGainOrLose)
{
    for (const QSize change : {QSize(10, 50), QSize(-10, -40)}) {
        SCOPED_TRACE(change.height());
        const auto after = stretched(change);
        const int pageBottom = designSize.height() + change.height();
        for (int number : {25, 26}) {
            const QRect stretchedBox = box(after, number);
            EXPECT_EQ(stretchedBox.top() + stretchedBox.height() + 8, pageBottom) << number;
            EXPECT_EQ(stretchedBox.width(), box(before, number).width() + change.width()) << number;
            EXPECT_EQ(stretchedBox.topLeft(), box(before, number).topLeft()) << number;
        }
        EXPECT_EQ(label(after, 25), label(before, 25));
    }
}

// A page the controls do not fit leaves the notes one line high, never less.
TEST_F(FormStretchTest, ShrinkingStopsAtOneLineHeight)
{
    const auto after = stretched({0, -300});
    EXPECT_EQ(box(after, 25).height(), kDefaultOneLineHeight);
    EXPECT_EQ(box(after, 26).height(), kDefaultOneLineHeight);
    EXPECT_EQ(box(after, 1), box(before, 1));
}

// The small picture keeps beside the amounts: it moves with the width and ends level
// with the field before it, whatever the height does.
TEST_F(FormStretchTest, PictureSharingItsPageMovesRightAndEndsLevelWithThePreviousField)
{
    const auto after = stretched({20, 60});
    const QRect picture = box(after, 10);
    const QRect marketValue = box(after, 9);
    EXPECT_EQ(picture.left(), box(before, 10).left() + 20);
    EXPECT_EQ(picture.top(), box(before, 10).top());
    EXPECT_EQ(picture.top() + picture.height(), marketValue.top() + marketValue.height());
    EXPECT_EQ(label(after, 10), label(before, 10).translated(20, 0));
    EXPECT_EQ(marketValue, box(before, 9).adjusted(0, 0, 20, 0));
}

// Two multi-line fields on one page share the growth; what follows the first moves down.
TEST(FormStretch, MultiLineFieldsShareTheGrowthAndPushTheFollowersDown)
{
    const StretchPage page = {
        {StretchKind::OneLine, {6, 6, 100, 20}, {}},
        {StretchKind::MultiLine, {6, 30, 100, 50}, {6, 16, 40, 14}},
        {StretchKind::MultiLine, {6, 100, 100, 50}, {6, 86, 40, 14}},
    };
    // Extent 158: a page of 218 gives 60, 30 for each.
    const StretchPage after = stretchPage(page, {120, 218}, {0, 60});
    EXPECT_EQ(after[0].control, page[0].control);
    EXPECT_EQ(after[1].control, QRect(6, 30, 100, 80));
    EXPECT_EQ(after[1].label, page[1].label);
    EXPECT_EQ(after[2].control, QRect(6, 130, 100, 80));
    EXPECT_EQ(after[2].label, QRect(6, 116, 40, 14));
}

// A larger one-line font: rows grow, what is below them moves down with its label, and
// a row of two grows once.
TEST_F(FormStretchTest, ReflowMakesRoomForTallerLinesWithoutOverlaps)
{
    const auto &page = before[1];
    const StretchPage after = reflowPage(page, 30);
    ASSERT_EQ(after.size(), page.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_GE(after[i].control.height(), 30) << i;
        EXPECT_EQ(after[i].label.top() - after[i].control.top(), page[i].label.top() - page[i].control.top()) << i;
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(after[i].control.intersects(after[j].control)) << i << " and " << j;
    }
    // Fields 11 and 12: 6 more pixels for the first row; Weight, Silver, Gold in one row.
    EXPECT_EQ(after[1].control.top(), page[1].control.top() + 6);
    EXPECT_EQ(after[5].control.top(), after[6].control.top());
    EXPECT_EQ(reflowPage(page, 20), page);
}

} // namespace
