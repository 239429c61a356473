#include "mainwin/menus_and_speed_bars.h"

namespace numora::mainwin {

using settings::MenusAndSpeedBars;

bool showsMenuBar(MenusAndSpeedBars mode)
{
    return mode != MenusAndSpeedBars::OnlySpeedBars;
}

bool showsSpeedBar(MenusAndSpeedBars mode)
{
    return mode != MenusAndSpeedBars::OnlyMenus;
}

int windowHeightChange(const BarsChange &change)
{
    const int speedBarShift = int(showsSpeedBar(change.to)) - int(showsSpeedBar(change.from));
    const int menuBarShift = int(showsMenuBar(change.to)) - int(showsMenuBar(change.from));
    return speedBarShift * change.speedBarHeight + menuBarShift * change.menuBarHeight;
}

} // namespace numora::mainwin
