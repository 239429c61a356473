#pragma once
// Geometry of the letter tab bar: a scroll-up button, a panel with the 26 letter tabs
// "A".."Z" stacked top to bottom, and a scroll-down button. Tabs overlap their neighbours
// by one pixel. When the panel is too low for all of them the scroll buttons move the
// stack by one tab at a time; each layout starts again with "A" at the panel's top.

#include <QList>
#include <QRect>
#include <QSize>

namespace numora::mainwin {

inline constexpr int kLetterCount = 26;
inline constexpr int kMinimumLetterTabHeight = 14;
// The scroll buttons are as wide as the bar and this high: room for an arrow glyph while
// a 400 x 300 window still shows a dozen tabs.
inline constexpr int kLetterScrollButtonHeight = 16;

struct LetterTabBarLayout {
    QRect scrollUpButton;
    QRect tabPanel; // between the buttons; never negative in height
    QRect scrollDownButton;
};

LetterTabBarLayout layoutLetterTabBar(QSize barSize);

// The tabs inside the panel, in panel coordinates.
class LetterTabStack {
public:
    // Stacked from the panel's top.
    explicit LetterTabStack(QSize panelSize);

    int tabHeight() const { return tabHeight_; }
    // "A" first.
    QList<QRect> tabRects() const;

    // While "A" starts above the panel.
    bool canScrollUp() const;
    // While "Z" ends below the panel.
    bool canScrollDown() const;
    // Moves every tab down the screen by one tab less the overlap; nothing when the
    // button would be disabled.
    void scrollUp();
    // Moves every tab up the screen by one tab less the overlap; nothing when the button
    // would be disabled.
    void scrollDown();

private:
    int tabTop(int letterIndex) const;
    int step() const { return tabHeight_ - 1; }

    QSize panelSize_;
    int tabHeight_ = kMinimumLetterTabHeight;
    int firstTop_ = 0;
};

} // namespace numora::mainwin
