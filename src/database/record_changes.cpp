#include "database/record_changes.h"

#include "core/log_categories.h"
#include "database/record_schema.h"
#include "store/store_error.h"

#include <QThread>

#include <cmath>

namespace numora::database {

namespace {

// Another user holds a record or the table only for the moment of their own change:
// half a second of short pauses covers that without making a real conflict hang.
constexpr int kInUseAttempts = 25;
constexpr int kInUsePauseMs = 20;

ChangeFailure failureOf(store::DatabaseErrorKind kind)
{
    switch (kind) {
    case store::DatabaseErrorKind::InUse:
        return ChangeFailure::InUse;
    case store::DatabaseErrorKind::DiskFull:
        return ChangeFailure::DiskFull;
    case store::DatabaseErrorKind::Permission:
        return ChangeFailure::Permission;
    case store::DatabaseErrorKind::Index:
    case store::DatabaseErrorKind::Damaged:
        return ChangeFailure::Damaged;
    case store::DatabaseErrorKind::General:
        break;
    }
    return ChangeFailure::Other;
}

} // namespace

ChangeResult ChangeResult::from(const store::DatabaseError &error)
{
    return ChangeResult(failureOf(error.kind()), error.message());
}

RecordChanges::RecordChanges(store::Table &master, std::function<void()> findCounterRow, Prompt &prompt)
    : master_(master), findCounterRow_(std::move(findCounterRow)), prompt_(prompt)
{
}

void RecordChanges::attach(store::Table &table)
{
    table.afterInsert = [this](store::Table &inserted) { numberNewRecord(inserted); };
    table.beforePost = [this](store::Table &row) {
        if (markRecord)
            markRecord(row);
    };
}

// The master row's lock makes the counter safe between users; another user holds it
// only for the moment of their own insert. A failure here fails the append, so a
// record is never stored without a number of its own. The row is sought for every new
// record: the master table's current row may belong to another table, whose counter
// must never number these records.
void RecordChanges::numberNewRecord(store::Table &inserted)
{
    if (!inserted.isNull(record_column::Number))
        return;
    findCounterRow_();
    if (const ChangeResult locked = attempt([&] { master_.edit(); }, Retry::WhileInUse); !locked)
        throw store::DatabaseError(locked.reason(), store::DatabaseErrorKind::InUse);
    const qint64 last = std::llround(master_.number(master_column::LastNumber));
    inserted.setInteger(record_column::Number, last + 1);
    try {
        master_.setInteger(master_column::LastNumber, last + 1);
        master_.post();
    } catch (...) {
        master_.cancel();
        throw;
    }
}

ChangeResult RecordChanges::attempt(const std::function<void()> &change, Retry retry)
{
    for (int attempt = 1;; ++attempt) {
        try {
            change();
            return {};
        } catch (const store::DatabaseError &error) {
            const bool again = error.kind() == store::DatabaseErrorKind::InUse
                               && retry == Retry::WhileInUse && attempt < kInUseAttempts;
            if (!again)
                return ChangeResult::from(error);
            QThread::msleep(kInUsePauseMs);
        } catch (const store::EngineError &error) {
            return ChangeResult(ChangeFailure::Damaged, error.message());
        }
    }
}

ChangeResult RecordChanges::edit(store::Table &table, Retry retry)
{
    return attempt([&] { table.edit(); }, retry);
}

ChangeResult RecordChanges::append(store::Table &table)
{
    return attempt([&] { table.append(); }, Retry::WhileInUse);
}

ChangeResult RecordChanges::post(store::Table &table)
{
    return attempt(
        [&] {
            table.post();
            if (!table.inBulkUpdate())
                table.flush();
        },
        Retry::WhileInUse);
}

ChangeResult RecordChanges::remove(store::Table &table)
{
    return attempt([&] { table.remove(); }, Retry::WhileInUse);
}

ChangeResult RecordChanges::copyRecord(const store::Table &source, store::Table &target,
                                       int firstColumn, bool asNewRecord)
{
    ChangeResult result = asNewRecord ? append(target) : edit(target);
    if (!result)
        return result;
    result = attempt(
        [&] {
            for (int column = firstColumn; column < int(target.fields().size()); ++column)
                target.copyColumnFrom(column, source, column);
        },
        Retry::Never);
    if (result)
        result = post(target);
    if (!result && target.isEditing())
        target.cancel();
    return result;
}

Button RecordChanges::report(const ChangeResult &failure, const QString &text, MessageKind kind,
                             Buttons buttons)
{
    qCWarning(lcRecords).noquote() << text << failure.reason();
    return prompt_.ask(text, kind, buttons, 0, failure.reason());
}

} // namespace numora::database
