#pragma once
// The "Edit Lists" window: one choice per field that has a lookup list, the chosen
// list's items in a read-only grid, and the buttons that add, change and delete items
// or fill every list from the records. Closing it packs the lists. The work is
// database::ListEditor's; this window asks for the texts and shows the items.
//
// Opened from Maintenance and from a lookup field's menu (preset to that field's list);
// afterwards the main window reloads every lookup control.

#include "core/prompt.h"
#include "database/list_editor.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QButtonGroup;
class QPushButton;
class QTableWidget;

namespace numora::platform {
class ProgressWindow;
}

namespace numora::editors {

class EditListsWindow : public QDialog {
    Q_OBJECT
public:
    // `recordFileName` is the open record table of `databaseFolder`, the source of
    // "Update Lists".
    EditListsWindow(Prompt &prompt, platform::ProgressWindow &progress, const QString &databaseFolder,
                    const QString &recordFileName, std::vector<database::ListChoice> lists, QWidget *parent = nullptr);

    // Shows list `index` (0-based among the choices).
    void chooseList(int index);

    // Asks for one line of text: caption, prompt, starting text; none when cancelled.
    // Tests answer it in place of the input box.
    std::function<std::optional<QString>(const QString &, const QString &, const QString &)> askText;

    QPushButton *newButton() const { return newButton_; }
    QPushButton *editButton() const { return editButton_; }
    QPushButton *deleteButton() const { return deleteButton_; }
    QPushButton *updateButton() const { return updateButton_; }
    QTableWidget *grid() const { return grid_; }
    int chosenList() const;

    // Packs every list, under the busy cursor, however the window is closed.
    void done(int result) override;

private:
    void showShownList();
    void showItems(int selectRow = 0);
    int selectedRow() const;
    void newItem();
    void editItem();
    void deleteItem();
    void updateLists();

    database::ListEditor editor_;
    platform::ProgressWindow &progress_;
    QString recordFileName_;
    QButtonGroup *choices_;
    QTableWidget *grid_;
    QPushButton *newButton_;
    QPushButton *editButton_;
    QPushButton *deleteButton_;
    QPushButton *updateButton_;
};

} // namespace numora::editors
