#pragma once
// Which record the record form shows and when the form is written back. The session
// works on two cursors of the record table: the browse table of the database manager,
// which the record list pages through, and its own form table, which holds the shown
// record in edit state (and so its lock) until the user leaves it.
//
// There is no modification flag: leaving a record writes the form back whenever the
// record is not empty. An empty new record is discarded; an existing record the user
// emptied keeps its stored values.
//
// The form and the list are reached through the two small interfaces below, so the
// rules run without widgets; messages go through the Prompt.

#include "database/record_changes.h"
#include "store/table.h"

#include <QChar>
#include <QString>

#include <functional>
#include <optional>

namespace numora {
class Prompt;
}
namespace numora::database {
class DatabaseManager;
}

namespace numora::mainwin {

// The record form's side: moving values between its controls and a table row.
class RecordForm {
public:
    virtual ~RecordForm() = default;
    // Copies the table's current row into the controls. False when damaged data stopped
    // the loading (the form has said so).
    virtual bool loadFrom(const store::Table &table) = 0;
    // Writes the controls into the current row, which is in edit or insert state. False
    // when damaged data stopped the writing (the form has said so).
    [[nodiscard]] virtual bool writeTo(store::Table &table) = 0;
    virtual void clear() = 0;
    // No control holds a value.
    virtual bool isEmpty() const = 0;
    virtual bool requiredFieldsFilled() const = 0;
    // Every value can be stored as shown. Otherwise tells the user what is wrong (a date
    // that cannot be read: "Invalid Date!"), puts the focus on it and returns false.
    [[nodiscard]] virtual bool checkValues() = 0;
    // False while the record is read-only or in use by another user.
    virtual void setEditable(bool editable) = 0;
    virtual void focusFirstField() = 0;
};

// What the editing rules show and ask of the record list, its letter tabs and the window.
struct RecordDisplay {
    bool newRecord = false;
    bool inUse = false;
    bool readOnly = false;
    int position = 0; // 1-based; count + 1 for a new record
    int count = 0;    // records in the range
    bool previousEnabled = false;
    bool nextEnabled = false;
};

class RecordBrowser {
public:
    virtual ~RecordBrowser() = default;
    virtual bool letterTabsInUse() const = 0;
    virtual QChar currentLetter() const = 0;
    // Restricts the browse table to the letter's records without showing them.
    virtual void selectLetterRange(QChar letter) = 0;
    // Selects the letter's tab and shows the first page of its range.
    virtual void selectLetter(QChar letter) = 0;
    virtual quint32 letterCount(QChar letter) const = 0;
    virtual void moveLetterCount(QChar from, QChar to) = 0;
    virtual int rowsPerPage() const = 0;
    virtual void setPageOffset(int offset) = 0;
    // The record drawn selected in the list; 0 for none.
    virtual void setShownRecord(quint32 recordNumber) = 0;
    virtual void refresh() = 0;
    virtual void focusSelectedRow() = 0;
    virtual void showRecordState(const RecordDisplay &display) = 0;
};

// What the position and percent counters show for a record at 1-based `position` of a
// range of `count` records; 0 or a position past the range is a new record.
struct RecordCounters {
    QString position;
    QString percent;
};
RecordCounters recordCounters(int position, int count, bool newRecord);

// What the delete confirmation returned: the text typed, or nothing for Cancel.
using DeleteConfirmation = std::function<std::optional<QString>()>;

class RecordSession {
public:
    // All must outlive the session.
    RecordSession(database::DatabaseManager &database, Prompt &prompt, RecordForm &form,
                  RecordBrowser &browser);
    ~RecordSession();

    // Asks for the deletion to be confirmed; without it nothing is deleted.
    DeleteConfirmation confirmDelete;
    // The delete mode of the database options: true deletes without asking.
    bool immediateDelete = false;
    bool readOnly = false;

    // Closes the form table (dialogs and tools that change the tables do this first).
    void closeFormTable();
    // Opens the form table again and shows the first record of the range.
    void reload();

    void showRecord(int index);
    // Shows the record at `index` as a fresh start: the shown record is not saved first.
    void showFromStart(int index);
    // The browse table stands on the shown record (a long pass starts from it).
    void moveBrowseTableToShownRecord();
    // Leaves the shown record: writes it back unless it is empty. True when the user may
    // go on.
    [[nodiscard]] bool saveCheck();
    // The save check, and a just-stored new record shown as the stored record it is now.
    bool commit();
    void newRecord();
    void previous();
    void next();
    void undo();
    void deleteShown();
    // The record of list row `row` (0-based on the page at `pageOffset`).
    void deleteRow(int pageOffset, int row);
    void synchronize();

    int position() const { return position_; }
    qint64 recordNumber() const { return recordNumber_; }
    bool isNewRecord() const { return newRecord_; }
    bool isInUse() const { return inUse_; }
    store::Table &formTable() { return formTable_; }

private:
    enum class Direction { Previous, Next };
    struct Target {
        QChar letter; // null without letter tabs
        int index = 0;
    };

    void openFormTable();
    void display();
    database::ChangeResult writeRecord();
    void cancelEdit();
    int rangeCount();
    // Where the record stands in the browse table's range.
    std::optional<int> indexInRange(quint32 recordNumber);
    void move(Direction direction);
    std::optional<Target> neighbour(Direction direction, QChar letter, int index);
    bool hasRecordsBefore(QChar letter) const;
    bool hasRecordsAfter(QChar letter) const;
    bool deleteConfirmed();
    void removeShown();
    void displayAt(int index);
    [[nodiscard]] bool landOn(int index);
    void showState();

    database::DatabaseManager &database_;
    Prompt &prompt_;
    RecordForm &form_;
    RecordBrowser &browser_;
    store::Table formTable_;
    int position_ = 0;
    qint64 recordNumber_ = 0;
    QChar recordLetter_;
    bool newRecord_ = false;
    bool inUse_ = false;
    bool saved_ = false;
};

} // namespace numora::mainwin
