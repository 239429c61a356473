// What the hostile-start test needs done the program's own way:
//   tray-option FOLDER           write the database options of FOLDER with the tray
//                                option on
//   data-root PROGRAM FOLDER     write the program-wide options naming FOLDER as the
//                                data root

#include "core/value_stream.h"
#include "settings/database_options.h"
#include "settings/program_options.h"

#include <QCoreApplication>
#include <QDir>

#include <iostream>

using namespace numora;

namespace {

int writeTrayOption(const QString &folder)
{
    settings::DatabaseOptions options;
    options.displayTrayIcon = true;
    const QByteArray bytes =
        settings::encodeDatabaseOptions(options, {QStringLiteral("data.dbf"), folder});
    return writeSettingsFile(QDir(folder).filePath(settings::kOptionsFile), bytes) ? 0 : 1;
}

int writeDataRoot(const QString &programFolder, const QString &dataRoot)
{
    settings::ProgramOptions options;
    options.dataRoot = dataRoot;
    const QByteArray bytes = settings::encodeProgramOptions(options);
    return writeSettingsFile(QDir(programFolder).filePath(settings::kOptionsFile), bytes) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "tray-option")
        return writeTrayOption(args[2]);
    if (args.size() == 4 && args[1] == "data-root")
        return writeDataRoot(args[2], args[3]);
    std::cerr << "usage: hostile_start_helper tray-option FOLDER | data-root PROGRAM FOLDER\n";
    return 2;
}
