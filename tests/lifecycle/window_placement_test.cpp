#include "lifecycle/window_placement.h"

#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

namespace numora::lifecycle {

// Readable failures: "Apply (10,20 640x480) pane 300" rather than bytes.
void PrintTo(const PlannedPlacement &plan, std::ostream *os)
{
    static const char *const names[] = {"KeepDefault", "Maximise", "Apply"};
    const QRect &g = plan.geometry;
    *os << names[int(plan.action)] << " (" << g.left() << ',' << g.top() << ' ' << g.width()
        << 'x' << g.height() << ") pane " << plan.formPaneWidth;
}

namespace {

using Action = PlannedPlacement::Action;

TEST(WindowPlacementFile, FieldsAreLittleEndianInTheirFileOrder)
{
    const WindowPlacement placement{.top = 1, .left = -2, .width = 0x01020304, .height = 600,
                                    .formPaneWidth = 300};
    const QByteArray expected = QByteArray::fromHex("01000000"  // top
                                                    "feffffff"  // left
                                                    "04030201"  // width
                                                    "58020000"  // height
                                                    "2c010000"); // record form pane width
    EXPECT_EQ(encodeWindowPlacement(placement), expected);
    EXPECT_EQ(decodeWindowPlacement(expected), placement);
}

TEST(WindowPlacementFile, DecodingNeedsAWholeRecord)
{
    const QByteArray record = encodeWindowPlacement({10, 20, 640, 480, 300});
    EXPECT_EQ(decodeWindowPlacement({}), std::nullopt);
    EXPECT_EQ(decodeWindowPlacement(record.left(kWindowPlacementSize - 1)), std::nullopt);
    EXPECT_EQ(decodeWindowPlacement(record + "extra"), WindowPlacement({10, 20, 640, 480, 300}));
}

TEST(WindowPlacementRule, WhatAStoredPlacementDoesToTheNewWindow)
{
    const int current = 320;
    struct Case {
        const char *what;
        std::optional<WindowPlacement> stored;
        PlannedPlacement expected;
    };
    const std::vector<Case> cases = {
        {"no file", std::nullopt, {Action::KeepDefault, {}, current}},
        {"a normal window", WindowPlacement{10, 20, 640, 480, 300},
         {Action::Apply, QRect(20, 10, 640, 480), 300}},
        {"a window partly off the screen's top left", WindowPlacement{-8, -1200, 640, 480, 300},
         {Action::Apply, QRect(-1200, -8, 640, 480), 300}},
        {"the pane as wide as now", WindowPlacement{0, 0, 640, 480, current},
         {Action::Apply, QRect(0, 0, 640, 480), current}},
        {"a pane below the minimum", WindowPlacement{0, 0, 640, 480, 100},
         {Action::Apply, QRect(0, 0, 640, 480), kMinimumRestoredFormPaneWidth}},
        {"maximised at exit", WindowPlacement{}, {Action::Maximise, {}, current}},
        {"maximised with a stray position", WindowPlacement{5, 7, 0, 0, 0},
         {Action::Maximise, {}, current}},
        {"width 0 only", WindowPlacement{0, 0, 0, 480, 300}, {Action::KeepDefault, {}, current}},
        {"height 0 only", WindowPlacement{0, 0, 640, 0, 300}, {Action::KeepDefault, {}, current}},
        {"pane width 0 only", WindowPlacement{0, 0, 640, 480, 0},
         {Action::KeepDefault, {}, current}},
        {"a negative width", WindowPlacement{0, 0, -640, 480, 300},
         {Action::KeepDefault, {}, current}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(planPlacement(c.stored, current), c.expected);
    }
}

// A damaged wnd.dat may hold any 32-bit values. The plan must come out of plain
// arithmetic (the sanitizer build fails on an overflow) with a geometry whose edges and
// pane lie within the limits.
TEST(WindowPlacementRule, HostileStoredValuesStayWithinSaneLimits)
{
    constexpr qint32 min = std::numeric_limits<qint32>::min();
    constexpr qint32 max = std::numeric_limits<qint32>::max();
    struct Case {
        const char *what;
        WindowPlacement stored;
        Action action;
    };
    const std::vector<Case> cases = {
        {"the largest width", {0, 20, max, 480, 300}, Action::Apply},
        {"the largest height", {10, 0, 640, max, 300}, Action::Apply},
        {"everything the largest", {max, max, max, max, max}, Action::Apply},
        {"huge offsets", {max - 100, max - 100, 640, 480, 300}, Action::Apply},
        {"far off to the top left", {min, min, 640, 480, 300}, Action::Apply},
        {"far off and as large as can be", {min, min, max, max, max}, Action::Apply},
        {"the largest pane", {10, 20, 640, 480, max}, Action::Apply},
        {"the smallest sizes", {0, 0, min, min, min}, Action::KeepDefault},
        {"a negative height", {0, 0, 640, -480, 300}, Action::KeepDefault},
        {"a negative pane", {0, 0, 640, 480, -300}, Action::KeepDefault},
        {"the smallest position, maximised", {min, min, 0, 0, 0}, Action::Maximise},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const PlannedPlacement plan = planPlacement(c.stored, 320);
        EXPECT_EQ(plan.action, c.action);
        if (plan.action != Action::Apply)
            continue;
        const QRect &g = plan.geometry;
        EXPECT_GE(g.left(), -kPlacementLimit);
        EXPECT_GE(g.top(), -kPlacementLimit);
        EXPECT_LE(g.left(), kPlacementLimit);
        EXPECT_LE(g.top(), kPlacementLimit);
        EXPECT_GT(g.width(), 0);
        EXPECT_GT(g.height(), 0);
        EXPECT_LE(g.width(), kPlacementLimit);
        EXPECT_LE(g.height(), kPlacementLimit);
        EXPECT_EQ(qint64(g.right()), qint64(g.left()) + g.width() - 1);
        EXPECT_EQ(qint64(g.bottom()), qint64(g.top()) + g.height() - 1);
        EXPECT_GE(plan.formPaneWidth, kMinimumRestoredFormPaneWidth);
        EXPECT_LE(plan.formPaneWidth, kPlacementLimit);
    }
}

// What a reasonable stored placement asks for is applied as it is.
TEST(WindowPlacementRule, ValuesWithinTheLimitsAreKept)
{
    const WindowPlacement edge{-kPlacementLimit, kPlacementLimit, kPlacementLimit, 1,
                               kPlacementLimit};
    EXPECT_EQ(planPlacement(edge, 320),
              (PlannedPlacement{Action::Apply,
                                QRect(kPlacementLimit, -kPlacementLimit, kPlacementLimit, 1),
                                kPlacementLimit}));
}

class WindowPlacementAcrossRuns : public ::testing::Test {
protected:
    PlannedPlacement nextStart() const
    {
        return planPlacement(readWindowPlacement(temp.path()), 320);
    }

    test::TempFolder temp;
};

TEST_F(WindowPlacementAcrossRuns, AWindowMaximisedAtExitOpensMaximised)
{
    ASSERT_TRUE(writeWindowPlacement(temp.path(),
                                     placementToSave(true, QRect(20, 10, 640, 480), 300)));
    EXPECT_EQ(test::fileBytes(temp.file(kWindowPlacementFile)),
              QByteArray(kWindowPlacementSize, '\0'));
    EXPECT_EQ(nextStart().action, Action::Maximise);
}

TEST_F(WindowPlacementAcrossRuns, ANormalWindowComesBackWhereItWas)
{
    ASSERT_TRUE(writeWindowPlacement(temp.path(),
                                     placementToSave(false, QRect(20, 10, 640, 480), 300)));
    EXPECT_EQ(nextStart(), (PlannedPlacement{Action::Apply, QRect(20, 10, 640, 480), 300}));
}

TEST_F(WindowPlacementAcrossRuns, AShortFileLeavesTheDefaultPlacement)
{
    test::writeFileBytes(temp.file(kWindowPlacementFile), QByteArray(12, '\0'));
    EXPECT_EQ(nextStart().action, Action::KeepDefault);
}

} // namespace
} // namespace numora::lifecycle
