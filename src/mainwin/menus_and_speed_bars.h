#pragma once
// What the menus-and-speed-bars display option shows, and how the window's height follows
// a change of it: the window gains or loses the speed bar's height with the speed bar, so
// the panes keep their height, and the menu bar's height with the menu bar, so the client
// area below the menu bar keeps its height.

#include "settings/database_options.h"

namespace numora::mainwin {

bool showsMenuBar(settings::MenusAndSpeedBars mode);
bool showsSpeedBar(settings::MenusAndSpeedBars mode);

struct BarsChange {
    settings::MenusAndSpeedBars from = settings::MenusAndSpeedBars::Both;
    settings::MenusAndSpeedBars to = settings::MenusAndSpeedBars::Both;
    int speedBarHeight = 0;
    // How far the client area's top moves when the menu bar comes or goes.
    int menuBarHeight = 0;
};

// Pixels to add to the window's height (negative: to take off).
int windowHeightChange(const BarsChange &change);

} // namespace numora::mainwin
