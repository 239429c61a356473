#pragma once
// Small synthetic pictures for the picture field's tests, and a pixel-by-pixel comparison.

#include <QImage>

#include <cstdlib>

namespace numora::test {

// Smooth like a photograph, yet every pixel a different colour: too many for any palette.
inline QImage gradientPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int across = std::max(width - 1, 1);
    const int down = std::max(height - 1, 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / across, y * 255 / down, (x + y) * 255 / (across + down)));
    return image;
}

// A paletted picture with long runs, short runs and indices that look like PCX run flags.
inline QImage palettedPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i)
        colours << qRgb(i, 255 - i, (i * 7) % 256);
    image.setColorTable(colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, y % 3 == 0 ? 0xC5 : x < width / 2 ? 7 : (x + y) % 256);
    return image;
}

// The largest difference of one colour channel over all pixels; -1 when sizes differ.
inline int largestChannelDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

} // namespace numora::test
