#pragma once
// The end of a screen capture: the picture of the area the user swept over a still
// screenshot, or, for an area without width or height, the error the user is shown
// instead, leaving the field as it was.

#include "core/prompt.h"

#include <QImage>
#include <QRect>

#include <optional>

namespace numora::editors {

inline const QString kEmptyCaptureMessage =
    QStringLiteral("Both Width and Height of Captured Area must be > 0 !");

// `area` is in the screenshot's logical pixels (its device pixel ratio applies).
std::optional<QImage> capturedPicture(const QImage &screenshot, const QRect &area, Prompt &prompt);

} // namespace numora::editors
