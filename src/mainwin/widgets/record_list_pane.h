#pragma once
// The record list pane: the sort bar (primary sort field, secondary sort field, filter
// state), the list header, one row button per record that fits and the paging row, plus
// the letter tab bar that pages by the first letter of the primary sort value. The pane
// reads the browse table of the database manager; it asks for sort and filter changes
// through signals and leaves applying them to the window that owns the database.

#include "mainwin/list_header_model.h"
#include "mainwin/list_paging.h"
#include "database/sort_keys.h"
#include "database/sort_state.h"

#include <QChar>
#include <QFont>
#include <QList>
#include <QWidget>
#include <memory>

class QMenu;
class QPushButton;

namespace numora {
class Prompt;
}
namespace numora::settings {
class ColourScheme;
}
namespace numora::database {
class DatabaseManager;
}
namespace numora::store {
class Table;
} // namespace numora::store

namespace numora::mainwin {

class LetterTabBar;
class TBrenlowHeader;
class TFormatedButton;
struct RowColumnText;

class RecordListPane : public QWidget {
    Q_OBJECT
public:
    // `prompt` shows the header's messages; it must outlive the pane.
    explicit RecordListPane(Prompt &prompt, QWidget *parent = nullptr);
    ~RecordListPane() override;

    // Both must outlive the pane or be replaced first. Takes the record table's fields,
    // recounts the letters and shows the first page of "A" (or of the whole table when
    // letter tabs are not in use).
    void setDatabase(database::DatabaseManager *database, const settings::ColourScheme *scheme);
    // The field labels the header and the sort bar show, field 1 first; without them the
    // record table's column names stand in.
    void setFieldLabels(const QStringList &labels);
    // The record shown in the record form; its row is drawn selected.
    void setShownRecord(quint32 recordNumber);
    // In the read-only state the row popup offers no deleting.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    void setRowFont(const QFont &font);
    // After the colour scheme changed.
    void applyColours();

    // Fills the rows from the page offset on and enables the paging buttons.
    void refresh();
    // Selects the letter's tab, shows the first page of its range and refreshes.
    void setLetter(QChar letter);
    // Counts every letter again, recolours the tabs, selects "A" and updates the sort bar.
    void recountLetters();
    // A record left `oldLetter` for `newLetter`.
    void moveLetterCount(QChar oldLetter, QChar newLetter);

    // Takes effect at the next refresh.
    void setPageOffset(int offset) { pageOffset_ = offset; }
    quint32 letterCount(QChar letter) const;
    void focusSelectedRow();

    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();

    int pageOffset() const { return pageOffset_; }
    int rowsPerPage() const { return int(rows_.size()); }
    QChar currentLetter() const { return currentLetter_; }
    bool letterTabsInUse() const;

    ListHeaderModel &headerModel() { return headerModel_; }
    TBrenlowHeader *header() const { return header_; }
    const QList<TFormatedButton *> &rows() const { return rows_; }
    // Made here, placed by the main window beside the pane.
    LetterTabBar *letterTabBar() const { return letterBar_; }
    QPushButton *sortButton(int part) const { return sortButtons_.at(part); }
    // The part's whole caption, which its button may show elided.
    QString sortCaption(int part) const { return sortCaptions_.value(part); }
    QPushButton *firstButton() const { return first_; }
    QPushButton *pageUpButton() const { return pageUp_; }
    QPushButton *pageDownButton() const { return pageDown_; }
    QPushButton *lastButton() const { return last_; }
    QPushButton *sponsorButton() const { return sponsor_; }

    // The popup menus as they open now; the caller runs them.
    std::unique_ptr<QMenu> createPrimarySortMenu();
    std::unique_ptr<QMenu> createSecondarySortMenu();
    std::unique_ptr<QMenu> createFilterMenu();
    std::unique_ptr<QMenu> createRowMenu(int row);

signals:
    void rowChosen(int position);
    // The row popup's "&Delete Record" for the record at `position` of the range.
    void deleteRowRequested(int position);
    void sortRequested(database::SortDescriptor descriptor);
    void sortDialogRequested();
    void filterStateRequested(database::FilterState state);
    void filterDialogRequested();
    void sponsorClicked();
    void rowFontChanged(QFont font);
    void helpRequested(int context);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void createSortBar();
    void createPagingRow();
    void layoutPane();
    void matchRowCount(int count);
    void setColumnsOfRows();
    QList<RowColumnText> rowTexts(const store::Table &table) const;
    RowColumnText columnText(const store::Table &table, int column) const;
    void enablePagingButtons(int count);
    void selectRow(TFormatedButton *selected);
    void updateSortCaptions();
    QString fieldLabel(int column) const;
    bool isTextColumn(int column) const;
    bool canBeSortColumn(int column) const;
    void addFieldChoices(QMenu &menu, int current, const QString &none, bool primary);
    void choosePrimary(int column);
    void chooseSecondary(int column);
    void addHelpItem(QMenu &menu, int context);
    void enterLetter(QChar letter);
    void showRowMenu(int row, QPoint globalPos);
    void chooseRowFont();
    void turnPage(PagingCommand command);
    void fitSortCaptions();
    // The records in the list's range; 0 when they cannot be counted.
    int rangeCount();

    database::DatabaseManager *database_ = nullptr;
    const settings::ColourScheme *scheme_ = nullptr;
    QStringList labels_;
    Prompt &prompt_;
    ListHeaderModel headerModel_;
    QList<QPushButton *> sortButtons_;
    QStringList sortCaptions_; // whole, while the buttons may show them elided
    TBrenlowHeader *header_;
    QList<TFormatedButton *> rows_;
    QPushButton *first_ = nullptr;
    QPushButton *pageUp_ = nullptr;
    QPushButton *sponsor_ = nullptr;
    QPushButton *pageDown_ = nullptr;
    QPushButton *last_ = nullptr;
    LetterTabBar *letterBar_;
    QFont rowFont_;
    int pageOffset_ = 0;
    QChar currentLetter_ = u'A';
    quint32 shownRecord_ = 0;
    bool readOnly_ = false;
};

} // namespace numora::mainwin
