#include "editors/widgets/picture_printing.h"

#include "editors/picture_geometry.h"

#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace numora::editors {

void printPicture(const QImage &picture, QWidget *parent)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    const QSize page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    painter.drawImage(QRect(QPoint(), printedPictureSize(picture.size(), page)), picture);
}

} // namespace numora::editors
