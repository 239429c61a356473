#pragma once
// Plain-text settings files that hold one item per line (labels.dat, date.dat, the
// field-name templates). We write UTF-8 with "\n"; we read UTF-8 and, for a file copied
// from a Windows installation, Windows-1252, and accept "\r\n" line ends.

#include <QString>
#include <QStringList>
#include <optional>

namespace numora::settings {

// The lines of the file (a final line end adds no empty line), or nothing when the file
// cannot be read.
std::optional<QStringList> readTextLines(const QString &path);
[[nodiscard]] bool writeTextLines(const QString &path, const QStringList &lines);

} // namespace numora::settings
