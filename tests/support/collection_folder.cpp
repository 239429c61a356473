#include "support/collection_folder.h"

#include "store/record_schema.h"
#include "store/table.h"
#include "store/table_templates.h"

#include <QDir>

namespace numora::test {

CollectionFolder::CollectionFolder(const QStringList &descriptions)
{
    QDir().mkpath(databaseFolder());
    store::ensureTableTemplates(programFolder());
    const QDir program(programFolder());
    for (const QString &file : program.entryList({QStringLiteral("data.*")}, QDir::Files))
        QFile::copy(program.filePath(file), QDir(databaseFolder()).filePath(file));
    store::Table table;
    table.setFolder(databaseFolder());
    table.setFileName(QStringLiteral("data.dbf"));
    table.open();
    for (int i = 0; i < descriptions.size(); ++i) {
        table.append();
        table.setInteger(0, i + 1);
        table.setText(1, QStringLiteral("0"));
        table.setText(2, descriptions[i]);
        table.post();
    }
}

settings::Folders CollectionFolder::folders() const
{
    settings::Folders folders = settings::Folders::forProgramFolder(programFolder());
    folders.databaseFolder = databaseFolder();
    folders.settingsFolder = databaseFolder();
    return folders;
}

} // namespace numora::test
