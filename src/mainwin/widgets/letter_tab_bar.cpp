#include "mainwin/widgets/letter_tab_bar.h"

#include "mainwin/letter_tab_geometry.h"

#include <QPainter>
#include <QToolButton>

namespace numora::mainwin {

namespace {

int letterIndex(QChar letter) { return letter.unicode() - u'A'; }

} // namespace

TColorButton::TColorButton(QChar letter, QWidget *parent)
    : QAbstractButton(parent), letter_(letter),
      colours_(
          settings::letterTabColours(settings::ColourScheme(), settings::LetterTabState::Empty))
{
    setText(QString(letter));
    setToolTip(QStringLiteral("Jump to Page beginning with ") + letter);
    setFocusPolicy(Qt::NoFocus);
}

// A disabled bar has no letter range to stand in, so no tab looks selected.
settings::LetterTabState TColorButton::state() const
{
    if (selected_ && isEnabled())
        return settings::LetterTabState::Selected;
    return count_ > 0 ? settings::LetterTabState::HasRecords : settings::LetterTabState::Empty;
}

void TColorButton::applyColours(const settings::ColourScheme &scheme)
{
    colours_ = settings::letterTabColours(scheme, state());
    update();
}

QColor TColorButton::faceColour() const
{
    return colours_.background.toQColor(palette());
}

QColor TColorButton::letterColour() const
{
    if (!isEnabled())
        return palette().color(QPalette::Disabled, QPalette::WindowText);
    const QColor text = colours_.text.toQColor(palette());
    // The selected tab's letter is the one the user looks for; an empty tab is dim on purpose.
    return state() == settings::LetterTabState::Selected ? settings::readableTextOn(text, faceColour())
                                                         : text;
}

void TColorButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), faceColour());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    painter.setPen(letterColour());
    if (state() == settings::LetterTabState::Selected) {
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
    }
    painter.drawText(rect(), Qt::AlignCenter, QString(letter_));
}

LetterTabBar::LetterTabBar(QWidget *parent)
    : QWidget(parent), scrollUp_(new QToolButton(this)), panel_(new QWidget(this)),
      scrollDown_(new QToolButton(this)), stack_(std::make_unique<LetterTabStack>(QSize()))
{
    scrollUp_->setArrowType(Qt::UpArrow);
    scrollUp_->setToolTip(QStringLiteral("Scroll Letter Bar Up"));
    scrollDown_->setArrowType(Qt::DownArrow);
    scrollDown_->setToolTip(QStringLiteral("Scroll Letter Bar Down"));
    panel_->setToolTip(QStringLiteral("If Letter Tabs are disabled select Primary Sort Field"));
    for (int i = 0; i < kLetterCount; ++i) {
        auto *tab = new TColorButton(QChar(u'A' + i), panel_);
        connect(tab, &QAbstractButton::clicked, this,
                [this, tab] { emit letterChosen(tab->letter()); });
        tabs_ << tab;
    }
    connect(scrollUp_, &QToolButton::clicked, this, [this] {
        stack_->scrollUp();
        placeTabs();
    });
    connect(scrollDown_, &QToolButton::clicked, this, [this] {
        stack_->scrollDown();
        placeTabs();
    });
    recolour();
}

LetterTabBar::~LetterTabBar() = default;

void LetterTabBar::setColourScheme(const settings::ColourScheme *scheme)
{
    scheme_ = scheme;
    recolour();
}

void LetterTabBar::setCounts(const QList<quint32> &counts)
{
    for (int i = 0; i < kLetterCount; ++i)
        tabs_[i]->setCount(counts.value(i, 0));
    recolour();
}

void LetterTabBar::setCount(QChar letter, quint32 count)
{
    if (TColorButton *letterTab = tab(letter)) {
        letterTab->setCount(count);
        letterTab->applyColours(scheme_ ? *scheme_ : defaultScheme_);
    }
}

void LetterTabBar::selectLetter(QChar letter)
{
    for (TColorButton *letterTab : tabs_)
        letterTab->setSelected(letterTab->letter() == letter);
    recolour();
}

QChar LetterTabBar::selectedLetter() const
{
    for (TColorButton *letterTab : tabs_)
        if (letterTab->isSelected())
            return letterTab->letter();
    return {};
}

void LetterTabBar::setTabsEnabled(bool enabled)
{
    for (TColorButton *letterTab : tabs_)
        letterTab->setEnabled(enabled);
    recolour();
}

TColorButton *LetterTabBar::tab(QChar letter) const
{
    const int index = letterIndex(letter);
    return index >= 0 && index < kLetterCount ? tabs_[index] : nullptr;
}

void LetterTabBar::resizeEvent(QResizeEvent *)
{
    const LetterTabBarLayout layout = layoutLetterTabBar(size());
    scrollUp_->setGeometry(layout.scrollUpButton);
    panel_->setGeometry(layout.tabPanel);
    scrollDown_->setGeometry(layout.scrollDownButton);
    // Every layout starts again with "A" at the panel's top.
    stack_ = std::make_unique<LetterTabStack>(layout.tabPanel.size());
    placeTabs();
}

void LetterTabBar::placeTabs()
{
    const QList<QRect> rects = stack_->tabRects();
    for (int i = 0; i < kLetterCount; ++i)
        tabs_[i]->setGeometry(rects[i]);
    scrollUp_->setEnabled(stack_->canScrollUp());
    scrollDown_->setEnabled(stack_->canScrollDown());
}

void LetterTabBar::recolour()
{
    for (TColorButton *letterTab : tabs_)
        letterTab->applyColours(scheme_ ? *scheme_ : defaultScheme_);
}

} // namespace numora::mainwin
