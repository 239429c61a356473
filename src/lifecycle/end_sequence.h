#pragma once
// What happens when the owner window is destroyed: the main window goes first and saves
// its settings, then the owner window marks the run as ended cleanly and saves the
// template lists. Order of the main window's part: suppress layout work, wnd.dat, the
// sort descriptor, the list header, the filter, the program-wide options, the database
// options, the report list, the form page order, release its lists, close the tables.
// Then the owner window's part: close the tables again, write the clean-end marker, save
// the template lists, release the global lists.
//
// The steps this module can do itself (wnd.dat, both options files, shut.dat) it does from
// the run's settings; the others are callbacks of their owners. A step that fails does not
// stop the later ones (see runEveryStep()).

#include "lifecycle/end_marker.h"
#include "lifecycle/named_steps.h"
#include "lifecycle/window_placement.h"
#include "settings/startup_settings.h"

#include <functional>

namespace numora::lifecycle {

// Supplied by the main window as it is destroyed. A save returns false when its file
// could not be written.
struct MainWindowTeardown {
    std::function<void()> suppressLayout;
    std::function<WindowPlacement()> currentPlacement; // see placementToSave()
    std::function<bool()> saveSortDescriptor;
    std::function<bool()> saveListHeader;
    std::function<bool()> saveFilter;
    std::function<bool()> saveReportList;
    std::function<bool()> savePageOrder;
    std::function<void()> releaseLists;
    std::function<void()> closeTables;
};

// Supplied by the owner window.
struct OwnerWindowTeardown {
    std::function<void()> closeTables; // harmless when they are closed already
    std::function<bool()> saveTemplateLists;
    std::function<void()> releaseGlobalLists;
};

// The steps in their order. `settings` and `marker` (this run's hold on shut.dat) must
// outlive them.
std::vector<NamedStep> endSequence(const settings::RunSettings &settings, RunningMarker &marker,
                                   const MainWindowTeardown &mainWindow,
                                   const OwnerWindowTeardown &ownerWindow);

// Runs the end sequence; returns the names of the steps that failed.
[[nodiscard]] QStringList runEndSequence(const settings::RunSettings &settings,
                                         RunningMarker &marker,
                                         const MainWindowTeardown &mainWindow,
                                         const OwnerWindowTeardown &ownerWindow);

// What the user is told when settings could not be saved at the end of a run.
QString unsavedSettingsMessage(const QStringList &failedSteps);

} // namespace numora::lifecycle
