#pragma once
// Closing the main window and the owner window, as decisions apart from the widgets.
//
// Every close request of the main window (its close box, a posted close, the owner window
// closing it) runs closeMainWindow(). The owner window's close runs through
// OwnerWindowClose, which closes the main window first and ignores a second request made
// while the first is under way: with the tray option off, the main window's close closes
// the owner window, which in turn asks the main window to close.

#include "core/prompt.h"

#include <functional>

namespace numora::lifecycle {

struct MainWindowCloseHooks {
    // The maintenance reminder check; true when the user chose "GoTo Maintenance".
    std::function<bool()> reminderCheckChoosesMaintenance;
    std::function<void()> openMaintenance;
    // The save check of the shown record; false when saving failed and the user declined
    // to discard the changes.
    std::function<bool()> saveCurrentRecord;
    std::function<void()> hideMainWindow;
    std::function<void()> markHiddenToTray;
    std::function<void()> closeOwnerWindow;
};

enum class CloseCause {
    User,       // the close box, Exit, the tray menu: the tray option may keep the program
    ProgramEnd, // a termination signal or the session's end: the program ends whatever the
                // tray option and the save check say, since staying would only end in a kill
};

struct CloseSettings {
    bool maintenanceReminders = false;
    bool trayOption = false;
    CloseCause cause = CloseCause::User;
};

enum class MainWindowCloseResult {
    Cancelled,    // the record could not be saved: the window stays open
    HiddenToTray, // the program keeps running in the tray
    OwnerClosed,  // the owner window was asked to close, which ends the program
};

// With CloseCause::ProgramEnd the reminder question is not asked, a refused save does not
// stop the close and the tray option does not keep the program: the owner window is
// always closed, which runs the end sequence.
MainWindowCloseResult closeMainWindow(const CloseSettings &settings,
                                      const MainWindowCloseHooks &hooks);

// The desktop session is ending (logout, shutdown) and lets the program ask the user.
struct SessionEndHooks {
    // The save check of the shown record; false when the user kept it unsaved.
    std::function<bool()> saveCurrentRecord;
    std::function<void()> cancelSessionEnd;
    // Closes the program with CloseCause::ProgramEnd.
    std::function<void()> endProgram;
};

// The shown record is saved first. When the user keeps it unsaved, the program cannot
// end: the user is told so (error) and the session's end is cancelled. Otherwise the
// user is told that the program is shutting down (information) and it ends. Returns
// whether it ends.
bool endForSessionEnd(Prompt &prompt, const SessionEndHooks &hooks);

class OwnerWindowClose {
public:
    // Closes the main window through `closeMainWindow` (true when it closed). Returns true
    // when the owner window may now be destroyed, which ends the message loop; false when
    // the main window refused, or when a close is already under way.
    bool request(const std::function<bool()> &closeMainWindow);

private:
    bool closing_ = false;
};

} // namespace numora::lifecycle
