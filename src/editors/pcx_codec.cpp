#include "editors/pcx_codec.h"

#include <QtEndian>

#include <algorithm>

namespace numora::editors {

namespace {

constexpr int kHeaderSize = 128;
constexpr char kManufacturer = 0x0A;
constexpr char kVersion = 5; // 3.0 and later, with a 256-colour palette when paletted
constexpr char kRunLengthEncoding = 1;
constexpr char kPaletteMarker = 0x0C;
constexpr int kPaletteSize = 1 + 256 * 3;
constexpr uchar kRunFlag = 0xC0;
constexpr int kLongestRun = 0x3F;

struct Header {
    int bitsPerPixel = 0;
    int planes = 0;
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;
};

quint16 word(const QByteArray &data, int offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

void putWord(QByteArray &data, int offset, int value)
{
    qToLittleEndian<quint16>(quint16(value), data.data() + offset);
}

bool readHeader(const QByteArray &data, Header &header)
{
    if (data.size() < kHeaderSize || data[0] != kManufacturer || data[2] != kRunLengthEncoding)
        return false;
    const int xMin = word(data, 4);
    const int yMin = word(data, 6);
    const int xMax = word(data, 8);
    const int yMax = word(data, 10);
    header.bitsPerPixel = uchar(data[3]);
    header.planes = uchar(data[65]);
    header.bytesPerLine = word(data, 66);
    header.width = xMax - xMin + 1;
    header.height = yMax - yMin + 1;
    return header.width > 0 && header.height > 0 && header.bitsPerPixel == 8
        && (header.planes == 1 || header.planes == 3) && header.bytesPerLine >= header.width;
}

// Expands the run-length stream into `lines` scan lines of `lineBytes` each, handing
// every finished line to `takeLine`. Runs may cross plane and line ends, as some
// writers let them. False when the stream ends first.
template <typename TakeLine>
bool expandLines(QByteArrayView encoded, int lineBytes, int lines, TakeLine takeLine)
{
    QByteArray line(lineBytes, '\0');
    int filled = 0;
    int linesDone = 0;
    qsizetype at = 0;
    while (linesDone < lines) {
        if (at >= encoded.size())
            return false;
        uchar value = uchar(encoded[at++]);
        int count = 1;
        if ((value & kRunFlag) == kRunFlag) {
            if (at >= encoded.size())
                return false;
            count = value & kLongestRun;
            value = uchar(encoded[at++]);
        }
        while (count-- > 0 && linesDone < lines) {
            line[filled++] = char(value);
            if (filled == lineBytes) {
                takeLine(linesDone++, reinterpret_cast<const uchar *>(line.constData()));
                filled = 0;
            }
        }
    }
    return true;
}

QImage readPaletted(const QByteArray &data, const Header &header)
{
    const bool hasPalette = data.size() >= kHeaderSize + kPaletteSize
        && data[data.size() - kPaletteSize] == kPaletteMarker;
    const qsizetype encodedEnd = hasPalette ? data.size() - kPaletteSize : data.size();
    QImage image(header.width, header.height, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    QList<QRgb> colours(256);
    for (int i = 0; i < 256; ++i) {
        if (hasPalette) {
            const char *rgb = data.constData() + data.size() - kPaletteSize + 1 + i * 3;
            colours[i] = qRgb(uchar(rgb[0]), uchar(rgb[1]), uchar(rgb[2]));
        } else {
            colours[i] = qRgb(i, i, i); // no palette: grey levels, as readers commonly assume
        }
    }
    image.setColorTable(colours);
    const QByteArrayView encoded(data.constData() + kHeaderSize, encodedEnd - kHeaderSize);
    const bool whole = expandLines(encoded, header.bytesPerLine, header.height,
                                   [&](int y, const uchar *line) {
                                       std::copy_n(line, header.width, image.scanLine(y));
                                   });
    return whole ? image : QImage();
}

QImage readTrueColour(const QByteArray &data, const Header &header)
{
    QImage image(header.width, header.height, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    const QByteArrayView encoded(data.constData() + kHeaderSize, data.size() - kHeaderSize);
    const int planeBytes = header.bytesPerLine;
    const bool whole = expandLines(encoded, planeBytes * 3, header.height,
                                   [&](int y, const uchar *line) {
                                       uchar *pixel = image.scanLine(y);
                                       for (int x = 0; x < header.width; ++x) {
                                           *pixel++ = line[x];
                                           *pixel++ = line[planeBytes + x];
                                           *pixel++ = line[2 * planeBytes + x];
                                       }
                                   });
    return whole ? image : QImage();
}

void appendRuns(QByteArray &out, const uchar *bytes, int count)
{
    int at = 0;
    while (at < count) {
        const uchar value = bytes[at];
        int run = 1;
        while (at + run < count && run < kLongestRun && bytes[at + run] == value)
            ++run;
        // A lone byte that looks like a run flag must be written as a run of one.
        if (run > 1 || (value & kRunFlag) == kRunFlag)
            out.append(char(kRunFlag | run));
        out.append(char(value));
        at += run;
    }
}

QByteArray header(const QImage &image, int planes, int bytesPerLine)
{
    QByteArray out(kHeaderSize, '\0');
    out[0] = kManufacturer;
    out[1] = kVersion;
    out[2] = kRunLengthEncoding;
    out[3] = 8;
    putWord(out, 8, image.width() - 1);
    putWord(out, 10, image.height() - 1);
    const auto dpi = [](int dotsPerMeter) { return dotsPerMeter > 0 ? qRound(dotsPerMeter * 0.0254) : 96; };
    putWord(out, 12, dpi(image.dotsPerMeterX()));
    putWord(out, 14, dpi(image.dotsPerMeterY()));
    out[65] = char(planes);
    putWord(out, 66, bytesPerLine);
    putWord(out, 68, planes == 1 && image.isGrayscale() ? 2 : 1);
    return out;
}

QByteArray writePaletted(const QImage &image)
{
    const int bytesPerLine = (image.width() + 1) & ~1; // lines are padded to an even length
    QByteArray out = header(image, 1, bytesPerLine);
    QByteArray line(bytesPerLine, '\0');
    for (int y = 0; y < image.height(); ++y) {
        std::copy_n(image.constScanLine(y), image.width(), line.begin());
        appendRuns(out, reinterpret_cast<const uchar *>(line.constData()), bytesPerLine);
    }
    out.append(kPaletteMarker);
    const QList<QRgb> colours = image.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = image.format() == QImage::Format_Grayscale8 ? qRgb(i, i, i)
            : i < colours.size() ? colours[i] : qRgb(0, 0, 0);
        out.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    }
    return out;
}

QByteArray writeTrueColour(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int bytesPerLine = (image.width() + 1) & ~1;
    QByteArray out = header(image, 3, bytesPerLine);
    QByteArray plane(bytesPerLine, '\0');
    for (int y = 0; y < image.height(); ++y) {
        const uchar *pixels = image.constScanLine(y);
        // Each plane is encoded on its own, so no run crosses from one colour into the next.
        for (int channel = 0; channel < 3; ++channel) {
            for (int x = 0; x < image.width(); ++x)
                plane[x] = char(pixels[x * 3 + channel]);
            appendRuns(out, reinterpret_cast<const uchar *>(plane.constData()), bytesPerLine);
        }
    }
    return out;
}

} // namespace

QImage readPcx(const QByteArray &data)
{
    Header header;
    if (!readHeader(data, header))
        return {};
    // A run of two bytes expands to at most 63, so a file too short for the picture it
    // announces is refused before any pixel memory is taken.
    const qint64 needed = qint64(header.bytesPerLine) * header.planes * header.height;
    if (needed > (qint64(data.size()) - kHeaderSize) * kLongestRun / 2 + kLongestRun)
        return {};
    return header.planes == 1 ? readPaletted(data, header) : readTrueColour(data, header);
}

QByteArray writePcx(const QImage &image)
{
    if (image.isNull() || image.width() > 0x10000 || image.height() > 0x10000)
        return {};
    if (image.format() == QImage::Format_Grayscale8
        || (image.format() == QImage::Format_Indexed8 && image.colorCount() <= 256))
        return writePaletted(image);
    return writeTrueColour(image);
}

} // namespace numora::editors
