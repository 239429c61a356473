#include "editors/widgets/full_slide_window.h"

#include "editors/picture_geometry.h"

#include <QAction>
#include <QMouseEvent>
#include <QPainter>

namespace numora::editors {

FullSlideWindow::FullSlideWindow(const QImage &picture, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      picture_(picture),
      autoStretch_(new QAction(QStringLiteral("Auto Stretch"), this))
{
    setObjectName(QStringLiteral("FullSlide"));
    setWindowTitle(QStringLiteral("FullSlide"));
    setAttribute(Qt::WA_DeleteOnClose);
    autoStretch_->setCheckable(true);
    connect(autoStretch_, &QAction::toggled, this, qOverload<>(&QWidget::update));
    addAction(autoStretch_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool FullSlideWindow::isStretched() const
{
    return autoStretch_->isChecked();
}

QRect FullSlideWindow::pictureRect() const
{
    const QSize size = isStretched() ? fitInside(picture_.size(), this->size()) : picture_.size();
    QRect placed(QPoint(), size);
    placed.moveCenter(rect().center());
    return placed;
}

void FullSlideWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), picture_);
}

void FullSlideWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        close();
}

void FullSlideWindow::keyPressEvent(QKeyEvent *)
{
    close();
}

} // namespace numora::editors
