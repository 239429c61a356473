#pragma once
// File look-ups inside a program or database folder ignore letter case, so catalogues
// copied from Windows (DATA.DBF, DATA.MDX) open on a case-sensitive file system.

#include <QString>

namespace numora::store {

// The path of the entry of `folder` whose name equals `name` ignoring case (an exact
// match wins); when there is none, folder + "/" + name as given.
QString resolveInFolder(const QString &folder, const QString &name);

// Whether such an entry exists.
bool existsInFolder(const QString &folder, const QString &name);

} // namespace numora::store
