#include "lifecycle/end_sequence.h"

#include "lifecycle/end_marker.h"

namespace numora::lifecycle {

std::vector<NamedStep> endSequence(const settings::RunSettings &settings, RunningMarker &marker,
                                   const MainWindowTeardown &mainWindow,
                                   const OwnerWindowTeardown &ownerWindow)
{
    const settings::RunSettings *run = &settings;
    std::function<bool()> writePlacement;
    if (mainWindow.currentPlacement)
        writePlacement = [run, current = mainWindow.currentPlacement] {
            return writeWindowPlacement(run->folders.settingsFolder, current());
        };
    return {
        {"suppress layout", reportsByThrowing(mainWindow.suppressLayout)},
        {"window placement", writePlacement},
        {"sort descriptor", mainWindow.saveSortDescriptor},
        {"list header", mainWindow.saveListHeader},
        {"filter", mainWindow.saveFilter},
        {"program-wide options",
         [run] { return settings::saveProgramOptions(run->programOptions, run->folders); }},
        {"database options",
         [run] {
             return settings::saveDatabaseOptions(run->databaseOptions, run->folders,
                                                  run->recordTableFileName);
         }},
        {"report list", mainWindow.saveReportList},
        {"page order", mainWindow.savePageOrder},
        {"release window lists", reportsByThrowing(mainWindow.releaseLists)},
        {"close tables", reportsByThrowing(mainWindow.closeTables)},
        {"close tables again", reportsByThrowing(ownerWindow.closeTables)},
        {"clean-end marker",
         [run, held = &marker] { return held->markEndedCleanly(run->folders.settingsFolder); }},
        {"template lists", ownerWindow.saveTemplateLists},
        {"release global lists", reportsByThrowing(ownerWindow.releaseGlobalLists)},
    };
}

QString unsavedSettingsMessage(const QStringList &failedSteps)
{
    return QStringLiteral("These settings could not be saved and will be as before at the next start:\r")
           + failedSteps.join(QStringLiteral("\r"));
}

QStringList runEndSequence(const settings::RunSettings &settings, RunningMarker &marker,
                           const MainWindowTeardown &mainWindow,
                           const OwnerWindowTeardown &ownerWindow)
{
    return runEveryStep(endSequence(settings, marker, mainWindow, ownerWindow));
}

} // namespace numora::lifecycle
