#pragma once
// The copy buffer: the first row of copy.dbf, which shares the record table's layout.
// The user copies a record into it and pastes it over another record or as a new one;
// both go through the record changes, so a paste is numbered and marked like any
// stored record. The buffer counts as filled only once something was copied in this
// run, whatever the row holds from before.

#include "database/record_changes.h"
#include "store/table.h"

namespace numora::database {

class CopyBuffer {
public:
    store::Table &table() { return table_; }
    bool filled() const { return filled_; }

    // Copies the fields of the record table's current record into the buffer.
    ChangeResult copyFrom(const store::Table &record, RecordChanges &changes);
    // Writes the buffer's fields over the record table's current record, or into a new
    // record when `asNewRecord`.
    ChangeResult pasteInto(store::Table &record, bool asNewRecord, RecordChanges &changes);

private:
    store::Table table_;
    bool filled_ = false;
};

} // namespace numora::database
