#include "editors/widgets/edit_button.h"

#include <QPainter>
#include <qdrawutil.h>

namespace numora::editors {

TEditButton::TEditButton(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

QSize TEditButton::sizeHint() const { return {kWidth, 20}; }

void TEditButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colours = palette();
    qDrawWinButton(&painter, rect(), colours, isDown(), &colours.brush(QPalette::Button));

    const QColor dots = isEnabled() ? colours.color(QPalette::Active, QPalette::ButtonText)
                                    : colours.color(QPalette::Disabled, QPalette::ButtonText);
    const int offset = isDown() ? 1 : 0;
    const int y = height() / 2 + offset;
    const int x = width() / 2 + offset;
    for (int dx : {-4, 0, 4})
        painter.fillRect(x + dx - 1, y - 1, 2, 2, dots);
}

} // namespace numora::editors
