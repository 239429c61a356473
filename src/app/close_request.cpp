#include "app/close_request.h"

namespace numora::app {

namespace {

void call(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

} // namespace

MainWindowCloseResult closeMainWindow(const CloseSettings &settings,
                                      const MainWindowCloseHooks &hooks)
{
    if (settings.maintenanceReminders && hooks.reminderCheckChoosesMaintenance
        && hooks.reminderCheckChoosesMaintenance())
        call(hooks.openMaintenance);

    if (hooks.saveCurrentRecord && !hooks.saveCurrentRecord())
        return MainWindowCloseResult::Cancelled;

    call(hooks.hideMainWindow);
    if (settings.trayOption) {
        call(hooks.markHiddenToTray);
        return MainWindowCloseResult::HiddenToTray;
    }
    call(hooks.closeOwnerWindow);
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

} // namespace numora::app
