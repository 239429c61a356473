#include "editors/widgets/screen_capture_window.h"

#include "editors/picture_geometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRubberBand>
#include <QScreen>

namespace numora::editors {

ScreenCaptureWindow::ScreenCaptureWindow(QScreen *screen, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      screenshot_(screen->grabWindow(0).toImage()),
      band_(new QRubberBand(QRubberBand::Rectangle, this))
{
    setGeometry(screen->geometry());
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScreenCaptureWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    grabMouse(Qt::CrossCursor);
}

void ScreenCaptureWindow::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(rect(), screenshot_);
}

void ScreenCaptureWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    press_ = event->position().toPoint();
    pressed_ = true;
    band_->setGeometry(QRect(press_, QSize()));
    band_->show();
}

void ScreenCaptureWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (pressed_)
        band_->setGeometry(QRect(press_, event->position().toPoint()).normalized());
}

void ScreenCaptureWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (!pressed_ || event->button() != Qt::LeftButton)
        return;
    releaseMouse();
    area_ = captureArea(press_, event->position().toPoint(), rect());
    accept();
}

} // namespace numora::editors
