#include "mainwin/store_reads.h"

#include "core/log_categories.h"
#include "core/prompt.h"
#include "store/store_error.h"

#include <QSet>
#include <QString>

namespace numora::mainwin {

namespace {

const QString kCouldNotRead = QStringLiteral("Could not read the records of this database!");
const QString kRepairHint =
    QStringLiteral("\rYou may have to use Advanced/Maintenance/Repair Data File function.");

// The user interface runs on one thread, so the action in progress is plain state: how
// deep the reads are nested and which reasons the action has shown.
int nesting = 0;
QSet<QString> shownInAction;

void tell(Prompt &prompt, const QString &reason, bool damaged)
{
    qCWarning(lcRecords).noquote() << kCouldNotRead << reason;
    if (shownInAction.contains(reason))
        return;
    shownInAction.insert(reason);
    prompt.inform(damaged ? kCouldNotRead + kRepairHint : kCouldNotRead, MessageKind::Error, reason);
}

} // namespace

StoreReadAction::StoreReadAction() { ++nesting; }

StoreReadAction::~StoreReadAction()
{
    if (--nesting == 0)
        shownInAction.clear();
}

bool readStore(Prompt &prompt, const std::function<void()> &read)
{
    const StoreReadAction action;
    try {
        read();
        return true;
    } catch (const store::DatabaseError &error) {
        // An index that no longer matches its data file is mended the same way.
        const bool repairable = error.kind() == store::DatabaseErrorKind::Damaged
                                || error.kind() == store::DatabaseErrorKind::Index;
        tell(prompt, error.message(), repairable);
    } catch (const store::EngineError &error) {
        tell(prompt, error.message(), true);
    }
    return false;
}

} // namespace numora::mainwin
