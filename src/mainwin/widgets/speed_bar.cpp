#include "mainwin/widgets/speed_bar.h"

#include "mainwin/speed_bar_layout.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>

namespace numora::mainwin {

namespace {

constexpr int kButtonTop = 4;
constexpr int kButtonHeight = 28;

} // namespace

SpeedBar::SpeedBar(const QStringList &pageTitles, QWidget *parent)
    : QWidget(parent), pages_(new QStackedWidget(this)), tabs_(new QTabBar(this))
{
    setAutoFillBackground(true);
    tabs_->setShape(QTabBar::RoundedSouth);
    for (const QString &title : pageTitles) {
        tabs_->addTab(title);
        pages_->addWidget(new QWidget(pages_));
        buttons_.append(QList<QToolButton *>());
    }
    connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
}

QToolButton *SpeedBar::addButton(int page, const QString &caption, const QString &hint,
                                 const QIcon &icon)
{
    auto *button = new QToolButton(pages_->widget(page));
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    buttons_[page].append(button);
    return button;
}

void SpeedBar::showPage(int page)
{
    tabs_->setCurrentIndex(page);
}

void SpeedBar::placeAt(const QRect &geometry)
{
    setGeometry(geometry);
    const int tabHeight = tabs_->sizeHint().height();
    tabs_->setGeometry(0, geometry.height() - tabHeight, geometry.width(), tabHeight);
    pages_->setGeometry(0, 0, geometry.width(), geometry.height() - tabHeight);
    layOutButtons();
}

// The width a button needs with its caption, whatever state it is in now.
int SpeedBar::fullWidth(QToolButton *button) const
{
    const Qt::ToolButtonStyle shown = button->toolButtonStyle();
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const int width = button->sizeHint().width();
    button->setToolButtonStyle(shown);
    return width;
}

void SpeedBar::layOutButtons()
{
    SpeedBarInput input;
    input.pageWidth = pages_->width();
    input.buttonTop = kButtonTop;
    input.buttonHeight = kButtonHeight;
    input.compact = compact_;
    for (const QList<QToolButton *> &page : buttons_) {
        QList<int> widths;
        for (QToolButton *button : page)
            widths.append(fullWidth(button));
        input.fullButtonWidths.append(widths);
    }
    const SpeedBarLayout layout = layoutSpeedBar(input);
    compact_ = layout.compact;
    const Qt::ToolButtonStyle style =
        compact_ ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon;
    for (qsizetype page = 0; page < buttons_.size(); ++page) {
        for (qsizetype i = 0; i < buttons_[page].size(); ++i) {
            buttons_[page][i]->setToolButtonStyle(style);
            buttons_[page][i]->setGeometry(layout.buttons[page][i]);
        }
    }
}

} // namespace numora::mainwin
