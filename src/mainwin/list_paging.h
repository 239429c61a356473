#pragma once
// Paging through the record list: where First, PgUp, PgDn and Last put the page offset,
// when they leave the current letter for its neighbour, and which paging buttons are
// enabled. None of them changes the record shown in the form.
//
// PgDn steps onto an empty page when the record count is an exact multiple of the rows
// per page (20 records, 10 rows: 0, 10, then the empty page 20); Last never shows that
// empty page.

#include <QChar>

namespace numora::mainwin {

// Where the list stands in the browse table's current range.
struct ListPage {
    int offset = 0; // index of the record in the first row
    int rowsPerPage = 0;
    int recordCount = 0;
};

// Letter tabs take part in paging only while they are in use.
struct LetterPaging {
    bool inUse = false;
    QChar current = u'A';
};

enum class PagingCommand { First, PageUp, PageDown, Last };

struct PageTurn {
    enum class Action {
        None,       // nothing changes and the list needs no refresh
        ShowOffset, // show `offset` in the same range
        // Select the previous letter, then show lastPageOffset() of its range; refresh
        // even when that offset is 0.
        PreviousLetterLastPage,
        NextLetter, // select the next letter, which shows its first page
    };
    Action action = Action::None;
    int offset = 0; // for ShowOffset
};

PageTurn turnPage(PagingCommand command, const ListPage &page, const LetterPaging &letters);

// The offset of the last page that shows records; 0 without rows or records.
int lastPageOffset(int rowsPerPage, int recordCount);

struct PagingButtonStates {
    bool first = false;
    bool pageUp = false;
    bool pageDown = false;
    bool last = false;
};

PagingButtonStates pagingButtonStates(const ListPage &page, const LetterPaging &letters);

} // namespace numora::mainwin
