#pragma once
// The capture window of a screen capture: it covers the screen with a still copy of it,
// taken when the window is made, and lets the user sweep a rectangle with the mouse
// (a rubber band follows). Releasing the button ends it; Escape ends it with nothing
// swept, so the user is never trapped behind the still image.

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>

class QRubberBand;
class QScreen;

namespace numora::editors {

class ScreenCaptureWindow : public QDialog {
    Q_OBJECT
public:
    explicit ScreenCaptureWindow(QScreen *screen, QWidget *parent = nullptr);

    const QImage &screenshot() const { return screenshot_; }
    // In the screenshot's logical pixels; empty until the button was released.
    QRect sweptArea() const { return area_; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage screenshot_;
    QRubberBand *band_;
    QPoint press_;
    bool pressed_ = false;
    QRect area_;
};

} // namespace numora::editors
