// Measures editing in the real main window, offscreen, on a generated collection sorted
// by description (one tag in force): leaving a record (the save check writes its 26
// fields, stores and flushes it) and Next (the save check, then the next record loaded
// into the form with its lock). Prints the median and the slowest of each.
//
// Usage: editing_bench [--records N] [--dir D]

#include "bench_support.h"
#include "mainwin/widgets/main_window.h"
#include "mainwin/widgets/record_list_pane.h"
#include "core/progress.h"
#include "database/database_manager.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace numora;
using bench::millisecondsOf;
using bench::require;
using bench::ReportingPrompt;

namespace {

constexpr int kDescr = 2;
constexpr int kRounds = 200;

void printFigures(const char *what, std::vector<double> times, const char *target)
{
    std::sort(times.begin(), times.end());
    std::printf("%-34s median %7.2f ms, slowest %7.2f ms   (target: median %s)\n", what,
                times[times.size() / 2], times.back(), target);
}

int run(quint32 records, const QString &root)
{
    settings::RunSettings settings = bench::generatedCollection(root, records);

    ReportingPrompt prompt;
    NoProgress progress;
    mainwin::TForm3 window(settings, prompt, progress);
    window.start();
    emit window.recordList()->sortRequested(database::SortDescriptor{kDescr, false, 0, false});
    mainwin::RecordSession &session = window.session();

    std::vector<double> saves;
    std::vector<double> nexts;
    for (int i = 0; i < kRounds; ++i) {
        saves.push_back(millisecondsOf([&] { require(session.saveCheck(), "the record was stored"); }));
        session.showRecord(session.position() - 1); // back in edit state, lock held
        nexts.push_back(millisecondsOf([&] { session.next(); }));
    }
    printFigures("save check (26 fields, 1 tag)", saves, "< 5 ms");
    printFigures("Next", nexts, "< 10 ms");
    std::printf("ended at position %d; %d message(s)\n", session.position(), prompt.messages);
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
