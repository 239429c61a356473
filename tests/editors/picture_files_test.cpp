#include "editors/picture_files.h"
#include "editors/test_pictures.h"
#include "support/qt_printers.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QImageWriter>

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

using test::gradientPicture;
using test::largestChannelDifference;

QByteArray fileStart(const QString &path, int length)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(length) : QByteArray();
}

TEST(PictureFilesTest, TheExtensionChoosesTheFileType)
{
    test::TempFolder folder;
    const QImage picture = gradientPicture(61, 40);
    struct Case {
        const char *name;
        QByteArray start;
        int largestDifference; // lossy types come back close, not equal
    };
    const Case cases[] = {
        {"picture.bmp", "BM", 0},
        {"picture.PNG", "\x89PNG", 0},
        {"picture.pcx", "\x0A\x05\x01\x08", 0},
        {"picture.gif", "GIF8", 64},
        {"picture.jpg", "\xFF\xD8", 40},
    };
    for (const Case &c : cases) {
        const QString path = folder.file(QString::fromLatin1(c.name));
        ASSERT_TRUE(savePictureFile(picture, path)) << c.name;
        EXPECT_EQ(fileStart(path, int(c.start.size())), c.start) << c.name;
        const QImage back = loadPictureFile(path);
        EXPECT_GE(largestChannelDifference(back, picture), 0) << c.name;
        EXPECT_LE(largestChannelDifference(back, picture), c.largestDifference) << c.name;
    }
}

TEST(PictureFilesTest, OtherExtensionsWriteNothing)
{
    test::TempFolder folder;
    for (const char *name : {"picture.tif", "picture.jpeg", "picture", "picture.bmp.txt"}) {
        const QString path = folder.file(QString::fromLatin1(name));
        EXPECT_FALSE(saveTypeFor(path).has_value()) << name;
        EXPECT_FALSE(savePictureFile(gradientPicture(4, 4), path)) << name;
        EXPECT_FALSE(QFile::exists(path)) << name;
    }
    EXPECT_FALSE(savePictureFile(QImage(), folder.file("empty.bmp")));
    EXPECT_FALSE(QFile::exists(folder.file("empty.bmp")));
}

TEST(PictureFilesTest, TiffPicturesLoad)
{
    test::TempFolder folder;
    const QString path = folder.file("scan.tif");
    ASSERT_TRUE(QImageWriter(path, "tiff").write(gradientPicture(30, 20)));
    EXPECT_EQ(loadPictureFile(path).size(), QSize(30, 20));
}

TEST(PictureFilesTest, WhatIsNoPictureLoadsNothing)
{
    test::TempFolder folder;
    QFile text(folder.file("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all");
    text.close();
    EXPECT_TRUE(loadPictureFile(folder.file("notes.png")).isNull());
    EXPECT_TRUE(loadPictureFile(folder.file("missing.jpg")).isNull());
    EXPECT_TRUE(loadPictureFile(folder.file("missing.pcx")).isNull());
}

TEST(PictureFilesTest, TheRecordKeepsAWindowsBitmap)
{
    const QImage picture = gradientPicture(33, 17);
    const QByteArray stored = toStoredBitmap(picture);
    EXPECT_TRUE(stored.startsWith("BM"));
    EXPECT_EQ(largestChannelDifference(fromStoredBitmap(stored), picture), 0);
    EXPECT_TRUE(toStoredBitmap(QImage()).isEmpty());
    EXPECT_TRUE(fromStoredBitmap({}).isNull());
    EXPECT_TRUE(fromStoredBitmap("BM but nothing else").isNull());
}

TEST(PictureFilesTest, FileWindowFiltersBecomeQtFilters)
{
    EXPECT_EQ(qtFileFilter(kSavePictureFilter),
              "BMP Images (*.bmp);;GIF Images (*.gif);;PCX Images (*.pcx);;JPG Images (*.jpg);;PNG Images (*.png)");
    EXPECT_TRUE(qtFileFilter(kLoadPictureFilter).startsWith("All Images (*.jpg *.gif *.pcx *.bmp *.png);;"));
}

} // namespace
} // namespace numora::editors
