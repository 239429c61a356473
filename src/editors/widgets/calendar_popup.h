#pragma once
// The pop-up calendar of the date field: a small borderless month page that opens
// below the field on the field's date and lets the user pick a day by keys or mouse.
// exec() returns Accepted when a date was taken (a day, Enter, or the today button);
// selectedDate() is that date. The date arithmetic lives in CalendarMonth and
// moveCalendarDate.

#include "editors/calendar_month.h"

#include <QDate>
#include <QDialog>

class QAbstractButton;

namespace numora::editors {

class TMyBtnEdit;

class TfrmCalPop : public QDialog {
    Q_OBJECT
public:
    // Opens below `field` (when given) on `start`.
    explicit TfrmCalPop(const QDate &start, TMyBtnEdit *field = nullptr);

    QDate selectedDate() const { return selected_; }
    QAbstractButton *todayButton() const { return today_; }
    QAbstractButton *cancelButton() const { return cancel_; }
    QAbstractButton *previousMonthButton() const { return previous_; }
    QAbstractButton *nextMonthButton() const { return next_; }
    // The cell of the month grid under a point, -1 outside the grid.
    int cellAt(const QPoint &point) const;
    QRect cellRect(int cell) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void moveSelection(CalendarMove move);
    bool selectAt(const QPoint &point);
    void paintTitle(QPainter &painter);
    void paintWeekdays(QPainter &painter);
    void paintDays(QPainter &painter);

    QDate selected_;
    int unit_;     // a third of a day column
    int line_;     // the height of a text line
    int gridTop_;
    bool picking_ = false; // a mouse button went down on a day
    QAbstractButton *previous_;
    QAbstractButton *next_;
    QAbstractButton *today_;
    QAbstractButton *cancel_;
};

} // namespace numora::editors
