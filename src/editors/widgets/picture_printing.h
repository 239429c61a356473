#pragma once
// Printing a picture: the print window, then the picture alone on one page at its top
// left, sized by printedPictureSize. Kept apart so the picture field can be given
// another printer in tests.

class QImage;
class QWidget;

namespace numora::editors {

void printPicture(const QImage &picture, QWidget *parent);

} // namespace numora::editors
