#pragma once
// The order of the record form's pages as the user left it by dragging their tabs. The
// page order file lives in the settings folder, named after the record table ("data.dbf"
// keeps "data.tab"): one line holding the last character of each page caption, in
// page order ("2134" shows "Part 2" first). A missing or unreadable file keeps the
// layout's order.

#include <QString>
#include <QStringList>

#include <optional>

namespace numora::mainwin {

QString pageOrderFileName(const QString &recordFileName);

QString pageOrderLine(const QStringList &captions);
// The captions rearranged by the line: each character in turn moves the page whose
// caption ends with it to the character's position. Characters that name no page, or
// stand past the last page, move nothing.
QStringList orderedPageCaptions(QStringList captions, const QString &line);

std::optional<QString> readPageOrder(const QString &settingsFolder, const QString &recordFileName);
[[nodiscard]] bool writePageOrder(const QString &settingsFolder, const QString &recordFileName, const QString &line);

} // namespace numora::mainwin
