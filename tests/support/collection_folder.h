#pragma once
// A program folder with the table templates and a DATA folder holding a record table, as
// the program finds them on disk; the settings point at both.

#include "settings/startup_settings.h"
#include "support/temp_folder.h"

#include <QStringList>

namespace numora::test {

class CollectionFolder {
public:
    // data.dbf holds one record per description, numbered from 1 in this order.
    explicit CollectionFolder(const QStringList &descriptions = {});

    QString programFolder() const { return folder_.file(QStringLiteral("program")); }
    QString databaseFolder() const { return folder_.file(QStringLiteral("program/DATA")); }
    // Folders as the start-up leaves them, the settings beside the database.
    settings::Folders folders() const;

private:
    TempFolder folder_;
};

} // namespace numora::test
