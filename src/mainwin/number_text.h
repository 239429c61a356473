#pragma once
// How the record form stores a number field whose control shows plain text: whatever was
// typed is reduced to the digits and the rightmost decimal separator, so "1,234.50 $"
// stores 1234.5; what is left that is no number stores 0.

#include <QChar>
#include <QString>

namespace numora::mainwin {

double numberFromText(const QString &text, QChar decimalSeparator);

} // namespace numora::mainwin
