#include "store/store_error.h"

#include <cerrno>

namespace numora::store {

DatabaseError::DatabaseError(const QString &message, DatabaseErrorKind kind)
    : std::runtime_error(message.toStdString()), kind_(kind)
{
}

DatabaseErrorKind kindOfSystemError(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return DatabaseErrorKind::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return DatabaseErrorKind::Permission;
    default:
        return DatabaseErrorKind::General;
    }
}

EngineError::EngineError(const QString &message) : std::runtime_error(message.toStdString()) {}

} // namespace numora::store
