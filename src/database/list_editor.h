#pragma once
// The work behind the Edit Lists window: showing one lookup list in key order, adding,
// changing and deleting its items, filling every list from the values already in the
// records, and packing the lists when the window closes. Messages go through the prompt
// and the fill reports through the progress interface; the window only asks for texts
// and shows the items.

#include "core/progress.h"
#include "core/prompt.h"
#include "store/table.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace numora::database {

// One list the window offers: the field that uses it, the field's name and the list
// table's file name.
struct ListChoice {
    int fieldNumber = 0;
    QString caption;
    QString source;

    bool operator==(const ListChoice &) const = default;
};

// One choice per field that has a list, in field order. `sources` holds the list file of
// field p + 1 at position p (empty for a field without one); `fieldNames` is the
// field-name list.
std::vector<ListChoice> listChoices(const QStringList &fieldNames, const QStringList &sources);

struct ListItem {
    QString text;
    store::Bookmark where;
};

class ListEditor {
public:
    ListEditor(Prompt &prompt, Progress &progress, QString databaseFolder, std::vector<ListChoice> lists);

    const std::vector<ListChoice> &lists() const { return lists_; }

    // Shows list `index`; false, after saying so, when its table cannot be opened (the
    // items are then empty).
    bool show(int index);
    int shownList() const { return shown_; }
    // The shown list's items in key order.
    const std::vector<ListItem> &items() const { return items_; }
    int rowOf(const QString &text) const; // -1 when no item has exactly this text

    // Each returns whether the list changed; a failure has been reported.
    bool addItem(const QString &text);
    bool modifyItem(int row, const QString &text);
    bool deleteItem(int row); // asks first

    // Appends to every list the non-empty values of its field that it lacks, from every
    // record of `recordFileName`; then shows the first list again. False when the record
    // table cannot be read.
    bool updateLists(const QString &recordFileName);

    // Packs every list with its index rebuilt; the shown list is closed first. False,
    // after one message, when a list could not be had exclusively.
    bool packLists();

private:
    [[nodiscard]] bool openList(store::Table &table, const QString &source, bool exclusive);
    void readItems();
    bool itemAt(int row);
    [[nodiscard]] bool applyChange(const std::function<bool()> &change, const QString &failure);
    void fillList(store::Table &records, const ListChoice &list);
    std::vector<QString> distinctSources() const;
    bool packList(const QString &source);

    Prompt &prompt_;
    Progress &progress_;
    QString folder_;
    std::vector<ListChoice> lists_;
    int shown_ = -1;
    store::Table table_;
    std::vector<ListItem> items_;
};

} // namespace numora::database
