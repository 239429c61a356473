#pragma once
// Where what the program swallows on purpose is written down. A failure the user need
// not act on (a counter that could not advance for an empty record, a cache that will
// be rebuilt) is not shown, but it is never dropped: it goes to one of these categories,
// which QT_LOGGING_RULES can turn up or down ("numora.*.debug=true").

#include <QLoggingCategory>

namespace numora {

Q_DECLARE_LOGGING_CATEGORY(lcRecords)   // changes to records
Q_DECLARE_LOGGING_CATEGORY(lcDatabase)  // opening, sorting and maintenance of tables
Q_DECLARE_LOGGING_CATEGORY(lcSettings)  // settings files read and written

} // namespace numora
