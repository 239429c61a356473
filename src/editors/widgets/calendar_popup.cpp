#include "editors/widgets/calendar_popup.h"

#include "editors/widgets/my_btn_edit.h"

#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <qdrawutil.h>

#include <cmath>

namespace numora::editors {

namespace {

constexpr int kMargin = 4;
constexpr int kButtonArea = 28;
constexpr const char *kWeekdays[kCalendarColumns] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};

QToolButton *arrowButton(Qt::ArrowType arrow, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QPushButton *bottomButton(QStyle::StandardPixmap icon, const QString &hint, QWidget *parent)
{
    auto *button = new QPushButton(parent->style()->standardIcon(icon), QString(), parent);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmCalPop::TfrmCalPop(const QDate &start, TMyBtnEdit *field)
    : QDialog(field, Qt::Dialog | Qt::FramelessWindowHint), selected_(start)
{
    if (field && field->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint);
    setToolTip(QStringLiteral("Click on a Day to update Date Field"));
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPointSize(6);
    setFont(small);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(silver);
    setAutoFillBackground(true);

    const QFontMetrics metrics(font());
    unit_ = int(std::lround(metrics.averageCharWidth() * 1.6));
    line_ = int(std::lround(metrics.height() * 4.0 / 3.0));
    gridTop_ = kMargin + 2 * line_ + 2;
    const int width = 3 * kCalendarColumns * unit_ + 2 * kMargin;
    const int height = 8 * line_ + kButtonArea;
    setFixedSize(width, height);

    previous_ = arrowButton(Qt::LeftArrow, this);
    next_ = arrowButton(Qt::RightArrow, this);
    previous_->setGeometry(kMargin, kMargin, 2 * unit_, line_);
    next_->setGeometry(width - kMargin - 2 * unit_, kMargin, 2 * unit_, line_);
    connect(previous_, &QAbstractButton::clicked, this,
            [this] { moveSelection(CalendarMove::PreviousMonth); });
    connect(next_, &QAbstractButton::clicked, this,
            [this] { moveSelection(CalendarMove::NextMonth); });

    today_ = bottomButton(QStyle::SP_DialogYesButton, QStringLiteral("Set Today Date"), this);
    cancel_ = bottomButton(QStyle::SP_DialogCancelButton,
                           QStringLiteral("Close Calendar Without Updating Date Field."), this);
    const int buttonHeight = kButtonArea - 6;
    const int buttonWidth = std::min(3 * unit_ * 2, width / 2 - kMargin);
    const int buttonTop = height - buttonHeight - 3;
    today_->setGeometry(width / 2 - buttonWidth - 1, buttonTop, buttonWidth, buttonHeight);
    cancel_->setGeometry(width / 2 + 1, buttonTop, buttonWidth, buttonHeight);
    connect(today_, &QAbstractButton::clicked, this, [this] {
        selected_ = QDate::currentDate();
        accept();
    });
    connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);

    if (field)
        move(field->popupPosition(size(), PopupAlignment::FieldRight));
}

int TfrmCalPop::cellAt(const QPoint &point) const
{
    const int column = (point.x() - kMargin) / (3 * unit_);
    const int row = (point.y() - gridTop_) / line_;
    if (point.x() < kMargin || point.y() < gridTop_ || column >= kCalendarColumns ||
        row >= kCalendarRows)
        return -1;
    return row * kCalendarColumns + column;
}

QRect TfrmCalPop::cellRect(int cell) const
{
    const int row = cell / kCalendarColumns, column = cell % kCalendarColumns;
    return {kMargin + column * 3 * unit_, gridTop_ + row * line_, 3 * unit_, line_};
}

void TfrmCalPop::moveSelection(CalendarMove move)
{
    selected_ = moveCalendarDate(selected_, move);
    update();
}

bool TfrmCalPop::selectAt(const QPoint &point)
{
    const int cell = cellAt(point);
    const std::optional<int> day = cell < 0 ? std::nullopt : CalendarMonth(selected_).dayAt(cell);
    if (!day)
        return false;
    selected_ = QDate(selected_.year(), selected_.month(), *day);
    update();
    return true;
}

void TfrmCalPop::keyPressEvent(QKeyEvent *event)
{
    static const std::pair<int, CalendarMove> kMoves[] = {
        {Qt::Key_Left, CalendarMove::PreviousDay},   {Qt::Key_Right, CalendarMove::NextDay},
        {Qt::Key_Up, CalendarMove::PreviousWeek},    {Qt::Key_Down, CalendarMove::NextWeek},
        {Qt::Key_PageUp, CalendarMove::PreviousMonth}, {Qt::Key_PageDown, CalendarMove::NextMonth},
        {Qt::Key_Home, CalendarMove::NextYear},      {Qt::Key_End, CalendarMove::PreviousYear},
    };
    for (const auto &[key, calendarMove] : kMoves) {
        if (event->key() == key) {
            moveSelection(calendarMove);
            return;
        }
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event); // Escape rejects
}

void TfrmCalPop::mousePressEvent(QMouseEvent *event)
{
    picking_ = event->button() == Qt::LeftButton && selectAt(event->position().toPoint());
}

void TfrmCalPop::mouseMoveEvent(QMouseEvent *event)
{
    if (picking_)
        selectAt(event->position().toPoint());
}

void TfrmCalPop::mouseReleaseEvent(QMouseEvent *event)
{
    if (!picking_ || event->button() != Qt::LeftButton)
        return;
    picking_ = false;
    accept();
}

void TfrmCalPop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), false, 1);
    paintTitle(painter);
    paintWeekdays(painter);
    paintDays(painter);
}

void TfrmCalPop::paintTitle(QPainter &painter)
{
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    const QRect title(kMargin + 2 * unit_, kMargin, width() - 2 * kMargin - 4 * unit_, line_);
    painter.drawText(title, Qt::AlignCenter,
                     QLocale().toString(selected_, QStringLiteral("MMMM d, yyyy")));
    painter.setFont(font());
}

void TfrmCalPop::paintWeekdays(QPainter &painter)
{
    for (int column = 0; column < kCalendarColumns; ++column) {
        painter.setPen(column == 0 ? Qt::red : Qt::black);
        const QRect cell(kMargin + column * 3 * unit_, kMargin + line_, 3 * unit_, line_);
        painter.drawText(cell, Qt::AlignCenter, QString::fromLatin1(kWeekdays[column]));
    }
    qDrawShadeLine(&painter, kMargin, gridTop_ - 1, width() - kMargin, gridTop_ - 1, palette());
}

void TfrmCalPop::paintDays(QPainter &painter)
{
    const CalendarMonth month(selected_);
    const QDate today = QDate::currentDate();
    const bool todaysMonth = today.year() == selected_.year() && today.month() == selected_.month();
    QFont bold = font();
    bold.setBold(true);
    for (int day = 1; day <= month.daysInMonth(); ++day) {
        const int cell = month.cellOf(day);
        const QRect box = cellRect(cell);
        const bool selected = day == selected_.day();
        if (selected)
            qDrawShadePanel(&painter, box, palette(), true, 1);
        painter.setFont(selected ? bold : font());
        if (todaysMonth && day == today.day())
            painter.setPen(Qt::yellow);
        else
            painter.setPen(cell % kCalendarColumns == 0 ? Qt::red : Qt::black);
        painter.drawText(box, Qt::AlignCenter, QString::number(day));
    }
}

} // namespace numora::editors
