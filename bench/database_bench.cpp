// Measures the database manager on a generated collection, the operations a collector
// waits for: opening the database with its first page, sorting by a new column (a tag
// build) and by one that already has a tag, counting the letter tabs, backup and
// restore. Prints one figure a line with its target.
//
// Usage: database_bench [--records N] [--dir D]

#include "bench_support.h"
#include "collection_generator.h"
#include "core/progress.h"
#include "core/prompt.h"
#include "database/database_manager.h"
#include "store/store_error.h"
#include "database/table_templates.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using namespace numora;
using bench::millisecondsOf;
using bench::ReportingPrompt;
using namespace numora::store;
using namespace numora::database;
using bench::require;

namespace {

constexpr int Descr = 2;
constexpr int Country = 3;
constexpr int Cost = 9;
constexpr int PageRows = 20;

void printFigure(const char *what, double ms, const char *target)
{
    std::printf("%-34s %9.1f ms   (target %s)\n", what, ms, target);
}

void readPage(Table &table)
{
    table.first();
    for (int row = 0; row < PageRows && !table.eof(); ++row, table.next())
        for (int column = 0; column < int(table.fields().size()); ++column)
            (void)table.text(column);
}

int run(quint32 records, const QString &root)
{
    const QString programFolder = QDir(root).filePath("program");
    const QString databaseFolder = QDir(programFolder).filePath("DATA");
    QDir().mkpath(databaseFolder);
    ensureTableTemplates(programFolder);
    std::printf("generating %u records...\n", records);
    tools::CollectionGenerator(7).write(databaseFolder, records);

    ReportingPrompt prompt;
    NoProgress progress;
    DatabaseManager manager(prompt, progress);
    manager.programFolder = programFolder;
    manager.location.folder = databaseFolder;
    require(manager.openDatabase(), "first open"); // makes master, copy buffer and the entry-order tag
    manager.closeAll();

    const double open = millisecondsOf([&] {
        require(manager.openDatabase(), "open database");
        readPage(manager.recordTable());
    });
    printFigure("open database + first page", open, "< 100 ms");

    // The same kind of tag build straight on the table, for the ratio.
    manager.closeAll();
    const double rawTagBuild = millisecondsOf([&] {
        Table table;
        table.open({.folder = databaseFolder, .fileName = "data.dbf", .exclusive = true});
        table.addTag(TagDefinition{"RAWCOUNTRY", "UPPER(COUNTRY)"});
    });
    printFigure("store tag build (UPPER(COUNTRY))", rawTagBuild, "reference");

    require(manager.openDatabase(), "reopen");
    const double newSort = millisecondsOf([&] { require(manager.changeSort(SortDescriptor{Descr, false, Cost, true}), "new sort"); });
    printFigure("new sort (tag build)", newSort, "<= 2x store tag build");
    std::printf("%-34s %9.2f      (target <= 2.00)\n", "new sort / store tag build", newSort / rawTagBuild);

    const double reusedSort = millisecondsOf([&] { require(manager.changeSort(SortDescriptor{0, false, 0, false}), "reused sort"); });
    printFigure("sort reusing a tag", reusedSort, "< 50 ms");

    require(manager.changeSort(SortDescriptor{Country, false, 0, false}), "country sort");
    const double letters = millisecondsOf([&] { manager.countLetters(); });
    printFigure("count letters", letters, "< 100 ms");

    const double backup = millisecondsOf([&] { require(manager.backup().ok, "backup"); });
    printFigure("backup", backup, "none");
    const double restore = millisecondsOf([&] { require(manager.restore(true).ok, "restore"); });
    printFigure("restore", restore, "none");
    require(manager.recordCount() == records, "restored record count");
    manager.closeAll();
    return prompt.messages == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bench::BenchArguments arguments = bench::benchArguments(QCoreApplication::arguments());
    QTemporaryDir scratch;
    try {
        return run(arguments.records, arguments.dir.isEmpty() ? scratch.path() : arguments.dir);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "database_bench: %s\n", error.what());
        return 1;
    }
}
