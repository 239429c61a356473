#include "editors/picture_geometry.h"

#include <QtMath>

#include <algorithm>
#include <cstdlib>

namespace numora::editors {

QSize fitInside(QSize picture, QSize area)
{
    if (picture.isEmpty() || area.isEmpty())
        return {0, 0};
    const double ratio = double(picture.width()) / picture.height();
    const int height = qRound(area.width() / ratio);
    if (height <= area.height())
        return {area.width(), std::max(height, 1)};
    return {std::max(qRound(area.height() * ratio), 1), area.height()};
}

PictureLayout layoutPicture(QSize picture, QSize box, bool autoStretch)
{
    if (!autoStretch || picture.isEmpty())
        return {picture, false};
    return {fitInside(picture, box), true};
}

bool toolBarShown(bool speedBarVisible, bool hiddenByUser, int controlWidth)
{
    return speedBarVisible && !hiddenByUser && controlWidth >= kMinimumToolBarControlWidth;
}

QSize printedPictureSize(QSize picture, QSize page)
{
    if (picture.isEmpty() || page.isEmpty())
        return {0, 0};
    const double grow = std::max({1.0, page.width() / 4.0 / picture.width(),
                                  page.height() / 5.0 / picture.height()});
    const QSize grown(qCeil(picture.width() * grow), qCeil(picture.height() * grow));
    if (grown.width() <= page.width() && grown.height() <= page.height())
        return grown;
    return fitInside(grown, page);
}

QRect captureArea(QPoint press, QPoint release, const QRect &screen)
{
    const QRect swept(QPoint(std::min(press.x(), release.x()), std::min(press.y(), release.y())),
                      QSize(std::abs(release.x() - press.x()), std::abs(release.y() - press.y())));
    return swept.isEmpty() ? QRect() : swept.intersected(screen);
}

} // namespace numora::editors
