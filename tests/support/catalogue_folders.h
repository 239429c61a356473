#pragma once
// A program folder with the table templates and its database folder "DATA", in a fresh
// temporary folder, with the lookup lists and record tables a test starts from.

#include "settings/folders.h"
#include "store/table.h"
#include "support/temp_folder.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <map>

namespace numora::test {

class CatalogueFolders {
public:
    CatalogueFolders();

    const QString &programFolder() const { return programFolder_; }
    const QString &databaseFolder() const { return databaseFolder_; }
    QString databaseFile(const QString &fileName) const;
    // The folders as the start-up leaves them, the settings beside the database.
    settings::Folders folders() const;

    // Opens a table of the database folder, in entry order.
    void open(store::Table &table, const QString &fileName, bool exclusive = false) const;

    // Makes the list `source` from the list template, holding these items in this order.
    void writeList(const QString &source, const QStringList &items) const;
    // The items of `source` as stored, in entry order.
    QStringList storedItems(const QString &source) const;

    // Makes data.dbf from the record template with one record per entry, each mapping
    // field numbers to texts; records are numbered from 1.
    void writeRecords(const QList<std::map<int, QString>> &records) const;
    // data.dbf with one record per description (field 1).
    void writeDescriptions(const QStringList &descriptions) const;

private:
    TempFolder folder_;
    QString programFolder_;
    QString databaseFolder_;
};

} // namespace numora::test
