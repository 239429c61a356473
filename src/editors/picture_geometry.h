#pragma once
// The pixel arithmetic of the picture field, as pure functions the widgets call: where
// the image sits in its scroll box, when the tool bar shows, how large a printed or
// full-screen picture is, and which area a screen capture took.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace numora::editors {

constexpr int kMinimumToolBarControlWidth = 210;

// The largest size with the picture's aspect ratio that fits `area`; it may be larger
// than the picture. 0 by 0 for an empty picture or area.
QSize fitInside(QSize picture, QSize area);

struct PictureLayout {
    QSize imageSize; // the image widget's size inside the scroll box
    bool stretched = false; // drawn scaled to imageSize rather than at actual size
};

// With auto stretch the picture fills the box keeping its aspect ratio; without it, or
// for an empty picture, it keeps its own size and the box scrolls.
PictureLayout layoutPicture(QSize picture, QSize box, bool autoStretch);

// The tool bar would crowd a narrower control, so it hides there whatever the settings.
bool toolBarShown(bool speedBarVisible, bool hiddenByUser, int controlWidth);

// At least a quarter of the page's width and a fifth of its height, then shrunk to fit
// the page, keeping the aspect ratio; the picture's pixels count as device pixels.
QSize printedPictureSize(QSize picture, QSize page);

// The rectangle swept between where the mouse went down and where it came up, whichever
// way the user dragged, clipped to the screen. A click without a drag sweeps nothing:
// the result is then empty, never a one-pixel area.
QRect captureArea(QPoint press, QPoint release, const QRect &screen);

} // namespace numora::editors
