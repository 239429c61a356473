#pragma once
// The owner window's rules for the tray: whether the program starts hidden in it, the
// tray menu's captions and the messages of a system shutdown.

#include "settings/database_options.h"

#include <QString>

namespace numora::lifecycle {

// Only with the tray option on; any stored value above 5 means on.
bool startsHidden(bool trayOption, settings::StartHidden stored);

// What "Hide On Startup" stores when chosen while the setting is `on`.
settings::StartHidden toggledStartHidden(bool on);

// The first tray menu item, by whether the current window is visible.
QString trayShowHideCaption(bool currentWindowVisible);
QString trayTerminateCaption();

QString shuttingDownMessage();     // information box
QString couldNotShutDownMessage(); // error box

} // namespace numora::lifecycle
