#include "mainwin/widgets/record_speed_bar.h"

#include "mainwin/pane_layout.h"

#include <QLabel>
#include <QIcon>
#include <QToolButton>

namespace numora::mainwin {

namespace {

constexpr int kEdge = 2;
constexpr int kButtonSize = 24;

struct ButtonLook {
    QString hint;
    QString icon; // a freedesktop icon name
};

// In the bar's order, left to right.
const QList<ButtonLook> &buttonLooks()
{
    static const QList<ButtonLook> looks = {
        {QStringLiteral("Synchronize Left Page With Current Record [Alt+Y]"), QStringLiteral("view-refresh")},
        {QStringLiteral("Print Current Record [Alt+P]"), QStringLiteral("document-print")},
        {QStringLiteral("Delete Current Record [Alt+Delete]"), QStringLiteral("edit-delete")},
        {QStringLiteral("Undo Changes To Current Record [Alt+U]"), QStringLiteral("edit-undo")},
        {QStringLiteral("Copy Current Record To Copy Buffer [Alt+C]"), QStringLiteral("edit-copy")},
        {QStringLiteral("Paste From Copy Buffer To Current Record [Alt+T]"), QStringLiteral("edit-paste")},
        {QStringLiteral("Capture Web Page Into New Record [Alt+W]"), QStringLiteral("camera-web")},
        {QStringLiteral("Go To Web Page [Alt+G]"), QStringLiteral("web-browser")},
        {QStringLiteral("GoTo Previous Page [Alt+PgUp]"), QStringLiteral("go-previous")},
        {QStringLiteral("GoTo Next Page [Alt+PgDn]"), QStringLiteral("go-next")},
    };
    return looks;
}

bool isWebButton(RecordButton which)
{
    return which == RecordButton::Capture || which == RecordButton::GoToWebPage;
}

} // namespace

RecordSpeedBar::RecordSpeedBar(QWidget *parent)
    : QWidget(parent), position_(new QLabel(this)), percent_(new QLabel(this))
{
    setObjectName(QStringLiteral("recordSpeedBar"));
    setAutoFillBackground(true);
    const QList<ButtonLook> &looks = buttonLooks();
    for (int i = 0; i < looks.size(); ++i) {
        auto *button = new QToolButton(this);
        button->setToolTip(looks[i].hint);
        button->setIcon(QIcon::fromTheme(looks[i].icon));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this,
                [this, which = RecordButton(i)] { emit clicked(which); });
        buttons_ << button;
    }
    for (QLabel *counter : {position_, percent_}) {
        counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        counter->setAutoFillBackground(true);
    }
    setCounters(recordCounters(0, 0, false));
    setMinimumHeight(kButtonSize + 2 * kEdge);
}

void RecordSpeedBar::setCounters(const RecordCounters &counters)
{
    position_->setText(counters.position);
    percent_->setText(counters.percent);
}

void RecordSpeedBar::hideWebButtons()
{
    webButtonsHidden_ = true;
    button(RecordButton::Capture)->hide();
    button(RecordButton::GoToWebPage)->hide();
    layOutButtons();
}

void RecordSpeedBar::resizeEvent(QResizeEvent *) { layOutButtons(); }

// The counters stand right-aligned at the right edge, one above the other, with Next and
// Previous to their left; the other buttons run from the left edge up to Previous.
void RecordSpeedBar::layOutButtons()
{
    const int counterWidth = fontMetrics().horizontalAdvance(QStringLiteral("000000")) + kEdge;
    const int half = height() / 2;
    const int top = (height() - kButtonSize) / 2;
    const QRect designedButton(0, top, kButtonSize, kButtonSize);
    const RecordSpeedBarEnd end = placeRecordSpeedBarEnd(
        width(), {QRect(0, 0, counterWidth, half), QRect(0, half, counterWidth, height() - half),
                  designedButton, designedButton});
    position_->setGeometry(end.positionCounter);
    percent_->setGeometry(end.percentCounter);
    button(RecordButton::Previous)->setGeometry(end.previousButton);
    button(RecordButton::Next)->setGeometry(end.nextButton);

    QList<QToolButton *> shown;
    for (int i = 0; i < int(RecordButton::Previous); ++i)
        if (!webButtonsHidden_ || !isWebButton(RecordButton(i)))
            shown << buttons_[i];
    const QList<QRect> places =
        placeRecordSpeedBarButtons(int(shown.size()), designedButton, end.previousButton.left());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        shown[i]->setGeometry(places[i]);
        shown[i]->setVisible(!places[i].isNull());
    }
}

} // namespace numora::mainwin
