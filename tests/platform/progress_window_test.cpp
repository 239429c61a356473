#include "platform/progress_window.h"

#include "platform/percentage_bar.h"
#include "support/qt_printers.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QScreen>
#include <gtest/gtest.h>

#include <stdexcept>

namespace numora::platform {
namespace {

TEST(ProgressWindowTest, ShowsTheRoundedPercentageOfTheTotal)
{
    struct Case {
        int total;
        int position;
        int shown;
    };
    const std::vector<Case> cases = {
        {0, 0, 100}, {3, 0, 0},   {3, 1, 33},  {3, 2, 67},  {3, 3, 100},
        {200, 1, 1}, {400, 1, 0}, {3, 4, 100}, {0, 5, 100},
    };
    ProgressWindow window;
    for (const Case &c : cases) {
        window.setTotal(c.total);
        window.setPosition(c.position);
        EXPECT_EQ(window.shownPercentage(), c.shown) << c.position << " of " << c.total;
    }
}

TEST(ProgressWindowTest, StepsCountFromANewTotal)
{
    ProgressWindow window;
    window.setTotal(3);
    std::vector<int> shown;
    for (int i = 0; i < 3; ++i) {
        window.step();
        shown.push_back(window.shownPercentage());
    }
    EXPECT_EQ(shown, (std::vector<int>{33, 67, 100}));

    window.setTotal(4);
    EXPECT_EQ(window.shownPercentage(), 0);
    window.step();
    EXPECT_EQ(window.shownPercentage(), 25);
}

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void paintWhatIsPending()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

TEST(ProgressWindowTest, TheBarRepaintsOnlyWhenItsPercentageChanges)
{
    ProgressWindow window;
    ProgressPass pass(window);
    window.setTotal(300);
    paintWhatIsPending();
    paintWhatIsPending();
    auto *bar = window.findChild<PercentageBar *>();
    ASSERT_NE(bar, nullptr);
    PaintCounter counter;
    bar->installEventFilter(&counter);

    for (int record = 0; record < 300; ++record) {
        window.step();
        paintWhatIsPending();
    }
    EXPECT_EQ(counter.paints, 100); // one per percent from 1 to 100, not one per record
}

QImage barImage(int percentage)
{
    PercentageBar bar;
    bar.resize(200, 22);
    bar.setPercentage(percentage);
    return bar.grab().toImage();
}

TEST(ProgressWindowTest, TheBarFillsInGreenFromTheLeftOnWhiteInsideASunkenFrame)
{
    struct Case {
        int percentage;
        bool greenNearLeft;
        bool greenNearRight;
    };
    const std::vector<Case> cases = {{0, false, false}, {50, true, false}, {100, true, true}};
    for (const Case &c : cases) {
        const QImage image = barImage(c.percentage);
        const int middle = image.height() / 2;
        const auto isGreen = [&](int x) {
            const QColor color = image.pixelColor(x, middle);
            return color.green() > 100 && color.red() < 60 && color.blue() < 60;
        };
        const auto isWhite = [&](int x) { return image.pixelColor(x, middle) == Qt::white; };
        const int nearLeft = image.width() / 10;
        const int nearRight = image.width() - nearLeft;
        EXPECT_TRUE(c.greenNearLeft ? isGreen(nearLeft) : isWhite(nearLeft)) << c.percentage;
        EXPECT_TRUE(c.greenNearRight ? isGreen(nearRight) : isWhite(nearRight)) << c.percentage;

        // Sunken: shaded above and to the left, lit below and to the right.
        const QColor shade = image.pixelColor(image.width() / 2, 0);
        EXPECT_EQ(shade, image.pixelColor(0, middle)) << c.percentage;
        EXPECT_LT(shade.saturation(), 20) << c.percentage;
        EXPECT_LT(shade.lightness(), 200) << c.percentage;
        EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 1), Qt::white)
            << c.percentage;
        EXPECT_EQ(image.pixelColor(image.width() - 1, middle), Qt::white) << c.percentage;
    }
}

TEST(ProgressWindowTest, APassShowsTheWindowCentredOnTopAndHidesItOnEveryExit)
{
    ProgressWindow window;
    EXPECT_FALSE(window.isVisible());
    try {
        ProgressPass pass(window, "Backup Progress");
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "Backup Progress");
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        const QPoint offCentre =
            window.frameGeometry().center() - window.screen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 2);
        EXPECT_FALSE(window.close());
        EXPECT_TRUE(window.isVisible());
        throw std::runtime_error("the pass failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_FALSE(window.isVisible());

    ProgressPass nextPass(window);
    EXPECT_EQ(window.windowTitle(), "Progress");
}

} // namespace
} // namespace numora::platform
