#include "mainwin/letter_tab_geometry.h"

#include <algorithm>

namespace numora::mainwin {

LetterTabBarLayout layoutLetterTabBar(QSize barSize)
{
    const int width = barSize.width();
    const int panelHeight = std::max(0, barSize.height() - 2 * kLetterScrollButtonHeight);
    LetterTabBarLayout layout;
    layout.scrollUpButton = QRect(0, 0, width, kLetterScrollButtonHeight);
    layout.tabPanel = QRect(0, kLetterScrollButtonHeight, width, panelHeight);
    layout.scrollDownButton =
        QRect(0, kLetterScrollButtonHeight + panelHeight, width, kLetterScrollButtonHeight);
    return layout;
}

LetterTabStack::LetterTabStack(QSize panelSize)
    : panelSize_(panelSize),
      tabHeight_(std::max(kMinimumLetterTabHeight, panelSize.height() / kLetterCount))
{
}

QList<QRect> LetterTabStack::tabRects() const
{
    QList<QRect> rects;
    for (int i = 0; i < kLetterCount; ++i)
        rects.append(QRect(0, tabTop(i), panelSize_.width(), tabHeight_));
    return rects;
}

bool LetterTabStack::canScrollUp() const
{
    return firstTop_ < 0;
}

bool LetterTabStack::canScrollDown() const
{
    return tabTop(kLetterCount - 1) + tabHeight_ > panelSize_.height();
}

void LetterTabStack::scrollUp()
{
    if (canScrollUp())
        firstTop_ += step();
}

void LetterTabStack::scrollDown()
{
    if (canScrollDown())
        firstTop_ -= step();
}

int LetterTabStack::tabTop(int letterIndex) const
{
    return firstTop_ + letterIndex * step();
}

} // namespace numora::mainwin
