#include "editors/screen_capture.h"

namespace numora::editors {

std::optional<QImage> capturedPicture(const QImage &screenshot, const QRect &area, Prompt &prompt)
{
    const qreal ratio = screenshot.devicePixelRatio();
    const QRect pixels = QRect(QPoint(qRound(area.x() * ratio), qRound(area.y() * ratio)),
                               QSize(qRound(area.width() * ratio), qRound(area.height() * ratio)))
                             .intersected(screenshot.rect());
    if (area.isEmpty() || pixels.isEmpty()) {
        prompt.inform(kEmptyCaptureMessage, MessageKind::Error);
        return std::nullopt;
    }
    QImage picture = screenshot.copy(pixels);
    picture.setDevicePixelRatio(1);
    return picture;
}

} // namespace numora::editors
