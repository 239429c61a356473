#pragma once
// Geometry of the record list pane: the sort bar's width (the list header takes the same),
// the record rows under the header and how many of them fit, the paging row along the
// pane's bottom with its compact form, and the text rectangles a row paints its columns
// into. Coordinates are the pane's client coordinates, or the row's for the columns.

#include <QList>
#include <QRect>
#include <QSize>

namespace numora::mainwin {

// The sort bar is this much narrower than the pane's client area.
inline constexpr int kSortBarInset = 10;
// Rows stand this far from the pane's left and right edges.
inline constexpr int kRowMargin = 4;
inline constexpr int kRowGap = 2;
// The first row starts this far below the header.
inline constexpr int kFirstRowOffset = 8;
inline constexpr int kPagingButtonMargin = 4; // from the row's left and right edges
inline constexpr int kPagingButtonGap = 2;    // First to PgUp, PgDn to Last
// Above and below the paging buttons, so the row stands clear of the last record row and
// of the pane's bottom edge; a choice of ours, nothing depends on the exact value.
inline constexpr int kPagingRowPadding = 2;

// A row's height for the record-buttons font, with the system's border height and the
// text height of the system font.
int recordRowHeight(int systemBorderHeight, int fontTextHeight, int systemFontTextHeight);

// Full widths, with captions, of the four paging buttons.
struct PagingButtonWidths {
    int first = 0;
    int pageUp = 0;
    int pageDown = 0;
    int last = 0;
};

struct ListPaneInput {
    QSize paneSize; // the pane's client area
    QRect header;   // the list header as placed; the rows start below it
    int rowHeight = 0;
    PagingButtonWidths pagingButtonWidths;
    int pagingButtonHeight = 0; // the sponsor button's too
    int sponsorButtonWidth = 0;
};

// The paging buttons keep their captions as long as the four fit; the sponsor button
// gives way first and is left out (a null rectangle) when the gap between PgUp and PgDn
// is narrower than it.
struct PagingRowLayout {
    // The four paging buttons show icons only and are square; decided by the width alone.
    bool compact = false;
    QRect first;
    QRect pageUp;
    QRect sponsor; // centred in the gap between PgUp and PgDn; null when left out
    QRect pageDown;
    QRect last;
};

struct ListPaneLayout {
    int sortBarWidth = 0;
    int rowsPerPage = 0; // never negative
    QList<QRect> rows;   // rowsPerPage of them, top to bottom
    PagingRowLayout pagingRow;
};

ListPaneLayout layoutListPane(const ListPaneInput &input);

// Each header section's share of the header's width in percent, rounded to the nearest
// integer; all 0 for a header without width.
QList<int> sectionShares(const QList<int> &sectionWidths, int headerWidth);

// Where a row draws the text of each column: side by side without gaps from x = 6, each
// column its share of the row's width less 8, the text band centred vertically but at
// least 2 pixels from the top and no higher than the row less 6 pixels. A pressed row
// draws everything one pixel lower and to the right. Columns are cut off where the
// columns' area ends (shares add up to more than 100 while sections reach past the
// header's visible width); columns past it come out empty.
QList<QRect> columnTextRects(QSize rowSize, const QList<int> &shares, int textHeight,
                             bool pressed);

} // namespace numora::mainwin
