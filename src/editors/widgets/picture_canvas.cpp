#include "editors/widgets/picture_canvas.h"

#include <QPainter>

namespace numora::editors {

PictureCanvas::PictureCanvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureCanvas::setImage(const QImage &image)
{
    image_ = image;
    update();
}

void PictureCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (image_.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(rect(), image_);
}

} // namespace numora::editors
