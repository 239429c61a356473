// A PCX codec is only useful if other programs agree with it: ImageMagick's convert must
// read the files we write, and we must read the ones it writes, pixel for pixel.

#include "editors/pcx_codec.h"
#include "editors/test_pictures.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

using test::largestChannelDifference;

bool convert(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral(IMAGEMAGICK_CONVERT), arguments) == 0;
}

struct Case {
    const char *name;
    QImage picture;
    const char *type; // ImageMagick's -type for the files it writes
};

std::vector<Case> cases()
{
    return {
        {"true colour", test::gradientPicture(37, 23), "TrueColor"},
        {"paletted", test::palettedPicture(41, 19), "Palette"},
    };
}

TEST(PcxInteropTest, WeReadWhatImageMagickWrites)
{
    test::TempFolder folder;
    for (const Case &c : cases()) {
        const QString png = folder.file("in.png");
        const QString pcx = folder.file("theirs.pcx");
        ASSERT_TRUE(c.picture.save(png)) << c.name;
        ASSERT_TRUE(convert({png, "-type", c.type, pcx})) << c.name;
        const QImage read = readPcx(test::fileBytes(pcx));
        ASSERT_FALSE(read.isNull()) << c.name;
        EXPECT_EQ(largestChannelDifference(read, c.picture), 0) << c.name;
    }
}

TEST(PcxInteropTest, ImageMagickReadsWhatWeWrite)
{
    test::TempFolder folder;
    for (const Case &c : cases()) {
        const QString pcx = folder.file("ours.pcx");
        const QString png = folder.file("back.png");
        test::writeFileBytes(pcx, writePcx(c.picture));
        ASSERT_TRUE(convert({pcx, png})) << c.name;
        EXPECT_EQ(largestChannelDifference(QImage(png), c.picture), 0) << c.name;
    }
}

} // namespace
} // namespace numora::editors
