#include "platform/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <stdexcept>

namespace numora::platform {
namespace {

Qt::CursorShape shownCursor()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

TEST(BusyCursorTest, AFailedPassRestoresTheCursor)
{
    try {
        BusyCursor busy;
        EXPECT_EQ(shownCursor(), Qt::WaitCursor);
        throw std::runtime_error("the pass failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyCursorTest, NestedPassesGiveBackTheCursorThatWasThere)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
    {
        BusyCursor outer;
        {
            BusyCursor inner;
            EXPECT_EQ(shownCursor(), Qt::WaitCursor);
        }
        EXPECT_EQ(shownCursor(), Qt::WaitCursor);
    }
    EXPECT_EQ(shownCursor(), Qt::PointingHandCursor);
    QGuiApplication::restoreOverrideCursor();
}

} // namespace
} // namespace numora::platform
