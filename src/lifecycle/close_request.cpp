#include "lifecycle/close_request.h"

#include "lifecycle/named_steps.h"
#include "lifecycle/tray_rules.h"

namespace numora::lifecycle {

MainWindowCloseResult closeMainWindow(const CloseSettings &settings,
                                      const MainWindowCloseHooks &hooks)
{
    const bool programEnds = settings.cause == CloseCause::ProgramEnd;
    if (settings.maintenanceReminders && !programEnds && hooks.reminderCheckChoosesMaintenance
        && hooks.reminderCheckChoosesMaintenance())
        callIfSet(hooks.openMaintenance);

    const bool saved = !hooks.saveCurrentRecord || hooks.saveCurrentRecord();
    if (!saved && !programEnds)
        return MainWindowCloseResult::Cancelled;

    callIfSet(hooks.hideMainWindow);
    if (settings.trayOption && !programEnds) {
        callIfSet(hooks.markHiddenToTray);
        return MainWindowCloseResult::HiddenToTray;
    }
    callIfSet(hooks.closeOwnerWindow);
    return MainWindowCloseResult::OwnerClosed;
}

bool endForSessionEnd(Prompt &prompt, const SessionEndHooks &hooks)
{
    if (hooks.saveCurrentRecord && !hooks.saveCurrentRecord()) {
        prompt.inform(couldNotShutDownMessage(), MessageKind::Error);
        callIfSet(hooks.cancelSessionEnd);
        return false;
    }
    prompt.inform(shuttingDownMessage(), MessageKind::Information);
    callIfSet(hooks.endProgram);
    return true;
}

bool OwnerWindowClose::request(const std::function<bool()> &closeMainWindow)
{
    if (closing_)
        return false;
    closing_ = true;
    const bool mainWindowClosed = closeMainWindow();
    if (!mainWindowClosed)
        closing_ = false;
    return mainWindowClosed;
}

} // namespace numora::lifecycle
