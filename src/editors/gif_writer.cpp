#include "editors/gif_writer.h"

#include <QHash>

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace numora::editors {

namespace {

constexpr int kMaxColours = 256;

// A picture reduced to palette indices.
struct IndexedPicture {
    std::vector<GifByteType> pixels; // row after row
    std::vector<GifColorType> palette;
};

// Exact when the picture has at most 256 colours, else nothing.
bool indexExactly(const QImage &image, IndexedPicture &out)
{
    QHash<QRgb, GifByteType> indexOf;
    out.pixels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = row[x] | 0xFF000000u;
            auto found = indexOf.constFind(colour);
            if (found == indexOf.constEnd()) {
                if (indexOf.size() == kMaxColours)
                    return false;
                found = indexOf.insert(colour, GifByteType(indexOf.size()));
                out.palette.push_back({GifByteType(qRed(colour)), GifByteType(qGreen(colour)),
                                       GifByteType(qBlue(colour))});
            }
            out.pixels.push_back(found.value());
        }
    }
    return true;
}

bool indexByMedianCut(const QImage &image, IndexedPicture &out)
{
    const size_t count = size_t(image.width()) * size_t(image.height());
    std::vector<GifByteType> red(count), green(count), blue(count);
    size_t at = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, ++at) {
            red[at] = GifByteType(qRed(row[x]));
            green[at] = GifByteType(qGreen(row[x]));
            blue[at] = GifByteType(qBlue(row[x]));
        }
    }
    int colours = kMaxColours;
    out.pixels.assign(count, 0);
    out.palette.assign(kMaxColours, GifColorType{0, 0, 0});
    if (GifQuantizeBuffer(unsigned(image.width()), unsigned(image.height()), &colours, red.data(),
                          green.data(), blue.data(), out.pixels.data(), out.palette.data())
        != GIF_OK)
        return false;
    out.palette.resize(size_t(colours));
    return true;
}

// GIF palettes come in powers of two, from 2 entries up.
int paletteBits(size_t colours)
{
    int bits = 1;
    while ((size_t(1) << bits) < colours)
        ++bits;
    return bits;
}

int appendToBuffer(GifFileType *gif, const GifByteType *bytes, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(bytes), length);
    return length;
}

struct MapDeleter {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

bool encode(const IndexedPicture &picture, int width, int height, QByteArray &out)
{
    const int bits = paletteBits(picture.palette.size());
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map)
        return false;
    for (int i = 0; i < map->ColorCount; ++i)
        map->Colors[i] = size_t(i) < picture.palette.size() ? picture.palette[size_t(i)] : GifColorType{0, 0, 0};

    int error = 0;
    GifFileType *gif = EGifOpen(&out, appendToBuffer, &error);
    if (!gif)
        return false;
    bool written = EGifPutScreenDesc(gif, width, height, bits, 0, map.get()) == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; written && y < height; ++y)
        written = EGifPutLine(gif, const_cast<GifByteType *>(&picture.pixels[size_t(y) * size_t(width)]), width)
            == GIF_OK;
    // Closing writes the trailer and frees the handle whatever happened before.
    return EGifCloseFile(gif, &error) == GIF_OK && written;
}

} // namespace

QByteArray writeGif(const QImage &image)
{
    constexpr int kLargestSide = 0xFFFF;
    if (image.isNull() || image.width() > kLargestSide || image.height() > kLargestSide)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    IndexedPicture picture;
    if (!indexExactly(rgb, picture)) {
        picture = {};
        if (!indexByMedianCut(rgb, picture))
            return {};
    }
    QByteArray out;
    if (!encode(picture, rgb.width(), rgb.height(), out))
        return {};
    return out;
}

} // namespace numora::editors
