#pragma once
// The learned values behind one lookup field: a list table (column 0 the item text, tag
// "IDX" on it, exact) in the database folder, and the items the drop-down shows. The
// lookup control owns one and mirrors its items; the rules (binding, learning a typed
// value, completing typed text) live here, where a test can reach them.
//
// The table is opened only for the length of one read or one append, so the lists of a
// shared database folder stay free for other users and for packing.

#include "core/prompt.h"
#include "store/table.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace numora::database {

class LookupList {
public:
    explicit LookupList(Prompt &prompt);

    // Binds the list table `source` of `databaseFolder` and loads its items. A missing
    // table is made from the list.dbf template of `programFolder` (a failure says so);
    // a table that exists but cannot be opened leaves the list empty, never replaced.
    void bind(const QString &databaseFolder, const QString &programFolder, const QString &source);
    const QString &source() const { return source_; }
    bool isBound() const { return bound_; }

    // Reads every item again, in the drop-down's order.
    void reload();
    const QStringList &items() const { return items_; }

    // Adds a typed value the items lack (compared exactly, as the table stores it) and
    // appends it to the table. Returns whether the items changed.
    bool learn(const QString &typed);

    // Runs after a learned value was posted and the items reloaded, so that another
    // control on the same table can reload too.
    std::function<void()> afterPost;

private:
    bool tryOpen(store::Table &table) const;
    void insertSorted(const QString &item);

    Prompt &prompt_;
    QString folder_;
    QString source_;
    bool bound_ = false;
    QStringList items_;
};

// A value as an open list table would keep it: trailing blanks dropped, cut to the item
// column's width. Comparing this form keeps a long or blank-padded value from being
// added again and again.
QString storedItemText(const store::Table &listTable, const QString &text);

// Appends and posts one item to an open list table; a database error cancels the append
// and gives false.
[[nodiscard]] bool appendItem(store::Table &listTable, const QString &item);

// The drop-down's order: letter case ignored first, then exact, so "France" and "france"
// stand side by side.
bool lookupItemLess(const QString &a, const QString &b);

// What Auto-Fill does with a typed character: the text shown and the part selected after
// the prefix, so that typing goes on replacing it.
struct AutoFillCompletion {
    int item = -1;
    QString text;
    int selectionStart = 0;
    int selectionLength = 0;
};

// The first item, in item order, that begins with the text before the caret followed by
// the typed character (letter case counts); none when no item does.
std::optional<AutoFillCompletion> autoFill(const QStringList &items, const QString &textBeforeCaret, QChar typed);

} // namespace numora::database
