#include "database/copy_buffer.h"

#include "database/record_schema.h"

namespace numora::database {

ChangeResult CopyBuffer::copyFrom(const store::Table &record, RecordChanges &changes)
{
    table_.first();
    ChangeResult result = changes.copyRecord(record, table_, record_column::FirstField, false);
    if (result)
        filled_ = true;
    return result;
}

ChangeResult CopyBuffer::pasteInto(store::Table &record, bool asNewRecord, RecordChanges &changes)
{
    table_.first();
    return changes.copyRecord(table_, record, record_column::FirstField, asNewRecord);
}

} // namespace numora::database
