#pragma once
// The help pages shipped with the program, one per help context number. Commands, menus
// and Help buttons name a context; the help window turns it into a page through this
// table, so adding a page means one line here and one file in platform/help (listed in
// src/CMakeLists.txt). The header needs nothing but the language, so core code can name
// contexts too.

#include <string_view>

namespace numora::help {

// The numbers are fixed: settings, menus and messages refer to them by number.
enum Context : int {
    MainWindow = 1, // also "Help Contents"
    QuickViewDamagedMemo = 2,
    DisplayOptions = 29, // the background popup
    RecordFormMenu = 31,
    FieldEditing = 36, // text, lookup and date fields of the record form
    CorruptMemoField = 62,
    SortBar = 103,
    ListHeader = 104,
    RecordList = 105, // rows, paging, letter tabs and the row popup
    UncleanEnd = 123,
    PictureField = 132, // picture and bitmap fields of the record form
};

struct Topic {
    int context;
    std::string_view page;  // file name under platform/help
    std::string_view title; // the page's <title>, also its line in the contents
};

inline constexpr Topic topics[] = {
    {MainWindow, "main-window.html", "The main window"},
    {QuickViewDamagedMemo, "damaged-memo.html", "A damaged memo field"},
    {DisplayOptions, "display-options.html", "Display options"},
    {RecordFormMenu, "record-form-menu.html", "The record form menu"},
    {FieldEditing, "field-editing.html", "Editing the record's fields"},
    {CorruptMemoField, "corrupt-memo-field.html", "A record with damaged notes or pictures"},
    {SortBar, "sort-bar.html", "Sorting and the sort bar"},
    {ListHeader, "list-header.html", "The list header"},
    {RecordList, "record-list.html", "The record list and letter tabs"},
    {UncleanEnd, "unclean-end.html", "After an unclean end"},
    {PictureField, "picture-field.html", "Picture fields"},
};

// The topic of a context, or nullptr when no page covers it.
constexpr const Topic *findTopic(int context)
{
    for (const Topic &topic : topics)
        if (topic.context == context)
            return &topic;
    return nullptr;
}

} // namespace numora::help
