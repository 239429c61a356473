#pragma once
// Where the main window puts its areas: the speed bar, the record list pane, the letter
// tab bar, the record form pane and the splitter grip, computed from the size of the
// window's client area (below the menu bar) and the display options. The window runs it
// at construction, after every resize, after the splitter is released and after the
// display options change, and applies the rectangles as they come.
//
// The list pane always keeps kMinimumListPaneWidth: the record form pane gives up width
// first, down to its minimum, and the window is widened by whatever is still missing.

#include "settings/database_options.h"

#include <QList>
#include <QRect>
#include <QSize>

namespace numora::mainwin {

inline constexpr QSize kMinimumWindowSize{400, 300};
inline constexpr int kMinimumListPaneWidth = 180;
inline constexpr int kSpeedBarHeight = 60;
inline constexpr int kLetterTabBarWidth = 24;
// The record form pane's width at construction. Until the web features are switched off
// during start-up it is also the least width a stored pane width may give it.
inline constexpr int kInitialRecordFormWidth = 280;
// The least record form pane width with the web features off, as in this product.
inline constexpr int kMinimumRecordFormWidth = 230;
inline constexpr QSize kGripSize{10, 14};

// A resize below kMinimumWindowSize is raised to it, each dimension on its own.
QSize windowSizeAtLeastMinimum(QSize requested);

struct PaneLayoutInput {
    QSize clientSize;
    bool speedBarVisible = true;
    settings::SpeedBarLocation speedBarLocation = settings::SpeedBarLocation::Bottom;
    settings::LetterTabsLocation letterTabsLocation = settings::LetterTabsLocation::Center;
    int recordFormWidth = kInitialRecordFormWidth;
    int minimumRecordFormWidth = kMinimumRecordFormWidth;
    int speedBarHeight = kSpeedBarHeight;
    int letterTabBarWidth = kLetterTabBarWidth;
};

struct PaneLayout {
    QRect speedBar; // null while the speed bar is hidden
    QRect listPane;
    QRect letterTabBar;
    QRect recordFormPane; // its width is the one to remember for the next layout
    QRect grip;
    // Pixels the window must be widened by so that the list pane keeps its minimum width.
    // The rectangles above already assume the widened client area.
    int windowGrowth = 0;
};

// The panes share top and height and fill the client area's height together with the
// speed bar (when visible) and the grip below them all. A client area too low for the
// speed bar and the grip leaves the panes 0 pixels high.
PaneLayout layoutPanes(const PaneLayoutInput &input);

// The right end of the record speed bar: the position counter, the percent counter and
// the Previous and Next buttons as designed; placement keeps their sizes and the tops of
// the counter and the buttons.
struct RecordSpeedBarEnd {
    QRect positionCounter;
    QRect percentCounter;
    QRect previousButton;
    QRect nextButton;
};

// The position counter is right-aligned kRecordSpeedBarEdge pixels from the bar's right
// edge with the percent counter directly under it; Next stands left of the counters and
// Previous left of Next, kRecordSpeedBarGap pixels apart.
inline constexpr int kRecordSpeedBarEdge = 2;
// Chosen like the paging row's gap so the buttons do not touch the counters.
inline constexpr int kRecordSpeedBarGap = 2;
RecordSpeedBarEnd placeRecordSpeedBarEnd(int barWidth, const RecordSpeedBarEnd &designed);

// Still wide enough for a 16-pixel icon with a pixel of frame on each side.
inline constexpr int kMinimumRecordButtonWidth = 18;

// The shown buttons left of Previous, side by side from kRecordSpeedBarEdge, each as
// designed. When they would reach Previous (less the gap) they narrow evenly, down to
// kMinimumRecordButtonWidth; those that still do not fit come out as null rectangles and
// are hidden, so a button is never drawn over Previous.
QList<QRect> placeRecordSpeedBarButtons(int count, const QRect &designedButton, int previousLeft);

} // namespace numora::mainwin
