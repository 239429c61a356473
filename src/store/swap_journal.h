#pragma once
// Renames several files of one folder as one step a crash cannot leave half done. The
// table store uses it to put packed or emptied files in place, the database layer to
// put a repaired, restored or backed-up table in place of the old one.
//
// Like a rollback journal that only ever rolls forward: the new files are complete and
// on disk before the journal naming the renames is written, so once the journal exists
// the swap can always be finished, and the next open of the table finishes it. The
// journal's layout and the recovery rule are in docs/index-format.md.

#include <QString>
#include <vector>

namespace numora::store {

// One rename inside the journal's folder; both are plain file names.
struct FileRename {
    QString from;
    QString to;
};

// Writes and syncs the journal `journalName` in `folder`, performs the renames in their
// order and removes the journal. Every `from` must exist and be named once. While the
// swap runs the journal is locked, so another process finds it busy instead of
// finishing it under us. Throws DatabaseError; once the journal is in place a failure
// leaves it for the next open to finish.
void swapFiles(const QString &folder, const QString &journalName, const std::vector<FileRename> &renames);

// Finishes the swap a killed process left behind; returns whether there was one. Throws
// DatabaseError: InUse while the process running the swap is alive; General when the
// journal is damaged or a rename fails, and then the files must not be used.
bool finishInterruptedSwap(const QString &folder, const QString &journalName);

// Test seam: called, when set, at every step of swapFiles (new files complete, journal
// written, journal in place, after each rename, journal removed). Only the crash tests'
// peer process sets it, to kill itself between two steps.
inline void (*swapStepHook)() = nullptr;

} // namespace numora::store
