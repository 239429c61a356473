#include "mainwin/pane_layout.h"

#include <algorithm>

namespace numora::mainwin {

namespace {

struct PaneWidths {
    int list = 0;
    int recordForm = 0;
    int windowGrowth = 0;
};

// The list pane takes what the letter tab bar and the record form pane leave. Below its
// minimum it takes the missing pixels from the record form pane (never below that pane's
// minimum; a pane already narrower is left alone) and then from a wider window.
PaneWidths shareClientWidth(const PaneLayoutInput &input)
{
    const int list = input.clientSize.width() - input.letterTabBarWidth - input.recordFormWidth;
    int missing = kMinimumListPaneWidth - list;
    if (missing <= 0)
        return {list, input.recordFormWidth, 0};
    const int formSlack = std::max(0, input.recordFormWidth - input.minimumRecordFormWidth);
    const int formShrink = std::min(missing, formSlack);
    missing -= formShrink;
    return {kMinimumListPaneWidth, input.recordFormWidth - formShrink, missing};
}

} // namespace

QSize windowSizeAtLeastMinimum(QSize requested)
{
    return requested.expandedTo(kMinimumWindowSize);
}

PaneLayout layoutPanes(const PaneLayoutInput &input)
{
    const PaneWidths widths = shareClientWidth(input);
    const int tabWidth = input.letterTabBarWidth;
    const int clientWidth = widths.list + tabWidth + widths.recordForm;

    const int speedBarHeight = input.speedBarVisible ? input.speedBarHeight : 0;
    const int paneHeight =
        std::max(0, input.clientSize.height() - speedBarHeight - kGripSize.height());
    const bool speedBarBelow =
        input.speedBarVisible && input.speedBarLocation == settings::SpeedBarLocation::Bottom;
    const int paneTop = speedBarBelow ? 0 : speedBarHeight;
    const int speedBarTop = speedBarBelow ? paneHeight : 0;

    PaneLayout layout;
    layout.windowGrowth = widths.windowGrowth;
    if (input.speedBarVisible)
        layout.speedBar = QRect(0, speedBarTop, clientWidth, speedBarHeight);
    layout.listPane = QRect(0, paneTop, widths.list, paneHeight);
    const bool tabsInCentre = input.letterTabsLocation == settings::LetterTabsLocation::Center;
    const int tabLeft = tabsInCentre ? widths.list : widths.list + widths.recordForm;
    const int formLeft = tabsInCentre ? widths.list + tabWidth : widths.list;
    layout.letterTabBar = QRect(tabLeft, paneTop, tabWidth, paneHeight);
    layout.recordFormPane = QRect(formLeft, paneTop, widths.recordForm, paneHeight);

    // Whichever of panes and speed bar is lower, the grip sits under both of them.
    const int gripCentre = layout.recordFormPane.left() - tabWidth / 2;
    layout.grip = QRect(QPoint(gripCentre - kGripSize.width() / 2, speedBarHeight + paneHeight),
                        kGripSize);
    return layout;
}

RecordSpeedBarEnd placeRecordSpeedBarEnd(int barWidth, const RecordSpeedBarEnd &designed)
{
    RecordSpeedBarEnd placed = designed;
    const int counterRight = barWidth - kRecordSpeedBarEdge;
    placed.positionCounter.moveRight(counterRight - 1);
    placed.percentCounter.moveTopLeft(
        {placed.positionCounter.left(), placed.positionCounter.bottom() + 1});
    placed.nextButton.moveRight(placed.positionCounter.left() - kRecordSpeedBarGap - 1);
    placed.previousButton.moveRight(placed.nextButton.left() - kRecordSpeedBarGap - 1);
    return placed;
}

QList<QRect> placeRecordSpeedBarButtons(int count, const QRect &designedButton, int previousLeft)
{
    const int room = previousLeft - kRecordSpeedBarGap - kRecordSpeedBarEdge;
    const int evenShare = count > 0 ? room / count : 0;
    const int width =
        std::max(kMinimumRecordButtonWidth, std::min(designedButton.width(), evenShare));
    QList<QRect> buttons;
    int left = kRecordSpeedBarEdge;
    for (int i = 0; i < count; ++i) {
        const bool fits = left + width <= kRecordSpeedBarEdge + room;
        buttons.append(fits ? QRect(left, designedButton.top(), width, designedButton.height())
                            : QRect());
        left += width;
    }
    return buttons;
}

} // namespace numora::mainwin
