#include "core/log_categories.h"

namespace numora {

Q_LOGGING_CATEGORY(lcRecords, "numora.records")
Q_LOGGING_CATEGORY(lcDatabase, "numora.database")
Q_LOGGING_CATEGORY(lcSettings, "numora.settings")

} // namespace numora
