#include "lifecycle/close_request.h"

#include "lifecycle/named_steps.h"

namespace numora::lifecycle {

MainWindowCloseResult closeMainWindow(const CloseSettings &settings,
                                      const MainWindowCloseHooks &hooks)
{
    if (settings.maintenanceReminders && hooks.reminderCheckChoosesMaintenance
        && hooks.reminderCheckChoosesMaintenance())
        callIfSet(hooks.openMaintenance);

    if (hooks.saveCurrentRecord && !hooks.saveCurrentRecord())
        return MainWindowCloseResult::Cancelled;

    callIfSet(hooks.hideMainWindow);
    if (settings.trayOption) {
        callIfSet(hooks.markHiddenToTray);
        return MainWindowCloseResult::HiddenToTray;
    }
    callIfSet(hooks.closeOwnerWindow);
    return MainWindowCloseResult::OwnerClosed;
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
