#pragma once
// One row of the record list: a flat button that shows a record's column texts side by
// side, each column taking its header section's share of the row's width. Number columns
// are right-aligned; text that does not fit is cut at its end. Within one parent at most
// one row is selected.

#include "settings/colour_scheme.h"

#include <QAbstractButton>
#include <QList>
#include <QStringList>

namespace numora::mainwin {

// One column's text and how it sits in its column.
struct RowColumnText {
    QString text;
    bool rightAligned = false;
    bool operator==(const RowColumnText &) const = default;
};

// Drops characters from the end of `text` until it fits `width` in `metrics`.
QString cutToWidth(const QString &text, const QFontMetrics &metrics, int width);

// One row of the record list. The class keeps the product's documents' own spelling of
// its name, so a search for it finds it.
class TFormatedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TFormatedButton(QWidget *parent = nullptr);

    // One share (percent of the row's width) per header section; clears the texts.
    void setColumns(const QList<int> &shares);
    const QList<int> &columnShares() const { return shares_; }
    // At most one per column; texts past the last column are not shown.
    void setTexts(const QList<RowColumnText> &texts);
    void clearTexts();
    const QList<RowColumnText> &texts() const { return texts_; }
    // The plain texts, for reading the row as the user sees it.
    QStringList columnTexts() const;

    bool isSelected() const { return selected_; }
    // Deselects the sibling row that was selected.
    void setSelected(bool selected);

    // Text, background, selected text and selected background of the record rows.
    void applyColours(const settings::ColourScheme &scheme);
    // The colours the row paints with now, for its selected state.
    settings::ColourPair rowColours() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<int> shares_;
    QList<RowColumnText> texts_;
    bool selected_ = false;
    settings::ColourScheme scheme_;
};

} // namespace numora::mainwin
