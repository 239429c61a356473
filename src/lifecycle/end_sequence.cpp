#include "lifecycle/end_sequence.h"

#include "lifecycle/end_marker.h"

namespace numora::lifecycle {

std::vector<NamedStep> endSequence(const settings::RunSettings &settings,
                                   const MainWindowTeardown &mainWindow,
                                   const OwnerWindowTeardown &ownerWindow)
{
    const settings::RunSettings *run = &settings;
    auto writePlacement = [run, current = mainWindow.currentPlacement] {
        if (current)
            writeWindowPlacement(run->folders.settingsFolder, current());
    };
    return {
        {"suppress layout", mainWindow.suppressLayout},
        {"window placement", writePlacement},
        {"sort descriptor", mainWindow.saveSortDescriptor},
        {"list header", mainWindow.saveListHeader},
        {"filter", mainWindow.saveFilter},
        {"program-wide options",
         [run] { settings::saveProgramOptions(run->programOptions, run->folders); }},
        {"database options",
         [run] {
             settings::saveDatabaseOptions(run->databaseOptions, run->folders,
                                           run->recordTableFileName);
         }},
        {"report list", mainWindow.saveReportList},
        {"page order", mainWindow.savePageOrder},
        {"release window lists", mainWindow.releaseLists},
        {"close tables", mainWindow.closeTables},
        {"close tables again", ownerWindow.closeTables},
        {"clean-end marker",
         [run] {
             writeEndMarker(run->folders.settingsFolder, QString::fromLatin1(kCleanEndMarker));
         }},
        {"template lists", ownerWindow.saveTemplateLists},
        {"release global lists", ownerWindow.releaseGlobalLists},
    };
}

QStringList runEndSequence(const settings::RunSettings &settings,
                           const MainWindowTeardown &mainWindow,
                           const OwnerWindowTeardown &ownerWindow)
{
    return runEveryStep(endSequence(settings, mainWindow, ownerWindow));
}

} // namespace numora::lifecycle
