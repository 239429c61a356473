#pragma once
// The fonts of the database options (name, size in points, style flags) as the widgets
// take them, and back from a font the user chose.

#include "settings/database_options.h"

#include <QFont>

namespace numora::mainwin {

QFont toQFont(const settings::FontSetting &setting);
settings::FontSetting toFontSetting(const QFont &font);

} // namespace numora::mainwin
