#pragma once
// The table templates in the program folder, from which every table of a database
// folder is made by copying: data.dbf (the record table and copy buffer layout, with
// its memo file and the entry-order tag), master.dbf (tag "IDX0") and list.dbf (tag
// "IDX"). They are written from the layouts in code whenever one is missing.

#include <QString>

namespace numora::database {

// Writes each template that the folder lacks; throws DatabaseError when one cannot be
// written.
void ensureTableTemplates(const QString &programFolder);

// Creates an empty master table `fileName` in `folder`, with its tag, for tools that
// write a database folder without a program folder; throws DatabaseError when it
// cannot.
void createMasterTable(const QString &folder, const QString &fileName);

} // namespace numora::database
