#include "support/catalogue_folders.h"

#include "database/record_schema.h"
#include "database/table_templates.h"

#include <QDir>

namespace numora::test {

CatalogueFolders::CatalogueFolders()
    : programFolder_(folder_.file("program")), databaseFolder_(folder_.file("program/DATA"))
{
    QDir().mkpath(databaseFolder_);
    database::ensureTableTemplates(programFolder_);
}

QString CatalogueFolders::databaseFile(const QString &fileName) const { return QDir(databaseFolder_).filePath(fileName); }

settings::Folders CatalogueFolders::folders() const
{
    settings::Folders folders = settings::Folders::forProgramFolder(programFolder_);
    folders.databaseFolder = databaseFolder_;
    folders.settingsFolder = databaseFolder_;
    return folders;
}

void CatalogueFolders::open(store::Table &table, const QString &fileName, bool exclusive) const
{
    table.open({.folder = databaseFolder_, .fileName = fileName, .exclusive = exclusive});
}

void CatalogueFolders::writeList(const QString &source, const QStringList &items) const
{
    store::Table::copyTable(QDir(programFolder_).filePath("list.dbf"), databaseFile(source));
    store::Table table;
    open(table, source);
    for (const QString &item : items) {
        table.append();
        table.setText(0, item);
        table.post();
    }
}

QStringList CatalogueFolders::storedItems(const QString &source) const
{
    store::Table table;
    open(table, source);
    QStringList items;
    for (table.first(); !table.eof(); table.next())
        items << table.text(0);
    return items;
}

void CatalogueFolders::writeRecords(const QList<std::map<int, QString>> &records) const
{
    store::Table::copyTable(QDir(programFolder_).filePath("data.dbf"), databaseFile("data.dbf"));
    store::Table table;
    open(table, "data.dbf");
    for (int i = 0; i < records.size(); ++i) {
        table.append();
        table.setInteger(database::record_column::Number, i + 1);
        for (const auto &[field, text] : records[i])
            table.setText(database::record_column::fieldColumn(field), text);
        table.post();
    }
}


void CatalogueFolders::writeDescriptions(const QStringList &descriptions) const
{
    QList<std::map<int, QString>> records;
    for (const QString &description : descriptions)
        records.append({{1, description}});
    writeRecords(records);
}

} // namespace numora::test
