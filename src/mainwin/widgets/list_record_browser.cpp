#include "mainwin/widgets/list_record_browser.h"

#include "mainwin/widgets/record_list_pane.h"
#include "database/database_manager.h"
#include "mainwin/store_reads.h"
#include "core/log_categories.h"

namespace numora::mainwin {

ListRecordBrowser::ListRecordBrowser(RecordListPane &list, database::DatabaseManager &database, Prompt &prompt,
                                     std::function<void(const RecordDisplay &)> showState)
    : list_(list), database_(database), prompt_(prompt), showState_(std::move(showState))
{
}

bool ListRecordBrowser::letterTabsInUse() const { return list_.letterTabsInUse(); }
QChar ListRecordBrowser::currentLetter() const { return list_.currentLetter(); }
// A range that cannot be selected leaves the previous one; the session then lands on a
// record of that range or on a new record, never on values of a record it did not read.
void ListRecordBrowser::selectLetterRange(QChar letter)
{
    if (!readStore(prompt_, [&] { database_.viewRange(letter); }))
        qCInfo(lcRecords) << "the range of letter" << letter << "could not be selected";
}
void ListRecordBrowser::selectLetter(QChar letter) { list_.setLetter(letter); }
quint32 ListRecordBrowser::letterCount(QChar letter) const { return list_.letterCount(letter); }

void ListRecordBrowser::moveLetterCount(QChar from, QChar to)
{
    list_.moveLetterCount(from, to);
}

int ListRecordBrowser::rowsPerPage() const { return list_.rowsPerPage(); }
void ListRecordBrowser::setPageOffset(int offset) { list_.setPageOffset(offset); }
void ListRecordBrowser::setShownRecord(quint32 recordNumber) { list_.setShownRecord(recordNumber); }
void ListRecordBrowser::refresh() { list_.refresh(); }
void ListRecordBrowser::focusSelectedRow() { list_.focusSelectedRow(); }

void ListRecordBrowser::showRecordState(const RecordDisplay &display)
{
    if (showState_)
        showState_(display);
}

} // namespace numora::mainwin
