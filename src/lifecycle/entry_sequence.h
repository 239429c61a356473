#pragma once
// The program's start, from the splash window to the end of the message loop:
//   splash window; program-wide options, data folders, login gate, database options with
//   the template lists and the report list, labels.dat, date.dat (settings::StartupSettings);
//   owner window, activity log window, reminder dates, main window (which opens the
//   database); splash window closed; tips when the options ask for them; the message
//   loop, which ends when the owner window is destroyed (and the end sequence has run);
//   reminder dates saved.
// A login that is not accepted shows its message and ends the start before any window
// but the splash window exists and before any database settings file is read.
//
// Widgets and the later subsystems plug in through EntryHooks; an empty hook does nothing.

#include "core/prompt.h"
#include "settings/startup_settings.h"

#include <functional>

namespace numora::lifecycle {

enum class LoginOutcome { Accepted, Rejected, AccountDeactivated };

// The login window is not shown when no password is asked for (none required, or none
// set) on a 1-user system.
bool loginGateSkipped(const settings::ProgramOptions &options);

// The error shown when a login was not accepted.
QString loginFailureMessage(LoginOutcome outcome);

struct EntryHooks {
    std::function<void()> showSplash;
    // Runs the login window; it may fill settings.login and choose another database
    // folder. Not called when loginGateSkipped() or when there was no program-wide
    // options file. Empty: every login is accepted.
    std::function<LoginOutcome(settings::RunSettings &)> loginGate;
    settings::SettingsListHooks lists;
    std::function<void()> createOwnerWindow;
    std::function<void()> createActivityLog;
    std::function<void()> loadReminders;
    std::function<void()> constructMainWindow;
    std::function<void()> closeSplash;
    std::function<void()> showTips;
    // Returns the process's exit code once the owner window has been destroyed.
    std::function<int()> runMessageLoop;
    std::function<void()> saveReminders;
};

// The exit code when a login was not accepted.
inline constexpr int kLoginFailedExitCode = 1;

// Runs the start on `settings` and returns the process's exit code.
int runEntrySequence(settings::RunSettings &settings, Prompt &prompt, const EntryHooks &hooks);

} // namespace numora::lifecycle
