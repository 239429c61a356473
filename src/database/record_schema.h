#pragma once
// The column layouts of the catalogue's tables, defined once: the record table (and the
// copy buffer, which shares it), the master table and the lookup list tables. The
// table templates in the program folder are written from these.

#include "store/field.h"

namespace numora::database {

// Record table: column 0 record number, column 1 record mark, columns 2..27 the record
// fields 1..26 (field n is column n + 1).
store::FieldList recordTableFields();
// Master table: file name, database name, description, last record number.
store::FieldList masterTableFields();
// Lookup list table: the item text.
store::FieldList listTableFields();

namespace record_column {
constexpr int Number = 0;
constexpr int Mark = 1;
constexpr int FirstField = 2;
constexpr int fieldColumn(int fieldNumber) { return fieldNumber + 1; }
} // namespace record_column

namespace master_column {
constexpr int FileName = 0;
constexpr int DatabaseName = 1;
constexpr int LastNumber = 3;
} // namespace master_column

} // namespace numora::database
