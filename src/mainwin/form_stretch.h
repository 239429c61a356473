#pragma once
// How the record form's field controls follow the form pane when it is resized: on each
// page the multi-line fields (and a picture alone on its page) take the height the page
// gained or lost, the controls below them move with them, and the width change goes to
// the rightmost control of each row (shared between two controls of one row). The form
// applies what this returns to its controls and labels and remembers the new size.
//
// Controls keep a usable height whatever the pane does: a multi-line field or a picture
// never ends lower than one line of text.

#include <QRect>
#include <QSize>

#include <vector>

namespace numora::mainwin {

enum class StretchKind { OneLine, MultiLine, Picture };

// One field of a page: its control and its label (an empty rectangle for none).
struct StretchField {
    StretchKind kind = StretchKind::OneLine;
    QRect control;
    QRect label;

    bool operator==(const StretchField &) const = default;
};

// The fields of one page, in field-number order.
using StretchPage = std::vector<StretchField>;

// The height a field control has when no one-line control on the page says otherwise.
inline constexpr int kDefaultOneLineHeight = 24;

// `pageSize` is the size of a page after the resize, `change` how much the form pane's
// size changed since the last stretch.
StretchPage stretchPage(StretchPage page, QSize pageSize, QSize change);
std::vector<StretchPage> stretchForm(std::vector<StretchPage> pages, QSize pageSize, QSize change);

// After the one-line font grew: every one-line control is made at least `lineHeight`
// high, and whatever stands below a row that grew moves down by as much, labels with
// their controls, so the controls keep their order and never overlap. Rows never shrink.
StretchPage reflowPage(StretchPage page, int lineHeight);

} // namespace numora::mainwin
