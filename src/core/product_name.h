#pragma once
// The product's full name: the caption of every message box and of the help window.

#include <QString>

namespace numora {

inline QString productFullName() { return QStringLiteral("Brenlow Numora"); }

} // namespace numora
