#pragma once
// The record speed bar under the form pages: the buttons that act on the shown record
// (Synchronize, Print, Delete, Undo, Copy, Paste, the two web buttons, Previous, Next)
// and the position and percent counters at its right end. The window decides what each
// button does and when it is enabled; the bar places the buttons and shows the counters.

#include "mainwin/record_session.h"

#include <QList>
#include <QWidget>

class QLabel;
class QToolButton;

namespace numora::mainwin {

enum class RecordButton {
    Synchronize, Print, Delete, Undo, Copy, Paste, Capture, GoToWebPage, Previous, Next,
};

class RecordSpeedBar : public QWidget {
    Q_OBJECT
public:
    explicit RecordSpeedBar(QWidget *parent = nullptr);

    QToolButton *button(RecordButton which) const { return buttons_.at(int(which)); }
    void setCounters(const RecordCounters &counters);
    QLabel *positionCounter() const { return position_; }
    QLabel *percentCounter() const { return percent_; }
    // The web buttons exist only while the web features are on.
    void hideWebButtons();

signals:
    void clicked(RecordButton which);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOutButtons();

    QList<QToolButton *> buttons_;
    QLabel *position_;
    QLabel *percent_;
    // Set for good: a button that does not fit is hidden too, and comes back when it fits.
    bool webButtonsHidden_ = false;
};

} // namespace numora::mainwin
