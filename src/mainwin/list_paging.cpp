#include "mainwin/list_paging.h"

#include <algorithm>

namespace numora::mainwin {

namespace {

bool hasPreviousLetter(const LetterPaging &letters)
{
    return letters.inUse && letters.current > u'A';
}

bool hasNextLetter(const LetterPaging &letters)
{
    return letters.inUse && letters.current < u'Z';
}

// True also when the next page is the empty one after an exact multiple.
bool hasNextPage(const ListPage &page)
{
    return page.recordCount >= page.offset + page.rowsPerPage;
}

PageTurn showIfMoved(const ListPage &page, int offset)
{
    if (offset == page.offset)
        return {};
    return {PageTurn::Action::ShowOffset, offset};
}

PageTurn pageUp(const ListPage &page, const LetterPaging &letters)
{
    if (page.offset != 0)
        return {PageTurn::Action::ShowOffset, std::max(0, page.offset - page.rowsPerPage)};
    if (hasPreviousLetter(letters))
        return {PageTurn::Action::PreviousLetterLastPage, 0};
    return {};
}

PageTurn pageDown(const ListPage &page, const LetterPaging &letters)
{
    if (hasNextPage(page))
        return {PageTurn::Action::ShowOffset, page.offset + page.rowsPerPage};
    if (hasNextLetter(letters))
        return {PageTurn::Action::NextLetter, 0};
    return {};
}

} // namespace

int lastPageOffset(int rowsPerPage, int recordCount)
{
    if (rowsPerPage <= 0 || recordCount <= 0)
        return 0;
    const int offset = rowsPerPage * (recordCount / rowsPerPage);
    return offset == recordCount ? offset - rowsPerPage : offset;
}

PageTurn turnPage(PagingCommand command, const ListPage &page, const LetterPaging &letters)
{
    switch (command) {
    case PagingCommand::First:
        return showIfMoved(page, 0);
    case PagingCommand::PageUp:
        return pageUp(page, letters);
    case PagingCommand::PageDown:
        return pageDown(page, letters);
    case PagingCommand::Last:
        return showIfMoved(page, lastPageOffset(page.rowsPerPage, page.recordCount));
    }
    return {};
}

PagingButtonStates pagingButtonStates(const ListPage &page, const LetterPaging &letters)
{
    PagingButtonStates states;
    states.first = page.offset != 0;
    states.last = page.offset + page.rowsPerPage < page.recordCount;
    states.pageUp = page.offset != 0 || hasPreviousLetter(letters);
    states.pageDown = hasNextPage(page) || hasNextLetter(letters);
    return states;
}

} // namespace numora::mainwin
