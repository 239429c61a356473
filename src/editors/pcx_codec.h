#pragma once
// Our own reader and writer of PCX pictures, the run-length format older scanners and
// paint programs still leave behind. Only the two kinds such files commonly are: 8-bit
// paletted (one plane, a 256-colour palette after the pixel data) and 24-bit true colour
// (three planes of 8 bits). Damaged or unsupported files give a null image, never a
// crash and never an allocation the file could not fill.

#include <QByteArray>
#include <QImage>

namespace numora::editors {

QImage readPcx(const QByteArray &data);

// Paletted when the picture has a palette of at most 256 colours or is grey, true
// colour otherwise (alpha is dropped). Empty for a null picture.
QByteArray writePcx(const QImage &image);

} // namespace numora::editors
