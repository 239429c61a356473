#include "editors/widgets/edit_lists_window.h"

#include "platform/busy_cursor.h"
#include "platform/progress_window.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace numora::editors {

namespace {

std::optional<QString> askWithInputBox(QWidget *parent, const QString &caption, const QString &label, const QString &text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, caption, label, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

} // namespace

EditListsWindow::EditListsWindow(Prompt &prompt, platform::ProgressWindow &progress, const QString &databaseFolder,
                                 const QString &recordFileName, std::vector<database::ListChoice> lists, QWidget *parent)
    : QDialog(parent),
      editor_(prompt, progress, databaseFolder, std::move(lists)),
      progress_(progress),
      recordFileName_(recordFileName),
      choices_(new QButtonGroup(this)),
      grid_(new QTableWidget(0, 1, this)),
      newButton_(new QPushButton(QStringLiteral("&New"), this)),
      editButton_(new QPushButton(QStringLiteral("&Edit"), this)),
      deleteButton_(new QPushButton(QStringLiteral("&Delete"), this)),
      updateButton_(new QPushButton(QStringLiteral("&Update Lists"), this))
{
    setWindowTitle(QStringLiteral("Edit Lists"));
    askText = [this](const QString &caption, const QString &label, const QString &text) {
        return askWithInputBox(this, caption, label, text);
    };

    auto *listBox = new QGroupBox(this);
    auto *listLayout = new QVBoxLayout(listBox);
    const std::vector<database::ListChoice> &choices = editor_.lists();
    for (int i = 0; i < int(choices.size()); ++i) {
        auto *choice = new QRadioButton(choices[size_t(i)].caption, listBox);
        choices_->addButton(choice, i);
        listLayout->addWidget(choice);
    }
    listLayout->addStretch();

    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->hide();

    auto *closeButton = new QPushButton(QStringLiteral("&Close"), this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {newButton_, editButton_, deleteButton_, updateButton_, closeButton})
        buttons->addWidget(button);

    auto *upper = new QHBoxLayout;
    upper->addWidget(listBox);
    upper->addWidget(grid_, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(upper, 1);
    layout->addLayout(buttons);

    connect(choices_, &QButtonGroup::idClicked, this, &EditListsWindow::chooseList);
    connect(newButton_, &QPushButton::clicked, this, &EditListsWindow::newItem);
    connect(editButton_, &QPushButton::clicked, this, &EditListsWindow::editItem);
    connect(deleteButton_, &QPushButton::clicked, this, &EditListsWindow::deleteItem);
    connect(updateButton_, &QPushButton::clicked, this, &EditListsWindow::updateLists);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    if (!choices.empty())
        chooseList(0);
}

int EditListsWindow::chosenList() const { return editor_.shownList(); }

void EditListsWindow::chooseList(int index)
{
    editor_.show(index);
    showShownList();
}

void EditListsWindow::showShownList()
{
    if (QAbstractButton *choice = choices_->button(editor_.shownList()))
        choice->setChecked(true);
    showItems();
}

void EditListsWindow::showItems(int selectRow)
{
    const std::vector<database::ListItem> &items = editor_.items();
    grid_->setRowCount(int(items.size()));
    for (int row = 0; row < int(items.size()); ++row)
        grid_->setItem(row, 0, new QTableWidgetItem(items[size_t(row)].text));
    if (!items.empty())
        grid_->selectRow(std::clamp(selectRow, 0, int(items.size()) - 1));
}

int EditListsWindow::selectedRow() const
{
    const QModelIndexList rows = grid_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

// After a change the row that holds the new text is selected.
void EditListsWindow::newItem()
{
    const std::optional<QString> text = askText(QStringLiteral("Add New Item"), QStringLiteral("New List Item:"), QString());
    if (!text)
        return;
    editor_.addItem(*text);
    showItems(editor_.rowOf(*text));
}

void EditListsWindow::editItem()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const std::optional<QString> text =
        askText(QStringLiteral("Edit Item"), QStringLiteral("Modify List Item:"), editor_.items()[size_t(row)].text);
    if (!text)
        return;
    editor_.modifyItem(row, *text);
    showItems(editor_.rowOf(*text));
}

void EditListsWindow::deleteItem()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    editor_.deleteItem(row);
    showItems(row);
}

void EditListsWindow::updateLists()
{
    {
        const platform::BusyCursor busy;
        const platform::ProgressPass pass(progress_);
        editor_.updateLists(recordFileName_);
    }
    showShownList();
}

void EditListsWindow::done(int result)
{
    {
        const platform::BusyCursor busy;
        editor_.packLists();
    }
    QDialog::done(result);
}

} // namespace numora::editors
