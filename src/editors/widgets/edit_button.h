#pragma once
// The small button at the right end of a button edit: three dots across its middle,
// grey while the edit is disabled, in a raised frame that is sunken while pressed.

#include <QAbstractButton>

namespace numora::editors {

class TEditButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kWidth = 20;

    explicit TEditButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace numora::editors
