#include "database/table_templates.h"

#include "store/folder_lookup.h"
#include "store/index_file.h"
#include "database/record_schema.h"
#include "store/table.h"

#include <QDir>

namespace numora::database {

namespace {

const store::TagDefinition kMasterTag{QStringLiteral("IDX0"), QStringLiteral("FILENAME")};

void createEmptyTable(const QString &folder, const QString &fileName, const store::FieldList &fields, const store::TagDefinition &tag)
{
    store::Table::createTable(QDir(folder).filePath(fileName), fields);
    store::Table table;
    table.open({.folder = folder, .fileName = fileName, .exclusive = true});
    table.addTag(tag);
}

void writeTemplate(const QString &folder, const QString &fileName, const store::FieldList &fields, const store::TagDefinition &tag)
{
    if (!store::existsInFolder(folder, fileName))
        createEmptyTable(folder, fileName, fields, tag);
}

} // namespace

void ensureTableTemplates(const QString &programFolder)
{
    // The record table's first sort is entry order: the numeric key of column 0.
    writeTemplate(programFolder, QStringLiteral("data.dbf"), recordTableFields(), store::TagDefinition{QStringLiteral("IDX0"), QStringLiteral("STR(NUMBER,20,4)")});
    writeTemplate(programFolder, QStringLiteral("master.dbf"), masterTableFields(), kMasterTag);
    // Lookup items compare exactly: a value differing only in letter case is another item.
    writeTemplate(programFolder, QStringLiteral("list.dbf"), listTableFields(), store::TagDefinition{QStringLiteral("IDX"), QStringLiteral("ITEM")});
}

void createMasterTable(const QString &folder, const QString &fileName) { createEmptyTable(folder, fileName, masterTableFields(), kMasterTag); }

} // namespace numora::database
