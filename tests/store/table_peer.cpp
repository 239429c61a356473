// A second process for the multi-process table tests. It opens the coin table the
// tests create and does one thing, reporting on stdout, until its stdin closes:
//   hold-record DIR RECNO   edit record RECNO (entry order) and keep it locked
//   hold-exclusive DIR [FILE]
//                           keep the table (or any table of the folder) open exclusively
//   hold-open DIR FILE      keep any table of the folder open (shared)
//   append DIR COUNT TAG    append COUNT records ("peer <pid> <i>"), printing "posted <i>"
//   maintain DIR OP STEP    pack or empty coins.dbf, killing itself at swap step STEP
//   database PROGRAM DATA OP STEP
//                           open the database, then repair, restore or backup it,
//                           killing itself at swap step STEP
//   number PROGRAM DATA COUNT
//                           open the database and, once stdin says "go", append COUNT
//                           records through its numbering, printing "number <n>"
// It prints "ready" once it holds what it was asked for, "refused" when it could not,
// and "done" (or "failed") when a maintenance run it was not killed in ended.

#include "database/database_manager.h"
#include "store/store_error.h"
#include "store/swap_journal.h"
#include "store/table.h"
#include "support/coin_table.h"
#include "support/scripted_prompt.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>

using namespace numora;
using namespace numora::store;
using namespace numora::test;

namespace {

// The crash tests' fault: SIGKILL, so nothing is tidied up, at the chosen step of a swap.
int killAtStep = 0;
int stepsReached = 0;

void killAtChosenStep()
{
    if (++stepsReached == killAtStep)
        ::kill(::getpid(), SIGKILL);
}

void armKill(int step)
{
    killAtStep = step;
    swapStepHook = killAtChosenStep;
}

void waitForStdinToClose()
{
    std::string line;
    while (std::getline(std::cin, line)) {
    }
}

int holdRecord(const QString &dir, int recno)
{
    Table table;
    openTable(table, dir);
    table.moveBy(recno - 1);
    table.edit();
    std::cout << "ready" << std::endl;
    waitForStdinToClose();
    return 0;
}

int holdExclusive(const QString &dir, const QString &file)
{
    Table table;
    openTable(table, dir, {}, true, file);
    std::cout << "ready" << std::endl;
    waitForStdinToClose();
    return 0;
}

int holdOpen(const QString &dir, const QString &file)
{
    Table table;
    openTable(table, dir, {}, false, file);
    std::cout << "ready" << std::endl;
    waitForStdinToClose();
    return 0;
}

int append(const QString &dir, int count, const QString &tag)
{
    Table table;
    openTable(table, dir, tag);
    std::cout << "ready" << std::endl;
    const QString prefix = QString("peer %1 ").arg(::getpid());
    for (int i = 0; i < count; ++i) {
        appendCoin(table, i, Coin{prefix + QString::number(i), double(i), {}, QString("notes of %1").arg(i)});
        std::cout << "posted " << i << std::endl;
    }
    return 0;
}

int maintain(const QString &dir, const QString &operation, int step)
{
    if (operation != "pack" && operation != "empty")
        return 64;
    Table table;
    openTable(table, dir, {}, true);
    armKill(step);
    if (operation == "pack")
        table.pack(true);
    else
        table.emptyTable();
    std::cout << "done" << std::endl;
    return 0;
}

struct Database {
    Database(const QString &programFolder, const QString &databaseFolder) : manager(prompt, progress)
    {
        manager.programFolder = programFolder;
        manager.location.folder = databaseFolder;
    }
    ScriptedPrompt prompt;
    NoProgress progress;
    database::DatabaseManager manager;
};

int maintainDatabase(const QString &programFolder, const QString &databaseFolder, const QString &operation, int step)
{
    Database database(programFolder, databaseFolder);
    database::DatabaseManager &manager = database.manager;
    const std::map<QString, std::function<database::CopyResult()>> operations = {
        {"repair", [&] { return manager.repair(); }},
        {"restore", [&] { return manager.restore(true); }},
        {"backup", [&] { return manager.backup(); }},
    };
    const auto run = operations.find(operation);
    if (run == operations.end())
        return 64;
    if (!manager.openDatabase()) {
        std::cout << "refused open" << std::endl;
        return 2;
    }
    armKill(step);
    std::cout << (run->second().ok ? "done" : "failed") << std::endl;
    return 0;
}

int number(const QString &programFolder, const QString &databaseFolder, int count)
{
    constexpr int DescrColumn = 2;
    Database database(programFolder, databaseFolder);
    if (!database.manager.openDatabase()) {
        std::cout << "refused open" << std::endl;
        return 2;
    }
    std::cout << "ready" << std::endl;
    std::string line;
    if (!std::getline(std::cin, line) || line != "go")
        return 0;
    Table &table = database.manager.recordTable();
    for (int i = 0; i < count; ++i) {
        table.append();
        const qint64 number = table.integer(0);
        table.setText(DescrColumn, QString("peer %1 %2").arg(::getpid()).arg(i));
        table.post();
        std::cout << "number " << number << std::endl;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == "hold-record")
            return holdRecord(args[2], args[3].toInt());
        if ((args.size() == 3 || args.size() == 4) && args[1] == "hold-exclusive")
            return holdExclusive(args[2], args.value(3, QStringLiteral("coins.dbf")));
        if (args.size() == 4 && args[1] == "hold-open")
            return holdOpen(args[2], args[3]);
        if (args.size() >= 4 && args[1] == "append")
            return append(args[2], args[3].toInt(), args.value(4));
        if (args.size() == 5 && args[1] == "maintain")
            return maintain(args[2], args[3], args[4].toInt());
        if (args.size() == 6 && args[1] == "database")
            return maintainDatabase(args[2], args[3], args[4], args[5].toInt());
        if (args.size() == 5 && args[1] == "number")
            return number(args[2], args[3], args[4].toInt());
    } catch (const DatabaseError &error) {
        std::cout << "refused " << error.what() << std::endl;
        return 2;
    }
    std::cerr << "usage: table_peer hold-record DIR RECNO | hold-exclusive DIR [FILE] | hold-open DIR FILE | append DIR COUNT [TAG]\n"
                 "                | maintain DIR pack|empty STEP | database PROGRAM DATA repair|restore|backup STEP\n"
                 "                | number PROGRAM DATA COUNT\n";
    return 64;
}
