#include "mainwin/speed_bar_layout.h"

#include <algorithm>

namespace numora::mainwin {

namespace {

// The margin before each button plus the button, for a whole row of full-width buttons.
int fullRowExtent(const QList<int> &widths)
{
    int extent = kSpeedBarButtonSpacing;
    for (int width : widths)
        extent += width + kSpeedBarButtonSpacing;
    return extent;
}

// The last button's right edge is not past the page's.
bool lastButtonFits(const QList<int> &widths, int pageWidth)
{
    return fullRowExtent(widths) - kSpeedBarButtonSpacing <= pageWidth;
}

// Room for the full row and the margin after its last button, with a pixel to spare.
bool fullRowHasRoom(const QList<int> &widths, int pageWidth)
{
    return fullRowExtent(widths) < pageWidth;
}

bool staysCompact(const SpeedBarInput &input)
{
    const auto &pages = input.fullButtonWidths;
    if (input.compact)
        return !std::all_of(pages.begin(), pages.end(), [&](const QList<int> &widths) {
            return fullRowHasRoom(widths, input.pageWidth);
        });
    return !std::all_of(pages.begin(), pages.end(), [&](const QList<int> &widths) {
        return lastButtonFits(widths, input.pageWidth);
    });
}

QList<QRect> placeRow(const QList<int> &fullWidths, const SpeedBarInput &input, bool compact)
{
    QList<QRect> row;
    int left = kSpeedBarButtonSpacing;
    for (int fullWidth : fullWidths) {
        const int width = compact ? input.buttonHeight : fullWidth;
        row.append(QRect(left, input.buttonTop, width, input.buttonHeight));
        left += width + kSpeedBarButtonSpacing;
    }
    return row;
}

} // namespace

SpeedBarLayout layoutSpeedBar(const SpeedBarInput &input)
{
    SpeedBarLayout layout;
    layout.compact = staysCompact(input);
    for (const QList<int> &widths : input.fullButtonWidths)
        layout.buttons.append(placeRow(widths, input, layout.compact));
    return layout;
}

} // namespace numora::mainwin
