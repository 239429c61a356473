#pragma once
// The main window's speed bar: two pages of buttons ("Standard" and "Advanced") with the
// page tabs at the bottom. The window gives it its rectangle; the bar then places its
// buttons and turns them into square icons while a page is too narrow for its row (see
// layoutSpeedBar()).

#include <QList>
#include <QWidget>

class QStackedWidget;
class QTabBar;
class QToolButton;

namespace numora::mainwin {

class SpeedBar : public QWidget {
    Q_OBJECT
public:
    explicit SpeedBar(const QStringList &pageTitles, QWidget *parent = nullptr);

    QToolButton *addButton(int page, const QString &caption, const QString &hint,
                           const QIcon &icon);
    void showPage(int page);

    // Places the bar at `geometry` and lays its buttons out for that width.
    void placeAt(const QRect &geometry);
    bool isCompact() const { return compact_; }
    const QList<QList<QToolButton *>> &buttons() const { return buttons_; }

private:
    void layOutButtons();
    int fullWidth(QToolButton *button) const;

    QStackedWidget *pages_;
    QTabBar *tabs_;
    QList<QList<QToolButton *>> buttons_;
    bool compact_ = false;
};

} // namespace numora::mainwin
