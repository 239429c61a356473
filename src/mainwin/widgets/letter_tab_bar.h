#pragma once
// The letter tab bar beside the record list: a scroll-up button, the 26 letter tabs
// "A".."Z" and a scroll-down button. Each tab shows its letter in the colours of its
// state (selected, has records, empty); clicking one asks the list for that letter's
// page. At most one tab is selected at a time.

#include "settings/colour_scheme.h"

#include <QAbstractButton>
#include <QList>
#include <QWidget>

class QToolButton;

namespace numora::mainwin {

class LetterTabStack;

// One letter tab.
class TColorButton : public QAbstractButton {
    Q_OBJECT
public:
    TColorButton(QChar letter, QWidget *parent = nullptr);

    QChar letter() const { return letter_; }
    quint32 count() const { return count_; }
    void setCount(quint32 count) { count_ = count; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }

    settings::LetterTabState state() const;
    // The tab's colours for its state; repaints.
    void applyColours(const settings::ColourScheme &scheme);
    const settings::ColourPair &colours() const { return colours_; }
    // What the tab paints its face and its letter with, as the state and enabling decide.
    QColor faceColour() const;
    QColor letterColour() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QChar letter_;
    quint32 count_ = 0;
    bool selected_ = false;
    settings::ColourPair colours_;
};

class LetterTabBar : public QWidget {
    Q_OBJECT
public:
    explicit LetterTabBar(QWidget *parent = nullptr);
    ~LetterTabBar() override;

    // The scheme must outlive the bar; null keeps the default scheme.
    void setColourScheme(const settings::ColourScheme *scheme);
    // Counts "A" first; missing counts are 0. Recolours every tab.
    void setCounts(const QList<quint32> &counts);
    void setCount(QChar letter, quint32 count);
    // Marks the letter's tab as the selected one and recolours the tabs.
    void selectLetter(QChar letter);
    QChar selectedLetter() const;
    // Disabled tabs cannot be clicked; the bar stays visible.
    void setTabsEnabled(bool enabled);

    TColorButton *tab(QChar letter) const;
    QToolButton *scrollUpButton() const { return scrollUp_; }
    QToolButton *scrollDownButton() const { return scrollDown_; }

signals:
    void letterChosen(QChar letter);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeTabs();
    void recolour();

    const settings::ColourScheme *scheme_ = nullptr;
    settings::ColourScheme defaultScheme_;
    QToolButton *scrollUp_;
    QWidget *panel_;
    QToolButton *scrollDown_;
    QList<TColorButton *> tabs_;
    std::unique_ptr<LetterTabStack> stack_;
};

} // namespace numora::mainwin
