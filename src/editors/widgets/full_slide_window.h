#pragma once
// The full-screen view of a picture ("FullSlide"): the picture centred on a black
// screen, first at actual size; the popup menu's "Auto Stretch" switches to the largest
// size that fits the screen and back. A click or any key closes it.

#include <QImage>
#include <QWidget>

class QAction;

namespace numora::editors {

class FullSlideWindow : public QWidget {
    Q_OBJECT
public:
    explicit FullSlideWindow(const QImage &picture, QWidget *parent = nullptr);

    bool isStretched() const;
    QAction *autoStretchAction() const { return autoStretch_; }
    // Where the picture is drawn.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage picture_;
    QAction *autoStretch_;
};

} // namespace numora::editors
