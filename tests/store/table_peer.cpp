// A second process for the multi-process table tests. It opens the coin table the
// tests create and does one thing, reporting on stdout, until its stdin closes:
//   hold-record DIR RECNO   edit record RECNO (entry order) and keep it locked
//   hold-exclusive DIR      keep the table open exclusively
//   hold-open DIR FILE      keep any table of the folder open (shared)
//   append DIR COUNT TAG    append COUNT records ("peer <pid> <i>"), printing "posted <i>"
// It prints "ready" once it holds what it was asked for, "refused" when it could not.

#include "store/store_error.h"
#include "store/table.h"
#include "support/coin_table.h"

#include <QCoreApplication>
#include <QTextStream>

#include <iostream>
#include <string>
#include <unistd.h>

using namespace numora::store;
using namespace numora::test;

namespace {

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

int holdExclusive(const QString &dir)
{
    Table table;
    openTable(table, dir, {}, true);
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == "hold-record")
            return holdRecord(args[2], args[3].toInt());
        if (args.size() == 3 && args[1] == "hold-exclusive")
            return holdExclusive(args[2]);
        if (args.size() == 4 && args[1] == "hold-open")
            return holdOpen(args[2], args[3]);
        if (args.size() >= 4 && args[1] == "append")
            return append(args[2], args[3].toInt(), args.value(4));
    } catch (const DatabaseError &error) {
        std::cout << "refused " << error.what() << std::endl;
        return 2;
    }
    std::cerr << "usage: table_peer hold-record DIR RECNO | hold-exclusive DIR | hold-open DIR FILE | append DIR COUNT [TAG]\n";
    return 64;
}
