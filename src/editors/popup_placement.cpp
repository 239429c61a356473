#include "editors/popup_placement.h"

#include <algorithm>

namespace numora::editors {

QPoint placePopup(const QRect &field, const QSize &popup, const QRect &screen,
                  PopupAlignment alignment)
{
    int left = alignment == PopupAlignment::FieldLeft ? field.left()
                                                      : field.right() + 1 - popup.width();
    left = std::max(std::min(left, screen.right() + 1 - popup.width()), screen.left());

    int top = field.bottom() + 1;
    if (top + popup.height() > screen.bottom() + 1)
        top = field.top() - popup.height();
    return {left, std::max(top, screen.top())};
}

} // namespace numora::editors
