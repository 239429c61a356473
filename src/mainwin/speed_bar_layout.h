#pragma once
// The button rows of the speed bar's pages ("Standard" and "Advanced"). When the last
// button of either page no longer fits inside its page, every button of both pages drops
// its caption and becomes a square icon; they get captions and full widths back only
// once both pages have room for their full-width rows with the margins. The two tests
// differ by one margin, so a width between them keeps whichever state the bar is in and
// the buttons do not flip back and forth at one width.

#include <QList>
#include <QRect>

namespace numora::mainwin {

// Left of the first button and between two buttons.
inline constexpr int kSpeedBarButtonSpacing = 4;

struct SpeedBarInput {
    int pageWidth = 0;
    int buttonTop = 0;
    int buttonHeight = 0;
    // Per page, in tab order: each button's width with its caption.
    QList<QList<int>> fullButtonWidths;
    bool compact = false; // the state the buttons are in now
};

struct SpeedBarLayout {
    bool compact = false; // buttons show icons only and are square
    QList<QList<QRect>> buttons; // per page, in tab order
};

SpeedBarLayout layoutSpeedBar(const SpeedBarInput &input);

} // namespace numora::mainwin
