// Measures the main window as a collector meets it, offscreen: opening the window on a
// generated collection sorted by description until its first page is painted, and
// turning pages with Ctrl+PgDn, each page painted before the next key (the window is
// rendered whole, which costs more than the screen's partial repaints). Prints one
// figure a line with its target.
//
// Usage: mainwin_bench [--records N] [--dir D]

#include "bench_support.h"
#include "mainwin/widgets/main_window.h"
#include "mainwin/widgets/record_list_pane.h"
#include "core/progress.h"
#include "core/prompt.h"
#include "database/database_manager.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace numora;
using bench::millisecondsOf;
using bench::require;
using bench::ReportingPrompt;

namespace {

constexpr int kDescr = 2;
constexpr int kPageTurns = 200;

void printFigure(const char *what, double ms, const char *target)
{
    std::printf("%-40s %9.2f ms   (target %s)\n", what, ms, target);
}

// Sorts the collection by description once and keeps that sort, as a collector's
// database would be on its next start.
void prepareSort(settings::RunSettings &settings, Prompt &prompt, Progress &progress)
{
    mainwin::TForm3 window(settings, prompt, progress);
    window.start();
    emit window.recordList()->sortRequested(database::SortDescriptor{kDescr, false, 0, false});
    require(window.database().saveSort(), "the sort was saved");
    window.database().closeAll();
}

void turnPage(QWidget &window)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
    QApplication::sendEvent(&window, &press);
    (void)window.grab(); // paints every area, as the screen would
}

int run(quint32 records, const QString &root)
{
    settings::RunSettings settings = bench::generatedCollection(root, records);

    ReportingPrompt prompt;
    NoProgress progress;
    prepareSort(settings, prompt, progress);

    std::unique_ptr<mainwin::TForm3> window;
    const double open = millisecondsOf([&] {
        window = std::make_unique<mainwin::TForm3>(settings, prompt, progress);
        window->start();
        (void)window->grab();
    });
    printFigure("open window + first page painted", open, "< 300 ms");
    std::printf("rows per page: %d, letter A holds %u records\n",
                window->recordList()->rowsPerPage(), window->database().letterCount('A'));

    std::vector<double> turns;
    for (int i = 0; i < kPageTurns; ++i)
        turns.push_back(millisecondsOf([&] { turnPage(*window); }));
    std::sort(turns.begin(), turns.end());
    printFigure("Ctrl+PgDn, median", turns[turns.size() / 2], "< 30 ms");
    printFigure("Ctrl+PgDn, slowest", turns.back(), "< 30 ms");
    std::printf("ended on letter %c, page offset %d\n",
                window->recordList()->currentLetter().toLatin1(),
                window->recordList()->pageOffset());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runBench(QCoreApplication::arguments(), run);
}
