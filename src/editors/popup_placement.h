#pragma once
// Where the pop-up calendar and calculator open: just below their field, above it
// when there is no room below, and pushed left (never past the screen's left edge)
// when they would leave the screen on the right.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace numora::editors {

enum class PopupAlignment {
    FieldLeft,  // the pop-up's left edge under the field's left edge (calculator)
    FieldRight, // its right edge under the field's right edge (calendar)
};

// `field` and `screen` in global coordinates; returns the pop-up's top-left corner.
QPoint placePopup(const QRect &field, const QSize &popup, const QRect &screen,
                  PopupAlignment alignment);

} // namespace numora::editors
