#pragma once
// The one path by which records change. The record form's save, delete, the copy
// buffer's copy and paste (and the passes that change many records) go through here,
// so what every change needs is done the same way in one place:
//  - the hooks of each handle that writes records: a new record's number from the
//    master row's counter, and the filter's record mark before a record is stored;
//  - the record lock, taken when a record is put into edit state;
//  - the retry policy: only "in use" is tried again, after a short pause and a bounded
//    number of times; a full disk, a refused permission or damage is final at once;
//  - the error reporting: a failure is returned with the store's reason, and shown to
//    the user once, the program's own text with that reason below it.

#include "core/prompt.h"
#include "store/table.h"

#include <QString>

#include <functional>

namespace numora::store {
class DatabaseError;
}

namespace numora::database {

enum class ChangeFailure { None, InUse, DiskFull, Permission, Damaged, Other };

// The outcome of one change: success, or why it failed in words the user can act on.
class [[nodiscard]] ChangeResult {
public:
    ChangeResult() = default; // success
    ChangeResult(ChangeFailure failure, QString reason) : failure_(failure), reason_(std::move(reason)) {}
    static ChangeResult from(const store::DatabaseError &error);

    bool ok() const { return failure_ == ChangeFailure::None; }
    explicit operator bool() const { return ok(); }
    ChangeFailure failure() const { return failure_; }
    const QString &reason() const { return reason_; }

private:
    ChangeFailure failure_ = ChangeFailure::None;
    QString reason_;
};

class RecordChanges {
public:
    // `master` holds the counter new record numbers come from; `findCounterRow` puts it
    // on the row of the table being numbered (making the row when it is missing) or
    // throws DatabaseError. Master and prompt must outlive this.
    RecordChanges(store::Table &master, std::function<void()> findCounterRow, Prompt &prompt);

    // Sets a row's record mark just before it is stored (the filter's verdict). Unset,
    // marks stay as they are.
    store::Table::Hook markRecord;

    // Installs numbering and the record mark on a handle that writes records.
    void attach(store::Table &table);

    // Puts the current record into edit state and so holds its lock. `retry` tries a
    // record another user holds again for a moment; showing a record does not wait.
    enum class Retry { WhileInUse, Never };
    ChangeResult edit(store::Table &table, Retry retry = Retry::WhileInUse);
    ChangeResult append(store::Table &table);
    // Stores the row in edit or insert state; outside a bulk update it is also forced
    // onto the disk, so a record the user left survives a crash. A failed post leaves
    // the row in its state for the caller to cancel or try again.
    ChangeResult post(store::Table &table);
    ChangeResult remove(store::Table &table);
    // Copies columns `firstColumn` on of the source's current record into the target's
    // current record (or a new one) and stores it through the same hooks as a post.
    ChangeResult copyRecord(const store::Table &source, store::Table &target, int firstColumn,
                            bool asNewRecord);

    // Shows `text` with the failure's reason below it and returns the button chosen.
    Button report(const ChangeResult &failure, const QString &text, MessageKind kind,
                  Buttons buttons = Button::Ok);

private:
    ChangeResult attempt(const std::function<void()> &change, Retry retry);
    void numberNewRecord(store::Table &inserted);

    store::Table &master_;
    std::function<void()> findCounterRow_;
    Prompt &prompt_;
};

} // namespace numora::database
