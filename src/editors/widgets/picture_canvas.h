#pragma once
// The image inside the picture field's scroll box: it paints the picture over its whole
// area, so sizing the canvas is what stretches the picture or shows it at actual size.

#include <QImage>
#include <QWidget>

namespace numora::editors {

class PictureCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PictureCanvas(QWidget *parent = nullptr);
    void setImage(const QImage &image);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage image_;
};

} // namespace numora::editors
