#include "store/store_error.h"

namespace numora::store {

DatabaseError::DatabaseError(const QString &message, DatabaseErrorKind kind)
    : std::runtime_error(message.toStdString()), kind_(kind)
{
}

EngineError::EngineError(const QString &message) : std::runtime_error(message.toStdString()) {}

} // namespace numora::store
