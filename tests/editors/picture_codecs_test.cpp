#include "editors/gif_writer.h"
#include "editors/pcx_codec.h"
#include "editors/test_pictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

using test::gradientPicture;
using test::largestChannelDifference;
using test::palettedPicture;

QImage readGifWithQt(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    return QImageReader(&buffer, "gif").read();
}

TEST(PcxCodecTest, PicturesSurviveARoundTrip)
{
    QImage grey(9, 4, QImage::Format_Grayscale8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            grey.scanLine(y)[x] = uchar(x * 30 + y);
    QImage plain(200, 2, QImage::Format_RGB32);
    plain.fill(qRgb(0xC0, 0xFF, 3));
    struct Case {
        const char *name;
        QImage picture;
        QImage::Format readAs;
    };
    const Case cases[] = {
        // Odd widths need the padding byte every PCX line carries.
        {"true colour, odd width", gradientPicture(37, 23), QImage::Format_RGB888},
        {"true colour, runs longer than one run can hold", plain, QImage::Format_RGB888},
        {"paletted, with indices that look like run flags", palettedPicture(131, 9), QImage::Format_Indexed8},
        {"grey", grey, QImage::Format_Indexed8},
        {"one pixel", gradientPicture(1, 1), QImage::Format_RGB888},
    };
    for (const Case &c : cases) {
        const QImage back = readPcx(writePcx(c.picture));
        ASSERT_FALSE(back.isNull()) << c.name;
        EXPECT_EQ(back.format(), c.readAs) << c.name;
        EXPECT_EQ(largestChannelDifference(back, c.picture), 0) << c.name;
    }
}

TEST(PcxCodecTest, RepeatedColoursCompress)
{
    QImage plain(300, 300, QImage::Format_RGB32);
    plain.fill(Qt::darkBlue);
    EXPECT_LT(writePcx(plain).size(), 300 * 300 * 3 / 25);
}

TEST(PcxCodecTest, APalettedFileWithoutPaletteReadsAsGrey)
{
    QImage grey(4, 2, QImage::Format_Grayscale8);
    grey.fill(100);
    QByteArray bytes = writePcx(grey);
    bytes.chop(1 + 256 * 3);
    const QImage back = readPcx(bytes);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(3, 1), qRgb(100, 100, 100));
}

TEST(PcxCodecTest, DamagedFilesGiveNoPicture)
{
    const QByteArray good = writePcx(gradientPicture(40, 30));
    const auto withByte = [&](int offset, char value) {
        QByteArray bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    const auto withWord = [&](int offset, quint16 value) {
        QByteArray bytes = good;
        qToLittleEndian(value, bytes.data() + offset);
        return bytes;
    };
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"header cut short", good.left(100)},
        {"pixel data cut short", good.left(good.size() / 2)},
        {"not a PCX file", withByte(0, 'B')},
        {"not run-length encoded", withByte(2, 0)},
        {"four bits per pixel", withByte(3, 4)},
        {"two planes", withByte(65, 2)},
        {"right edge left of the left edge", withWord(4, 50)},
        {"lines shorter than the picture", withWord(66, 8)},
        // A small file announcing a vast picture must not make us take the memory for it.
        {"a vast picture in a few bytes", withWord(10, 0xFFFE)},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(readPcx(c.bytes).isNull()) << c.name;
    EXPECT_TRUE(writePcx(QImage()).isEmpty());
}

TEST(GifWriterTest, FewColoursAreKeptExactly)
{
    const QImage picture = palettedPicture(50, 20).convertToFormat(QImage::Format_RGB32);
    const QImage back = readGifWithQt(writeGif(picture));
    EXPECT_EQ(largestChannelDifference(back, picture), 0);
}

TEST(GifWriterTest, ManyColoursAreReducedToAClosePalette)
{
    const QImage picture = gradientPicture(120, 90);
    const QByteArray bytes = writeGif(picture);
    ASSERT_TRUE(bytes.startsWith("GIF8"));
    const QImage back = readGifWithQt(bytes);
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_LE(largestChannelDifference(back, picture), 64);
    double total = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            total += std::abs(qRed(back.pixel(x, y)) - qRed(picture.pixel(x, y)))
                + std::abs(qGreen(back.pixel(x, y)) - qGreen(picture.pixel(x, y)))
                + std::abs(qBlue(back.pixel(x, y)) - qBlue(picture.pixel(x, y)));
    EXPECT_LT(total / (3.0 * picture.width() * picture.height()), 8.0);
}

TEST(GifWriterTest, APictureGifCannotHoldWritesNothing)
{
    EXPECT_TRUE(writeGif(QImage()).isEmpty());
    EXPECT_TRUE(writeGif(QImage(70000, 1, QImage::Format_RGB32)).isEmpty());
}

} // namespace
} // namespace numora::editors
