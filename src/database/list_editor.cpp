#include "database/list_editor.h"

#include "store/folder_lookup.h"
#include "database/lookup_list.h"
#include "database/open_retry.h"
#include "database/record_schema.h"
#include "store/store_error.h"

#include <algorithm>
#include <functional>

namespace numora::database {

namespace {

const QString kItemTag = QStringLiteral("IDX");
constexpr int ItemColumn = 0;

} // namespace

std::vector<ListChoice> listChoices(const QStringList &fieldNames, const QStringList &sources)
{
    std::vector<ListChoice> choices;
    for (int position = 0; position < sources.size(); ++position) {
        if (sources[position].isEmpty())
            continue;
        // A field-name list shorter than the layout still names the list somehow.
        const QString caption = fieldNames.value(position, sources[position]);
        choices.push_back(ListChoice{position + 1, caption, sources[position]});
    }
    return choices;
}

ListEditor::ListEditor(Prompt &prompt, Progress &progress, QString databaseFolder, std::vector<ListChoice> lists)
    : prompt_(prompt), progress_(progress), folder_(std::move(databaseFolder)), lists_(std::move(lists))
{
}

bool ListEditor::openList(store::Table &table, const QString &source, bool exclusive)
{
    table.close();
    table.bind({.folder = folder_, .fileName = source, .tagName = exclusive ? QString() : kItemTag, .exclusive = exclusive});
    if (exclusive)
        return openWithRetries([&] { table.open(); }, true, source, prompt_).opened();
    try {
        table.open();
        return true;
    } catch (const store::DatabaseError &) {
        return false;
    }
}

bool ListEditor::show(int index)
{
    shown_ = index;
    items_.clear();
    table_.close();
    if (index < 0 || index >= int(lists_.size()))
        return false;
    if (!openList(table_, lists_[size_t(index)].source, false)) {
        prompt_.inform(QStringLiteral("Cannot open the file: ") + lists_[size_t(index)].source, MessageKind::Error);
        return false;
    }
    readItems();
    return true;
}

void ListEditor::readItems()
{
    items_.clear();
    if (!table_.isOpen())
        return;
    try {
        for (table_.first(); !table_.eof(); table_.next())
            items_.push_back(ListItem{table_.text(ItemColumn), table_.bookmark()});
    } catch (const store::DatabaseError &) {
        // What was read before the failure is still shown.
    }
}

int ListEditor::rowOf(const QString &text) const
{
    const auto found = std::find_if(items_.begin(), items_.end(), [&](const ListItem &item) { return item.text == text; });
    return found == items_.end() ? -1 : int(found - items_.begin());
}

// Lands on the item of `row`; false when it is gone (another user deleted it).
bool ListEditor::itemAt(int row)
{
    return table_.isOpen() && row >= 0 && row < int(items_.size()) && table_.gotoBookmark(items_[size_t(row)].where);
}

// Runs one change of the shown list; `change` gives false when there is nothing to
// change, and a database error cancels it. Either failure is reported, and the items are
// read again in any case.
bool ListEditor::applyChange(const std::function<bool()> &change, const QString &failure)
{
    bool changed = false;
    try {
        changed = change();
    } catch (const store::DatabaseError &) {
        table_.cancel();
    }
    if (!changed)
        prompt_.inform(failure, MessageKind::Error);
    readItems();
    return changed;
}

bool ListEditor::addItem(const QString &text)
{
    if (text.isEmpty())
        return false;
    return applyChange([&] { return table_.isOpen() && appendItem(table_, text); }, QStringLiteral("Could not Add the Item!"));
}

bool ListEditor::modifyItem(int row, const QString &text)
{
    return applyChange(
        [&] {
            if (!itemAt(row))
                return false;
            table_.edit();
            table_.setText(ItemColumn, text);
            table_.post();
            return true;
        },
        QStringLiteral("Could not Modify the Item!"));
}

bool ListEditor::deleteItem(int row)
{
    if (row < 0 || row >= int(items_.size()))
        return false;
    if (!prompt_.confirm(QStringLiteral("Are you sure you want to Delete this Item?"), MessageKind::Warning))
        return false;
    return applyChange(
        [&] {
            if (!itemAt(row))
                return false;
            table_.remove();
            return true;
        },
        QStringLiteral("Could not Delete the Item!"));
}

bool ListEditor::updateLists(const QString &recordFileName)
{
    store::Table records;
    records.bind({.folder = folder_, .fileName = recordFileName});
    bool read = true;
    try {
        records.open();
        progress_.setTotal(int(lists_.size()));
        for (const ListChoice &list : lists_) {
            fillList(records, list);
            progress_.step();
        }
    } catch (const store::DatabaseError &) {
        read = false;
    }
    show(0);
    return read;
}

// Values are looked up by key and compared whole: the key search also finds longer
// items that merely begin with the value.
void ListEditor::fillList(store::Table &records, const ListChoice &list)
{
    store::Table items;
    if (!openList(items, list.source, false)) {
        prompt_.inform(QStringLiteral("Could not open file: ") + list.source, MessageKind::Error);
        return;
    }
    const int column = record_column::fieldColumn(list.fieldNumber);
    int notAdded = 0;
    for (records.first(); !records.eof(); records.next()) {
        const QString value = storedItemText(items, records.text(column));
        if (!value.isEmpty() && !(items.findKey(value) && items.text(ItemColumn) == value)
            && !appendItem(items, value))
            ++notAdded;
    }
    if (notAdded > 0)
        prompt_.inform(QStringLiteral("%1 values could not be added to the list %2; it may be in use by "
                                      "someone else. Update the lists again later.")
                           .arg(notAdded)
                           .arg(list.source),
                       MessageKind::Warning);
}

std::vector<QString> ListEditor::distinctSources() const
{
    std::vector<QString> sources;
    for (const ListChoice &list : lists_) {
        const bool known = std::any_of(sources.begin(), sources.end(),
                                       [&](const QString &source) { return source.compare(list.source, Qt::CaseInsensitive) == 0; });
        if (!known)
            sources.push_back(list.source);
    }
    return sources;
}

bool ListEditor::packList(const QString &source)
{
    store::Table table;
    try {
        if (!openList(table, source, true))
            return false;
        table.pack(true);
        return true;
    } catch (const store::DatabaseError &) {
        return false;
    }
}

bool ListEditor::packLists()
{
    table_.close();
    items_.clear();
    bool allPacked = true;
    for (const QString &source : distinctSources()) {
        if (store::existsInFolder(folder_, source) && !packList(source))
            allPacked = false;
    }
    if (!allPacked)
        prompt_.inform(QStringLiteral("Function Failed!\rDatabase may be used by someone else - this function requires Exclusive Database Use."),
                       MessageKind::Error);
    return allPacked;
}

} // namespace numora::database
