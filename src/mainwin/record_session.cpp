#include "mainwin/record_session.h"

#include "core/log_categories.h"
#include "core/prompt.h"
#include "database/database_manager.h"
#include "database/record_schema.h"
#include "mainwin/store_reads.h"

#include <algorithm>
#include <cmath>

namespace numora::mainwin {

namespace {

constexpr int kMaxPositionDigits = 6;
const QString kContinueAnyway = QStringLiteral(
    "\rDo you want to continue anyway?\r(If you answer Yes changes to the current record will be discarded.)");
const QString kStoredWithFailure = QStringLiteral(
    "The record was saved, but the database could not finish saving it!\rThe list may not show it in its "
    "place until the database is opened again.");

QChar previousLetter(QChar letter) { return QChar(letter.unicode() - 1); }
QChar nextLetter(QChar letter) { return QChar(letter.unicode() + 1); }

} // namespace

RecordCounters recordCounters(int position, int count, bool newRecord)
{
    RecordCounters counters;
    if (!newRecord && position > 0)
        counters.position = QString::number(position).right(kMaxPositionDigits);
    const int percent =
        count > 0 ? std::min(100, int(std::lround(position * 100.0 / count))) : 100;
    counters.percent = QString::number(percent) + u'%';
    return counters;
}

RecordSession::RecordSession(database::DatabaseManager &database, Prompt &prompt, RecordForm &form,
                             RecordBrowser &browser)
    : database_(database), prompt_(prompt), form_(form), browser_(browser)
{
}

RecordSession::~RecordSession() = default;

// ---------------------------------------------------------------------------
// The form table

void RecordSession::openFormTable()
{
    formTable_.close();
    position_ = 0;
    const store::Table &browse = database_.recordTable();
    if (!readStore(prompt_, [&] { formTable_.open({.folder = browse.folder(), .fileName = browse.fileName()}); }))
        return; // without its table the form can show only a new record, which cannot be stored
    database_.changes().attach(formTable_);
}

void RecordSession::closeFormTable() { formTable_.close(); }

void RecordSession::reload()
{
    if (!database_.recordTable().isOpen()) {
        showRecord(0); // says that there is nothing to show
        return;
    }
    openFormTable();
    newRecord_ = false;
    inUse_ = false;
    showRecord(0);
}

// A range that cannot be counted counts as empty, so what follows shows a new record.
int RecordSession::rangeCount()
{
    int count = 0;
    if (!readStore(prompt_, [&] { count = int(database_.recordCount()); }))
        qCInfo(lcRecords) << "the list's range could not be counted";
    return count;
}

// Leaves edit or insert state. The table reads its record again afterwards; when that
// fails it is still in browse state, which is all the callers need.
void RecordSession::cancelEdit()
{
    if (formTable_.isEditing() && !readStore(prompt_, [this] { formTable_.cancel(); }))
        qCInfo(lcRecords) << "the form table's record could not be read again";
}

// ---------------------------------------------------------------------------
// Showing a record

void RecordSession::showRecord(int index)
{
    const StoreReadAction action;
    if (!database_.recordTable().isOpen()) {
        prompt_.inform(QStringLiteral("Database is not Open! Cannot display details."),
                       MessageKind::Error);
        return;
    }
    const int countBefore = rangeCount();
    if (position_ > 0 && !saved_ && !saveCheck())
        return;
    inUse_ = false;
    newRecord_ = false;
    const int count = rangeCount();
    if (count > countBefore)
        ++index;
    displayAt(index);
}

void RecordSession::showFromStart(int index)
{
    position_ = 0;
    showRecord(index);
}

void RecordSession::moveBrowseTableToShownRecord()
{
    bool there = false;
    if (!formTable_.isOpen() || newRecord_
        || !readStore(prompt_, [&] { there = database_.recordTable().gotoSameRecord(formTable_); }))
        return;
    if (!there)
        qCInfo(lcRecords) << "the shown record has left the list's range; a pass starts at the list's record";
}

// Puts the browse table on `index` of its range and the form table on the same record.
// False when the form table cannot get there (another user deleted the record in
// between): it must then not be shown, or the form would write into another record.
bool RecordSession::landOn(int index)
{
    cancelEdit();
    bool landed = false;
    const bool read = readStore(prompt_, [&] {
        database_.gotoPosition(index);
        landed = formTable_.gotoSameRecord(database_.recordTable());
    });
    if (read && !landed)
        qCInfo(lcRecords) << "record" << database_.recordTable().recNo() << "went before it could be shown";
    return landed;
}

// Moves both tables to `index` of the browse range, or starts a new record past it.
void RecordSession::displayAt(int index)
{
    cancelEdit();
    const int count = rangeCount();
    if (index >= 0 && index < count && landOn(index)) {
        position_ = index + 1;
    } else {
        newRecord_ = true;
        position_ = count + 1;
    }
    display();
}

void RecordSession::display()
{
    recordLetter_ = QChar();
    if (newRecord_) {
        form_.clear();
        recordNumber_ = -1;
    } else {
        // Showing a record does not wait for its lock: a record another user holds is
        // shown at once as in use.
        if (!readOnly && !database_.changes().edit(formTable_, database::RecordChanges::Retry::Never))
            inUse_ = true;
        form_.loadFrom(formTable_);
        recordNumber_ = formTable_.integer(0);
        recordLetter_ = database_.recordLetter(formTable_);
    }
    form_.setEditable(!readOnly && !inUse_);
    browser_.setShownRecord(newRecord_ ? 0 : formTable_.recNo());
    showState();
    browser_.refresh();
    saved_ = false;
}

void RecordSession::showState()
{
    RecordDisplay state;
    state.newRecord = newRecord_;
    state.inUse = inUse_;
    state.readOnly = readOnly;
    state.position = position_;
    const bool byLetter = browser_.letterTabsInUse() && !recordLetter_.isNull();
    state.count = byLetter ? int(browser_.letterCount(recordLetter_)) : rangeCount();
    if (newRecord_) {
        state.previousEnabled = state.nextEnabled = !readOnly;
    } else if (byLetter) {
        state.previousEnabled = position_ > 1 || hasRecordsBefore(recordLetter_);
        state.nextEnabled = position_ < state.count || hasRecordsAfter(recordLetter_);
    } else {
        state.previousEnabled = position_ > 1;
        state.nextEnabled = position_ < state.count;
    }
    browser_.showRecordState(state);
}

bool RecordSession::hasRecordsBefore(QChar letter) const
{
    for (QChar l = u'A'; l < letter; l = nextLetter(l))
        if (browser_.letterCount(l) > 0)
            return true;
    return false;
}

bool RecordSession::hasRecordsAfter(QChar letter) const
{
    for (QChar l = u'Z'; l > letter; l = previousLetter(l))
        if (browser_.letterCount(l) > 0)
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Leaving a record

bool RecordSession::saveCheck()
{
    if (readOnly || inUse_)
        return true;
    // A value the form cannot store would be written as something else (a date that
    // cannot be read, as the date it had before), so the record waits for the user.
    if (!form_.checkValues()) {
        saved_ = false;
        return false;
    }
    if (!form_.isEmpty() && !form_.requiredFieldsFilled()) {
        // No field is required in this product, so the question is never asked here.
        return prompt_.ask(QStringLiteral("Title Field cannot be empty!") + kContinueAnyway,
                           MessageKind::Warning, Button::Yes | Button::No) == Button::Yes;
    }
    bool result = true;
    if (form_.isEmpty()) {
        // Appending first advances the counter, as the user who leaves an empty new
        // record would find it in the master table.
        if (newRecord_) {
            if (const database::ChangeResult appended = database_.changes().append(formTable_); !appended)
                qCInfo(lcRecords) << "an empty new record did not advance the counter:" << appended.reason();
        }
        cancelEdit();
    } else if (const database::ChangeResult written = writeRecord(); !written) {
        result = database_.changes().report(written, QStringLiteral("Could not Update the record!") + kContinueAnyway,
                                            MessageKind::Warning, Button::Yes | Button::No)
                 == Button::Yes;
        if (result)
            cancelEdit();
    }
    saved_ = result;
    return result;
}

database::ChangeResult RecordSession::writeRecord()
{
    if (inUse_)
        return {};
    database::BusyScope busy(database_.hooks);
    database::RecordChanges &changes = database_.changes();
    database::ChangeResult result;
    if (newRecord_ && formTable_.state() != store::TableState::Insert)
        result = changes.append(formTable_);
    else if (!formTable_.isEditing())
        result = changes.edit(formTable_);
    if (!result)
        return result;
    if (!form_.writeTo(formTable_)) {
        // The form has said what was damaged; the question that follows needs no reason.
        cancelEdit();
        return database::ChangeResult(database::ChangeFailure::Damaged, {});
    }
    const QChar oldLetter = newRecord_ ? QChar() : recordLetter_;
    const qint64 number = formTable_.integer(database::record_column::Number);
    if (result = changes.post(formTable_); !result) {
        // A post whose record reached the data file (the index or the flush after it
        // failed) leaves the table in browse state on that record.
        if (formTable_.isEditing())
            return result;
        // Saving again would store the record a second time: the user hears of the
        // failure once, and the session stays on the record that was stored.
        changes.report(result, kStoredWithFailure, MessageKind::Warning);
        result = {};
        newRecord_ = false;
        recordNumber_ = number;
    }
    // The letter tabs follow a record that changed its letter.
    const QChar newLetter = database_.recordLetter(formTable_);
    if (!newLetter.isNull() && newLetter != oldLetter)
        browser_.moveLetterCount(oldLetter, newLetter);
    recordLetter_ = newLetter;
    return result;
}

bool RecordSession::commit()
{
    const bool wasNew = newRecord_;
    if (!saveCheck())
        return false;
    saved_ = true;
    if (!wasNew)
        return true;
    // The stored record is shown where the sort put it, which in a sorted range is not
    // always the end its position as a new record pointed at, and with letter tabs may
    // be another letter's range, as after Next across letters.
    inUse_ = false;
    newRecord_ = false;
    const quint32 stored = formTable_.recNo();
    if (const std::optional<int> index = indexInRange(stored)) {
        displayAt(*index);
        return saveCheck();
    }
    const QChar current = browser_.currentLetter();
    const bool otherLetter = browser_.letterTabsInUse() && !recordLetter_.isNull();
    if (otherLetter)
        browser_.selectLetterRange(recordLetter_);
    const std::optional<int> index = otherLetter ? indexInRange(stored) : std::nullopt;
    const bool landed = index && landOn(*index);
    if (landed)
        position_ = *index + 1;
    if (otherLetter)
        browser_.selectLetterRange(current);
    if (landed)
        display();
    else
        displayAt(rangeCount());
    return saveCheck();
}

std::optional<int> RecordSession::indexInRange(quint32 recordNumber)
{
    store::Table &browse = database_.recordTable();
    std::optional<int> found;
    const auto search = [&] {
        int index = 0;
        for (browse.first(); !browse.eof(); browse.next(), ++index) {
            if (browse.recNo() == recordNumber) {
                found = index;
                return;
            }
        }
    };
    if (!readStore(prompt_, search))
        return std::nullopt;
    return found;
}

// ---------------------------------------------------------------------------
// Commands

void RecordSession::newRecord()
{
    showRecord(rangeCount());
    if (newRecord_ && !inUse_ && !readOnly)
        form_.focusFirstField();
}

void RecordSession::previous() { move(Direction::Previous); }
void RecordSession::next() { move(Direction::Next); }

// At either end of the whole order an existing record stays where it is (displayed again,
// so its lock is taken again after the save check) and a new record is followed by
// another new one.
void RecordSession::move(Direction direction)
{
    const int position = position_;
    const bool wasNew = newRecord_;
    const bool byLetter = browser_.letterTabsInUse();
    const QChar letter = wasNew || recordLetter_.isNull() ? browser_.currentLetter()
                                                          : recordLetter_;
    if (!saveCheck())
        return;
    inUse_ = false;
    newRecord_ = false;
    if (!byLetter) {
        const int count = rangeCount();
        displayAt(direction == Direction::Previous ? std::max(position - 2, 0)
                                                   : std::min(position, count - 1));
        return;
    }
    const std::optional<Target> target = neighbour(direction, letter, position);
    if (!target) {
        if (wasNew)
            displayAt(rangeCount());
        else
            display();
        browser_.focusSelectedRow();
        return;
    }
    const QChar current = browser_.currentLetter();
    if (target->letter != current)
        browser_.selectLetterRange(target->letter);
    const bool landed = landOn(target->index);
    if (target->letter != current)
        browser_.selectLetterRange(current);
    if (!landed) {
        displayAt(rangeCount()); // a new record rather than another record's values
        return;
    }
    position_ = target->index + 1;
    display();
    browser_.focusSelectedRow();
}

// The record before or after the one at 1-based `position` of `letter`, looking into
// the nearest letters that have records; nothing at either end of the whole order.
std::optional<RecordSession::Target> RecordSession::neighbour(Direction direction, QChar letter,
                                                              int position)
{
    const int count = int(browser_.letterCount(letter));
    if (direction == Direction::Previous) {
        if (position - 2 >= 0 && count > 0)
            return Target{letter, std::min(position - 2, count - 1)};
        for (QChar l = previousLetter(letter); l >= u'A'; l = previousLetter(l))
            if (const int n = int(browser_.letterCount(l)); n > 0)
                return Target{l, n - 1};
        return std::nullopt;
    }
    if (position < count)
        return Target{letter, position};
    for (QChar l = nextLetter(letter); l <= u'Z'; l = nextLetter(l))
        if (browser_.letterCount(l) > 0)
            return Target{l, 0};
    return std::nullopt;
}

void RecordSession::undo()
{
    if (newRecord_)
        form_.clear();
    else
        form_.loadFrom(formTable_);
    browser_.focusSelectedRow();
}

bool RecordSession::deleteConfirmed()
{
    if (immediateDelete)
        return true;
    const std::optional<QString> typed = confirmDelete ? confirmDelete() : std::nullopt;
    if (typed == QStringLiteral("YES"))
        return true;
    prompt_.inform(QStringLiteral("Record not Deleted."), MessageKind::Information);
    return false;
}

void RecordSession::deleteShown()
{
    if (form_.isEmpty() || !deleteConfirmed())
        return;
    removeShown();
}

void RecordSession::removeShown()
{
    if (newRecord_) {
        form_.clear();
        return;
    }
    if (const database::ChangeResult removed = database_.changes().remove(formTable_); !removed) {
        database_.changes().report(removed, QStringLiteral("Record in use - not Deleted!"), MessageKind::Error);
        return;
    }
    browser_.moveLetterCount(recordLetter_, QChar());
    // The record that followed takes the deleted one's index.
    inUse_ = false;
    displayAt(std::max(position_ - 1, 0));
}

void RecordSession::deleteRow(int pageOffset, int row)
{
    const int index = pageOffset + row;
    store::Table &browse = database_.recordTable();
    if (!browse.isOpen() || index >= rangeCount()) {
        prompt_.inform(QStringLiteral("Empty Record cannot be Deleted."), MessageKind::Information);
        return;
    }
    quint32 rowRecord = 0;
    if (!readStore(prompt_, [&] { database_.gotoPosition(index); rowRecord = browse.recNo(); }))
        return;
    if (!newRecord_ && rowRecord == formTable_.recNo()) {
        deleteShown();
        return;
    }
    if (!deleteConfirmed())
        return;
    QChar letter;
    if (!readStore(prompt_, [&] { database_.gotoPosition(index); letter = database_.recordLetter(); }))
        return;
    database::RecordChanges &changes = database_.changes();
    database::ChangeResult removed = changes.edit(browse);
    if (removed)
        removed = changes.remove(browse);
    if (!removed) {
        if (browse.isEditing() && !readStore(prompt_, [&] { browse.cancel(); }))
            qCInfo(lcRecords) << "the list's record could not be read again";
        changes.report(removed, QStringLiteral("Record in use - not Deleted!"), MessageKind::Error);
        return;
    }
    browser_.moveLetterCount(letter, QChar());
    browser_.refresh();
    if (browser_.letterTabsInUse() && recordLetter_ != browser_.currentLetter())
        return;
    if (newRecord_ || position_ > index + 1) {
        --position_;
        showState();
    }
}

void RecordSession::synchronize()
{
    if (newRecord_ || !saveCheck())
        return;
    database::BusyScope busy(database_.hooks);
    if (browser_.letterTabsInUse() && !recordLetter_.isNull()
        && recordLetter_ != browser_.currentLetter())
        browser_.selectLetter(recordLetter_);
    if (const std::optional<int> index = indexInRange(formTable_.recNo())) {
        const int rows = std::max(browser_.rowsPerPage(), 1);
        browser_.setPageOffset(*index / rows * rows);
        inUse_ = false;
        newRecord_ = false;
        displayAt(*index);
    }
}

} // namespace numora::mainwin
