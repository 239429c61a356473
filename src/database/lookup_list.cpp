#include "database/lookup_list.h"

#include "store/folder_lookup.h"
#include "store/record_buffer.h"
#include "store/store_error.h"

#include <QDir>

#include <algorithm>

namespace numora::database {

namespace {

const QString kListTemplate = QStringLiteral("list.dbf");
const QString kItemTag = QStringLiteral("IDX");
constexpr int ItemColumn = 0;

} // namespace

bool lookupItemLess(const QString &a, const QString &b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

std::optional<AutoFillCompletion> autoFill(const QStringList &items, const QString &textBeforeCaret, QChar typed)
{
    const QString prefix = textBeforeCaret + typed;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].startsWith(prefix, Qt::CaseSensitive))
            return AutoFillCompletion{i, items[i], int(prefix.size()), int(items[i].size() - prefix.size())};
    }
    return std::nullopt;
}

LookupList::LookupList(Prompt &prompt) : prompt_(prompt) {}

bool LookupList::tryOpen(store::Table &table) const
{
    table.bind({.folder = folder_, .fileName = source_, .tagName = kItemTag});
    try {
        table.open();
        return true;
    } catch (const store::DatabaseError &) {
        return false;
    }
}

void LookupList::bind(const QString &databaseFolder, const QString &programFolder, const QString &source)
{
    folder_ = databaseFolder;
    source_ = source;
    bound_ = !source.isEmpty();
    if (bound_) {
        store::Table table;
        // Only a missing list is made from the template: copying it over a list that
        // merely failed to open (held by another user, a network hiccup) would throw
        // away every item learned so far.
        if (!tryOpen(table) && !store::existsInFolder(folder_, source_)) {
            try {
                store::Table::copyTable(store::resolveInFolder(programFolder, kListTemplate), QDir(folder_).filePath(source_));
            } catch (const store::DatabaseError &) {
                prompt_.inform(QStringLiteral("Error! Could not create a list file: \r") + QDir::toNativeSeparators(QDir(folder_).filePath(source_)),
                               MessageKind::Error);
            }
        }
    }
    reload();
}

void LookupList::reload()
{
    items_.clear();
    store::Table table;
    if (!bound_ || !tryOpen(table))
        return;
    try {
        for (table.first(); !table.eof(); table.next())
            items_ << table.text(ItemColumn);
    } catch (const store::DatabaseError &) {
        // The items read before the failure are still worth offering.
    }
    std::stable_sort(items_.begin(), items_.end(), lookupItemLess);
}

void LookupList::insertSorted(const QString &item)
{
    items_.insert(std::upper_bound(items_.begin(), items_.end(), item, lookupItemLess), item);
}

QString storedItemText(const store::Table &listTable, const QString &text)
{
    store::RecordBuffer record = listTable.blankRecord();
    record.setText(ItemColumn, text);
    return record.text(ItemColumn);
}

bool appendItem(store::Table &listTable, const QString &item)
{
    try {
        listTable.append();
        listTable.setText(ItemColumn, item);
        listTable.post();
        return true;
    } catch (const store::DatabaseError &) {
        listTable.cancel();
        return false;
    }
}

bool LookupList::learn(const QString &typed)
{
    if (typed.isEmpty() || items_.contains(typed))
        return false;
    store::Table table;
    if (!bound_ || !tryOpen(table)) {
        insertSorted(typed);
        return true;
    }
    const QString item = storedItemText(table, typed);
    if (item.isEmpty() || items_.contains(item))
        return false;
    insertSorted(item);
    const bool posted = appendItem(table, item);
    table.close();
    if (posted) {
        reload();
        if (afterPost)
            afterPost();
    }
    return true;
}

} // namespace numora::database
