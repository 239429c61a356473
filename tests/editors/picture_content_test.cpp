#include "editors/picture_content.h"
#include "editors/picture_files.h"
#include "editors/screen_capture.h"
#include "editors/test_pictures.h"
#include "support/coin_table.h"
#include "support/file_bytes.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QFileInfo>
#include <QImageWriter>

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

using test::gradientPicture;
using test::largestChannelDifference;
namespace column = test::column;

// One coin record with a binary picture column.
class PictureRecordTest : public testing::Test {
protected:
    void SetUp() override
    {
        test::createCoinTable(folder.path());
        test::openTable(table, folder.path());
        test::appendCoin(table, 1, {"Florin"});
    }

    void storeAndPost(PictureContent &content)
    {
        table.edit();
        storePictureIntoRecord(content, table, column::Picture);
        table.post();
    }

    void putValue(const QByteArray &value)
    {
        table.edit();
        table.setBytes(column::Picture, value);
        table.post();
    }

    qint64 memoFileSize() const { return QFileInfo(folder.file("coins.dbt")).size(); }

    test::TempFolder folder;
    store::Table table;
};

TEST_F(PictureRecordTest, AJpgFileIsStoredAsALargerBitmap)
{
    const QString jpg = folder.file("coin.jpg");
    ASSERT_TRUE(QImageWriter(jpg, "jpg").write(gradientPicture(160, 120)));
    PictureContent content;
    ASSERT_TRUE(content.loadFile(jpg));
    EXPECT_TRUE(content.isLoadedFromFile());
    EXPECT_EQ(content.fileName(), jpg);
    storeAndPost(content);

    const QByteArray stored = table.bytes(column::Picture);
    EXPECT_TRUE(stored.startsWith("BM"));
    EXPECT_GT(stored.size(), QFileInfo(jpg).size());
    EXPECT_EQ(largestChannelDifference(fromStoredBitmap(stored), content.image()), 0);
}

TEST_F(PictureRecordTest, AnUntouchedPictureWritesNothing)
{
    struct Case {
        const char *name;
        QByteArray value;
        bool decodes;
    };
    const Case cases[] = {
        {"a picture", toStoredBitmap(gradientPicture(20, 10)), true},
        {"no picture", {}, true},
        // Whatever it holds stays for the repair tools: looking at it must not erase it.
        {"a value that is no bitmap", "damaged bytes", false},
    };
    for (const Case &c : cases) {
        putValue(c.value);
        PictureContent content;
        EXPECT_EQ(readPictureFromRecord(content, table, column::Picture), c.decodes) << c.name;
        const qint64 memoBefore = memoFileSize();
        storeAndPost(content);
        EXPECT_EQ(memoFileSize(), memoBefore) << c.name;
        EXPECT_EQ(table.bytes(column::Picture), c.value) << c.name;
    }
}

TEST_F(PictureRecordTest, ChangesAreWrittenOnceAndClearingEmptiesTheColumn)
{
    PictureContent content;
    content.replace(gradientPicture(8, 8));
    EXPECT_TRUE(content.isChanged());
    storeAndPost(content);
    EXPECT_FALSE(content.needsStoring());
    EXPECT_FALSE(table.isNull(column::Picture));

    const qint64 memoAfterFirstWrite = memoFileSize();
    storeAndPost(content);
    EXPECT_EQ(memoFileSize(), memoAfterFirstWrite);

    content.clear();
    EXPECT_TRUE(content.isEmpty());
    storeAndPost(content);
    EXPECT_TRUE(table.isNull(column::Picture));
}

TEST_F(PictureRecordTest, CopyingIntoAnotherRecordWritesAnUntouchedPicture)
{
    putValue(toStoredBitmap(gradientPicture(7, 3)));
    PictureContent shown;
    ASSERT_TRUE(readPictureFromRecord(shown, table, column::Picture));
    PictureContent none;
    test::appendCoin(table, 2, {"Crown"});
    for (const PictureContent *content : {&shown, &none}) {
        table.edit();
        copyPictureIntoRecord(*content, table, column::Picture);
        table.post();
        EXPECT_EQ(fromStoredBitmap(table.bytes(column::Picture)).size(), content->image().size());
        EXPECT_EQ(table.isNull(column::Picture), content->isEmpty());
    }
}

TEST_F(PictureRecordTest, ReadingTheRecordForgetsEarlierChanges)
{
    putValue(toStoredBitmap(gradientPicture(5, 5)));
    PictureContent content;
    content.replace(gradientPicture(9, 9));
    ASSERT_TRUE(readPictureFromRecord(content, table, column::Picture));
    EXPECT_EQ(content.image().size(), QSize(5, 5));
    EXPECT_FALSE(content.needsStoring());
}

TEST(PictureContentTest, AFileThatDoesNotLoadLeavesThePictureAlone)
{
    test::TempFolder folder;
    PictureContent content;
    content.replace(gradientPicture(6, 6));
    content.markStored();
    EXPECT_FALSE(content.loadFile(folder.file("missing.png")));
    EXPECT_EQ(content.image().size(), QSize(6, 6));
    EXPECT_FALSE(content.needsStoring());
    EXPECT_TRUE(content.fileName().isEmpty());
}

TEST(PictureContentTest, SavingNamesTheFileOnlyWhenWritten)
{
    test::TempFolder folder;
    PictureContent content;
    content.replace(gradientPicture(6, 6));
    EXPECT_FALSE(content.saveFile(folder.file("coin.tga")));
    EXPECT_TRUE(content.fileName().isEmpty());
    EXPECT_TRUE(content.saveFile(folder.file("coin.pcx")));
    EXPECT_EQ(content.fileName(), folder.file("coin.pcx"));
    content.clear();
    EXPECT_TRUE(content.fileName().isEmpty());
}

TEST(ScreenCaptureTest, AnAreaWithoutWidthOrHeightIsRefused)
{
    const QImage screen = gradientPicture(300, 200);
    for (const QRect &area : {QRect(), QRect(40, 40, 0, 30), QRect(40, 40, 30, 0), QRect(500, 500, 20, 20)}) {
        test::ScriptedPrompt prompt;
        EXPECT_FALSE(capturedPicture(screen, area, prompt).has_value());
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text, "Both Width and Height of Captured Area must be > 0 !");
        EXPECT_EQ(prompt.shown[0].kind, MessageKind::Error);
    }
}

TEST(ScreenCaptureTest, TheCaptureIsTheSweptAreaInScreenPixels)
{
    QImage screen = gradientPicture(600, 400);
    test::ScriptedPrompt prompt;
    const std::optional<QImage> captured = capturedPicture(screen, QRect(10, 20, 30, 40), prompt);
    ASSERT_TRUE(captured.has_value());
    EXPECT_EQ(*captured, screen.copy(10, 20, 30, 40));

    // On a screen with two device pixels per logical pixel the area covers twice as many.
    screen.setDevicePixelRatio(2);
    const std::optional<QImage> sharp = capturedPicture(screen, QRect(10, 20, 30, 40), prompt);
    ASSERT_TRUE(sharp.has_value());
    EXPECT_EQ(sharp->size(), QSize(60, 80));
    EXPECT_EQ(sharp->pixel(0, 0), screen.pixel(20, 40));
    EXPECT_TRUE(prompt.shown.empty());
}

} // namespace
} // namespace numora::editors
