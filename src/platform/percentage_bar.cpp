#include "platform/percentage_bar.h"

#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

#include <algorithm>

namespace numora::platform {

namespace {

constexpr int frameWidth = 2;
const QColor fillColor(0, 160, 0);

void drawSunkenFrame(QPainter &painter, const QRect &rect)
{
    QPalette frame;
    frame.setColor(QPalette::Dark, QColor(128, 128, 128));
    frame.setColor(QPalette::Light, Qt::white);
    qDrawShadePanel(&painter, rect, frame, true, frameWidth);
}

} // namespace

PercentageBar::PercentageBar(QWidget *parent) : QWidget(parent) {}

void PercentageBar::setPercentage(int percentage)
{
    percentage = std::clamp(percentage, 0, 100);
    if (percentage == percentage_)
        return;
    percentage_ = percentage;
    update();
}

QSize PercentageBar::sizeHint() const { return {280, 22}; }

void PercentageBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawSunkenFrame(painter, rect());

    const QRect inside = rect().adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
    QRect filled = inside;
    filled.setWidth(inside.width() * percentage_ / 100);
    const QRect empty = inside.adjusted(filled.width(), 0, 0, 0);
    painter.fillRect(filled, fillColor);
    painter.fillRect(empty, Qt::white);

    // The text changes colour where it crosses the filled part, so it reads on both.
    const QString text = QString::number(percentage_) + u'%';
    for (const auto &[part, textColour] :
         {std::pair{filled, Qt::white}, std::pair{empty, Qt::black}}) {
        painter.setClipRect(part);
        painter.setPen(textColour);
        painter.drawText(inside, Qt::AlignCenter, text);
    }
}

} // namespace numora::platform
