#include "mainwin/record_list_geometry.h"

#include <algorithm>
#include <limits>

namespace numora::mainwin {

namespace {

// The two edge margins and the two gaps between the paging buttons: with exactly this
// much room besides the buttons the sponsor button fills the middle gap completely.
constexpr int kPagingRowSpacing = 2 * kPagingButtonMargin + 2 * kPagingButtonGap;

constexpr int kColumnsLeft = 6;
constexpr int kColumnsInset = 8;
constexpr int kTextTopMinimum = 2;
constexpr int kTextHeightInset = 6;

int pagingRowHeight(const ListPaneInput &input)
{
    return input.pagingButtonHeight + 2 * kPagingRowPadding;
}

int firstRowTop(const ListPaneInput &input)
{
    return input.header.y() + input.header.height() + kFirstRowOffset;
}

int rowsPerPage(const ListPaneInput &input)
{
    const int room = input.paneSize.height() - firstRowTop(input) - pagingRowHeight(input);
    const int rowPitch = std::max(0, input.rowHeight) + kRowGap;
    return std::max(0, room / rowPitch);
}

QList<QRect> rowRects(const ListPaneInput &input, int count)
{
    QList<QRect> rows;
    const int width = input.paneSize.width() - 2 * kRowMargin;
    for (int i = 0; i < count; ++i) {
        const int top = firstRowTop(input) + i * (input.rowHeight + kRowGap);
        rows.append(QRect(kRowMargin, top, width, input.rowHeight));
    }
    return rows;
}

PagingRowLayout layoutPagingRow(const ListPaneInput &input)
{
    const PagingButtonWidths &full = input.pagingButtonWidths;
    const int rowWidth = input.paneSize.width();
    const int height = input.pagingButtonHeight;
    const int top = input.paneSize.height() - kPagingRowPadding - height;

    PagingRowLayout row;
    row.compact =
        rowWidth < full.first + full.pageUp + full.pageDown + full.last + kPagingRowSpacing;
    const PagingButtonWidths widths = row.compact
                                          ? PagingButtonWidths{height, height, height, height}
                                          : full;

    row.first = QRect(kPagingButtonMargin, top, widths.first, height);
    row.pageUp = QRect(row.first.right() + 1 + kPagingButtonGap, top, widths.pageUp, height);
    row.last = QRect(rowWidth - kPagingButtonMargin - widths.last, top, widths.last, height);
    row.pageDown = QRect(row.last.left() - kPagingButtonGap - widths.pageDown, top,
                         widths.pageDown, height);
    const int gapLeft = row.pageUp.right() + 1;
    const int gap = row.pageDown.left() - gapLeft;
    if (gap >= input.sponsorButtonWidth)
        row.sponsor = QRect(gapLeft + (gap - input.sponsorButtonWidth) / 2, top,
                            input.sponsorButtonWidth, height);
    return row;
}

// Rounded half up; a width from a damaged header file cannot overflow or go negative.
int sectionShare(int width, int headerWidth)
{
    if (width <= 0 || headerWidth <= 0)
        return 0;
    const qint64 share = (qint64(width) * 200 + headerWidth) / (2 * qint64(headerWidth));
    return int(std::min<qint64>(share, std::numeric_limits<int>::max()));
}

qint64 columnWidth(int columnsWidth, int share)
{
    return (qint64(columnsWidth) * std::max(0, share) + 50) / 100;
}

} // namespace

int recordRowHeight(int systemBorderHeight, int fontTextHeight, int systemFontTextHeight)
{
    return 4 * systemBorderHeight + fontTextHeight
           + std::min(fontTextHeight, systemFontTextHeight) / 4;
}

ListPaneLayout layoutListPane(const ListPaneInput &input)
{
    ListPaneLayout layout;
    layout.sortBarWidth = input.paneSize.width() - kSortBarInset;
    layout.rowsPerPage = rowsPerPage(input);
    layout.rows = rowRects(input, layout.rowsPerPage);
    layout.pagingRow = layoutPagingRow(input);
    return layout;
}

QList<int> sectionShares(const QList<int> &sectionWidths, int headerWidth)
{
    QList<int> shares;
    for (int width : sectionWidths)
        shares.append(sectionShare(width, headerWidth));
    return shares;
}

QList<QRect> columnTextRects(QSize rowSize, const QList<int> &shares, int textHeight,
                             bool pressed)
{
    const int columnsWidth = std::max(0, rowSize.width() - kColumnsInset);
    const qint64 columnsEnd = kColumnsLeft + columnsWidth;
    const int bandHeight =
        std::max(0, std::min(textHeight, rowSize.height() - kTextHeightInset));
    const int bandTop = std::max(kTextTopMinimum, (rowSize.height() - bandHeight) / 2);
    const int shift = pressed ? 1 : 0;

    QList<QRect> rects;
    qint64 left = kColumnsLeft;
    for (int share : shares) {
        const qint64 right = std::min(left + columnWidth(columnsWidth, share), columnsEnd);
        rects.append(QRect(int(left) + shift, bandTop + shift, int(right - left), bandHeight));
        left = right;
    }
    return rects;
}

} // namespace numora::mainwin
