#pragma once
// The record list's quick view of one record (and later the copy buffer's view): one
// short line per field, so a record can be recognised from a menu without opening it.

#include <QDate>
#include <QStringList>

#include <functional>

namespace numora {
class Prompt;
}
namespace numora::store {
class Table;
}

namespace numora::mainwin {

// A date column's text in its field's own format; empty: "MM/dd/yyyy".
using DateText = std::function<QString(int column, QDate date)>;

// One line per column from the first field on, for the table's current record: a memo's
// first line, a date in its field's format, "<PICTURE> - Empty" or " - Not Empty" for a
// picture, other columns as text; each cut to 50 characters. A damaged memo is reported
// through `prompt` and gives an empty line.
QStringList recordSummaryLines(const store::Table &table, Prompt &prompt, const DateText &dateText);

} // namespace numora::mainwin
