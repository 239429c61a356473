// The picture field driven offscreen as the user drives it: loading a file and writing
// the record, pasting, the read-only state, the tool bar and the print hand-off.

#include "editors/widgets/full_slide_window.h"
#include "editors/widgets/multi_img_control.h"
#include "editors/picture_files.h"
#include "editors/test_pictures.h"
#include "support/coin_table.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace numora::editors {
namespace {

using test::gradientPicture;
using test::largestChannelDifference;
namespace column = test::column;

// Counts pictureChanged; lives no longer than the field it listens to.
struct ChangeCounter {
    explicit ChangeCounter(TMultiImgControl &field)
    {
        QObject::connect(&field, &TMultiImgControl::pictureChanged, [this] { ++count; });
    }
    int count = 0;
};

class PictureControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        test::createCoinTable(folder.path());
        test::openTable(table, folder.path());
        test::appendCoin(table, 1, {"Florin"});
        control.setColumn(column::Picture);
        control.setPrompt(&prompt);
        QGuiApplication::clipboard()->clear();
    }

    void storeAndPost(TDbMultiImgControl &field)
    {
        table.edit();
        field.storeIntoRecord(table);
        table.post();
    }

    // Right-clicks the control and reports whether a menu opened (closing it again).
    bool rightClickOpensMenu()
    {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                opened = true;
                popup->close();
            }
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), control.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&control, &click);
        QCoreApplication::processEvents();
        return opened;
    }

    test::TempFolder folder;
    store::Table table;
    test::ScriptedPrompt prompt;
    TDbMultiImgControl control;
};

TEST_F(PictureControlTest, ALoadedFileIsWrittenToTheRecordAndReadBack)
{
    const QString path = folder.file("coin.png");
    ASSERT_TRUE(savePictureFile(gradientPicture(64, 48), path));
    ChangeCounter changed(control);
    ASSERT_TRUE(control.loadFile(path));
    EXPECT_EQ(changed.count, 1);
    EXPECT_TRUE(control.isModified());
    EXPECT_EQ(control.fileName(), path);
    storeAndPost(control);
    EXPECT_TRUE(table.bytes(column::Picture).startsWith("BM"));

    TDbMultiImgControl other;
    other.setColumn(column::Picture);
    ChangeCounter otherChanged(other);
    ASSERT_TRUE(other.readFromRecord(table));
    EXPECT_EQ(largestChannelDifference(other.picture(), gradientPicture(64, 48)), 0);
    EXPECT_FALSE(other.isModified());
    EXPECT_EQ(otherChanged.count, 0);

    // A missing file clears the picture, as when the record's file went away.
    ASSERT_TRUE(other.loadFile(folder.file("gone.png")));
    EXPECT_TRUE(other.isEmpty());
    storeAndPost(other);
    EXPECT_TRUE(table.isNull(column::Picture));
}

TEST_F(PictureControlTest, PastingTakesThePictureFromTheClipboard)
{
    QAction *paste = control.action(PictureCommand::Paste);
    QGuiApplication::clipboard()->setText(QStringLiteral("no picture"));
    EXPECT_FALSE(paste->isEnabled());
    EXPECT_FALSE(control.pastePicture());
    EXPECT_TRUE(control.isEmpty());

    const QImage picture = gradientPicture(20, 30);
    QGuiApplication::clipboard()->setImage(picture);
    ASSERT_TRUE(paste->isEnabled());
    ChangeCounter changed(control);
    paste->trigger();
    EXPECT_EQ(changed.count, 1);
    EXPECT_EQ(largestChannelDifference(control.picture(), picture), 0);
    EXPECT_TRUE(control.isModified());
}

TEST_F(PictureControlTest, ReadOnlyKeepsThePictureReadableButUnchangeable)
{
    QGuiApplication::clipboard()->setImage(gradientPicture(4, 4));
    control.setPicture(gradientPicture(10, 10));
    EXPECT_TRUE(rightClickOpensMenu());

    control.setReadOnly(true);
    EXPECT_TRUE(control.isEnabled());
    for (PictureCommand command : {PictureCommand::Clear, PictureCommand::Load, PictureCommand::Paste,
                                   PictureCommand::ScreenCapture, PictureCommand::Scan})
        EXPECT_FALSE(control.action(command)->isEnabled()) << control.action(command)->text().toStdString();
    for (PictureCommand command : {PictureCommand::Save, PictureCommand::Copy, PictureCommand::Print,
                                   PictureCommand::FullScreen, PictureCommand::AutoStretch})
        EXPECT_TRUE(control.action(command)->isEnabled()) << control.action(command)->text().toStdString();
    EXPECT_FALSE(rightClickOpensMenu());

    control.setReadOnly(false);
    EXPECT_TRUE(control.action(PictureCommand::Clear)->isEnabled());
    EXPECT_TRUE(control.action(PictureCommand::Paste)->isEnabled());
    EXPECT_FALSE(control.action(PictureCommand::Scan)->isEnabled()) << "there is no scanner";
}

TEST_F(PictureControlTest, TheToolBarShowsOnlyInAWideEnoughControl)
{
    QStringList hints;
    for (QToolButton *button : control.findChildren<QToolButton *>())
        hints << button->toolTip();
    EXPECT_EQ(hints, QStringList({"Clear", "Load", "Save", "Copy", "Paste", "Screen Capture", "Print",
                                  "Scan", "Full Screen", "Auto Stretch"}));

    control.show();
    control.resize(210, 200);
    EXPECT_TRUE(control.isToolBarShown());
    EXPECT_EQ(control.preparedMenu()->actions().at(11)->text(), "Hide &Tool Bar");
    control.resize(209, 200);
    EXPECT_FALSE(control.isToolBarShown());
    EXPECT_EQ(control.preparedMenu()->actions().at(11)->text(), "Show &Tool Bar");

    control.setSpeedBarVisible(false);
    control.resize(300, 200);
    EXPECT_FALSE(control.isToolBarShown());
    EXPECT_FALSE(control.preparedMenu()->actions().at(11)->isVisible());
}

TEST_F(PictureControlTest, PrintHandsThePictureToThePrinter)
{
    QList<QSize> printed;
    control.setPrintFunction([&](const QImage &picture, QWidget *) { printed << picture.size(); });
    control.action(PictureCommand::Print)->trigger();
    control.setPicture(gradientPicture(12, 7));
    control.action(PictureCommand::Print)->trigger();
    EXPECT_EQ(printed, QList<QSize>({QSize(12, 7)}));
}

TEST_F(PictureControlTest, FullScreenShowsThePictureAndAutoStretchFitsIt)
{
    control.action(PictureCommand::FullScreen)->trigger();
    EXPECT_EQ(control.findChild<FullSlideWindow *>(), nullptr) << "nothing to show";

    control.setPicture(gradientPicture(40, 20));
    control.action(PictureCommand::FullScreen)->trigger();
    auto *slide = control.findChild<FullSlideWindow *>(QStringLiteral("FullSlide"));
    ASSERT_NE(slide, nullptr);
    slide->resize(800, 600);
    EXPECT_EQ(slide->pictureRect().size(), QSize(40, 20));
    slide->autoStretchAction()->trigger();
    EXPECT_EQ(slide->pictureRect().size(), QSize(800, 400));
    slide->close();
}

} // namespace
} // namespace numora::editors
