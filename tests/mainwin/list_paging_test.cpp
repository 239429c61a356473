#include "mainwin/list_paging.h"

#include <gtest/gtest.h>

#include <ostream>

namespace numora::mainwin {

void PrintTo(PageTurn::Action action, std::ostream *out)
{
    constexpr const char *kNames[] = {"None", "ShowOffset", "PreviousLetterLastPage",
                                      "NextLetter"};
    *out << kNames[static_cast<int>(action)];
}

namespace {

using Action = PageTurn::Action;

constexpr LetterPaging kNoLetters = {false, u'A'};

constexpr LetterPaging letter(char16_t current)
{
    return {true, current};
}

TEST(ListPagingTest, PagingCommandsMoveThePageOffsetOrTheLetter)
{
    struct Case {
        const char *name;
        PagingCommand command;
        ListPage page;
        LetterPaging letters;
        Action action;
        int offset;
    };
    const std::vector<Case> cases = {
        {"PgDn from 0", PagingCommand::PageDown, {0, 10, 20}, kNoLetters, Action::ShowOffset, 10},
        {"PgDn from 10 of 20 shows the empty page", PagingCommand::PageDown, {10, 10, 20},
         kNoLetters, Action::ShowOffset, 20},
        {"PgDn on the empty page", PagingCommand::PageDown, {20, 10, 20}, kNoLetters,
         Action::None, 0},
        {"PgDn on a short last page", PagingCommand::PageDown, {10, 10, 15}, kNoLetters,
         Action::None, 0},
        {"PgDn on the last page of C selects D", PagingCommand::PageDown, {10, 10, 15},
         letter(u'C'), Action::NextLetter, 0},
        {"PgDn on an empty letter selects the next", PagingCommand::PageDown, {0, 10, 0},
         letter(u'D'), Action::NextLetter, 0},
        {"PgDn on the last page of Z", PagingCommand::PageDown, {0, 10, 5}, letter(u'Z'),
         Action::None, 0},
        {"PgUp from 15", PagingCommand::PageUp, {15, 10, 30}, letter(u'C'), Action::ShowOffset,
         5},
        {"PgUp stops at 0", PagingCommand::PageUp, {5, 10, 30}, kNoLetters, Action::ShowOffset,
         0},
        {"PgUp on the first page of A", PagingCommand::PageUp, {0, 10, 30}, letter(u'A'),
         Action::None, 0},
        {"PgUp on the first page of C goes to B's last page", PagingCommand::PageUp,
         {0, 10, 30}, letter(u'C'), Action::PreviousLetterLastPage, 0},
        {"PgUp on the first page without letter tabs", PagingCommand::PageUp, {0, 10, 30},
         kNoLetters, Action::None, 0},
        {"Last from 0 of 20 shows 10", PagingCommand::Last, {0, 10, 20}, kNoLetters,
         Action::ShowOffset, 10},
        {"Last from the empty page", PagingCommand::Last, {20, 10, 20}, kNoLetters,
         Action::ShowOffset, 10},
        {"Last of 25", PagingCommand::Last, {0, 10, 25}, kNoLetters, Action::ShowOffset, 20},
        {"Last on the last page", PagingCommand::Last, {10, 10, 20}, kNoLetters, Action::None,
         0},
        {"Last without records", PagingCommand::Last, {0, 10, 0}, kNoLetters, Action::None, 0},
        {"Last without rows", PagingCommand::Last, {0, 0, 5}, kNoLetters, Action::None, 0},
        {"First from 10", PagingCommand::First, {10, 10, 20}, kNoLetters, Action::ShowOffset,
         0},
        {"First on the first page", PagingCommand::First, {0, 10, 20}, letter(u'C'),
         Action::None, 0},
    };
    for (const Case &c : cases) {
        const PageTurn turn = turnPage(c.command, c.page, c.letters);
        EXPECT_EQ(turn.action, c.action) << c.name;
        if (c.action == Action::ShowOffset) {
            EXPECT_EQ(turn.offset, c.offset) << c.name;
        }
    }
}

TEST(ListPagingTest, TheLastPageOfARangeShowsItsFinalRecords)
{
    struct Case {
        int rowsPerPage;
        int recordCount;
        int offset;
    };
    const std::vector<Case> cases = {{10, 20, 10}, {10, 21, 20}, {10, 9, 0}, {10, 10, 0},
                                     {10, 0, 0},   {0, 5, 0},    {1, 1, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(lastPageOffset(c.rowsPerPage, c.recordCount), c.offset)
            << c.rowsPerPage << " rows, " << c.recordCount << " records";
}

TEST(ListPagingTest, PagingButtonsAreEnabledWhereTheyLead)
{
    struct Case {
        const char *name;
        ListPage page;
        LetterPaging letters;
        PagingButtonStates states; // first, pageUp, pageDown, last
    };
    const std::vector<Case> cases = {
        {"first of two pages", {0, 10, 20}, kNoLetters, {false, false, true, true}},
        {"second of two full pages", {10, 10, 20}, kNoLetters, {true, true, true, false}},
        {"the empty page after them", {20, 10, 20}, kNoLetters, {true, true, false, false}},
        {"one short page", {0, 10, 5}, kNoLetters, {false, false, false, false}},
        {"one short page of A", {0, 10, 5}, letter(u'A'), {false, false, true, false}},
        {"one short page of M", {0, 10, 5}, letter(u'M'), {false, true, true, false}},
        {"one short page of Z", {0, 10, 5}, letter(u'Z'), {false, true, false, false}},
    };
    for (const Case &c : cases) {
        const PagingButtonStates states = pagingButtonStates(c.page, c.letters);
        EXPECT_EQ(states.first, c.states.first) << c.name;
        EXPECT_EQ(states.pageUp, c.states.pageUp) << c.name;
        EXPECT_EQ(states.pageDown, c.states.pageDown) << c.name;
        EXPECT_EQ(states.last, c.states.last) << c.name;
    }
}

} // namespace
} // namespace numora::mainwin
