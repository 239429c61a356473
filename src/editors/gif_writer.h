#pragma once
// Writes a picture as a GIF file through giflib. Qt reads GIF but cannot write it, and a
// GIF holds at most 256 colours: a picture with no more keeps its colours exactly, a
// richer one is reduced by median cut. Transparency is not kept; pictures in a record
// are opaque bitmaps anyway.

#include <QByteArray>
#include <QImage>

namespace numora::editors {

// The whole file, or empty for a null picture or one larger than GIF allows.
QByteArray writeGif(const QImage &image);

} // namespace numora::editors
