#pragma once
// The progress window's bar: a sunken grey-and-white frame, white inside, filled in green
// from the left up to the percentage, with the percentage and "%" centred on it. It asks
// for a repaint only when the percentage it shows changes, so a pass may report every
// record without redrawing for each.

#include <QWidget>

namespace numora::platform {

class PercentageBar : public QWidget {
    Q_OBJECT
public:
    explicit PercentageBar(QWidget *parent = nullptr);

    // Values outside 0..100 are shown as the nearer end.
    void setPercentage(int percentage);
    int percentage() const { return percentage_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int percentage_ = 0;
};

} // namespace numora::platform
