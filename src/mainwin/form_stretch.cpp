#include "mainwin/form_stretch.h"

#include <algorithm>
#include <cstdlib>

namespace numora::mainwin {

namespace {

// Controls closer than this in their tops stand in one row.
constexpr int kRowTolerance = 5;
constexpr int kBottomMargin = 8;
// A picture that shares its page moves with the width only when it stands beside
// other controls rather than at the page's left edge.
constexpr int kLeftEdgeLimit = 41;

int bottomOf(const QRect &rect) { return rect.top() + rect.height(); }

bool inOneRow(const StretchField &a, const StretchField &b)
{
    return std::abs(a.control.top() - b.control.top()) < kRowTolerance;
}

void moveField(StretchField &field, int dx, int dy)
{
    field.control.translate(dx, dy);
    field.label.translate(dx, dy);
}

int oneLineHeight(const StretchPage &page)
{
    for (const StretchField &field : page)
        if (field.kind == StretchKind::OneLine)
            return field.control.height();
    return kDefaultOneLineHeight;
}

// The height each multi-line field (or a lone picture) gains: what fills the page, or,
// when the page ends within the change of the fields' extent, exactly the change.
int pageGrowth(const StretchPage &page, int pageHeight, int dH)
{
    int lowest = 0;
    int multiLineCount = 0;
    for (const StretchField &field : page) {
        lowest = std::max(lowest, bottomOf(field.control));
        if (field.kind == StretchKind::MultiLine)
            ++multiLineCount;
    }
    const int extent = lowest + kBottomMargin;
    int growth = pageHeight >= extent + dH && pageHeight <= extent - dH ? dH : pageHeight - extent;
    if (multiLineCount > 1)
        growth /= multiLineCount;
    return growth;
}

void stretchVertically(StretchPage &page, int pageHeight, int dH)
{
    const int minimumHeight = oneLineHeight(page);
    const int growth = pageGrowth(page, pageHeight, dH);
    const bool lonePicture = page.size() == 1 && page.front().kind == StretchKind::Picture;
    int moved = 0;
    for (size_t i = 0; i < page.size(); ++i) {
        StretchField &field = page[i];
        moveField(field, 0, moved);
        QRect &box = field.control;
        if (field.kind == StretchKind::MultiLine) {
            const int height = std::max(box.height() + growth, minimumHeight);
            moved += height - box.height();
            box.setHeight(height);
        } else if (field.kind == StretchKind::Picture) {
            if (lonePicture)
                box.setHeight(std::max(box.height() + growth, minimumHeight));
            else if (i > 0)
                box.setHeight(std::max(bottomOf(page[i - 1].control) - box.top(), minimumHeight));
        }
    }
}

void stretchOneLine(StretchPage &page, size_t i, int dW)
{
    StretchField &field = page[i];
    if (i + 1 < page.size() && inOneRow(field, page[i + 1]))
        return; // the last control of its row takes the change
    if (i == 0 || !inOneRow(page[i - 1], field)) {
        field.control.setWidth(field.control.width() + dW);
        return;
    }
    const int half = dW / 2;
    QRect &previous = page[i - 1].control;
    previous.setWidth(previous.width() + half);
    moveField(field, half, 0);
    field.control.setWidth(field.control.width() + dW - half);
}

void stretchHorizontally(StretchPage &page, int dW)
{
    const bool alone = page.size() == 1;
    for (size_t i = 0; i < page.size(); ++i) {
        StretchField &field = page[i];
        switch (field.kind) {
        case StretchKind::MultiLine:
            field.control.setWidth(field.control.width() + dW);
            break;
        case StretchKind::Picture:
            if (alone)
                field.control.setWidth(field.control.width() + dW);
            else if (field.control.left() >= kLeftEdgeLimit)
                moveField(field, dW, 0);
            break;
        case StretchKind::OneLine:
            stretchOneLine(page, i, dW);
            break;
        }
    }
}

// How much each row of one-line controls (by its top) must grow for `lineHeight`.
std::vector<std::pair<int, int>> rowGrowths(const StretchPage &page, int lineHeight)
{
    std::vector<std::pair<int, int>> rows; // top, growth
    for (const StretchField &field : page) {
        if (field.kind != StretchKind::OneLine)
            continue;
        const int top = field.control.top();
        const int growth = std::max(lineHeight - field.control.height(), 0);
        const auto row = std::find_if(rows.begin(), rows.end(), [top](const auto &known) {
            return std::abs(known.first - top) < kRowTolerance;
        });
        if (row == rows.end())
            rows.emplace_back(top, growth);
        else
            row->second = std::max(row->second, growth);
    }
    return rows;
}

} // namespace

StretchPage reflowPage(StretchPage page, int lineHeight)
{
    const auto rows = rowGrowths(page, lineHeight);
    for (StretchField &field : page) {
        const int top = field.control.top();
        int shift = 0;
        for (const auto &[rowTop, growth] : rows)
            if (rowTop <= top - kRowTolerance)
                shift += growth;
        if (field.kind == StretchKind::OneLine)
            field.control.setHeight(std::max(field.control.height(), lineHeight));
        moveField(field, 0, shift);
    }
    return page;
}

StretchPage stretchPage(StretchPage page, QSize pageSize, QSize change)
{
    stretchVertically(page, pageSize.height(), change.height());
    stretchHorizontally(page, change.width());
    return page;
}

std::vector<StretchPage> stretchForm(std::vector<StretchPage> pages, QSize pageSize, QSize change)
{
    for (StretchPage &page : pages)
        page = stretchPage(std::move(page), pageSize, change);
    return pages;
}

} // namespace numora::mainwin
