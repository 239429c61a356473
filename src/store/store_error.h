#pragma once
// The two failures the table store reports. Callers catch DatabaseError around each
// table operation (retry, rescue or message); EngineError marks a damaged memo or
// binary value, which the database layer counts as a damaged record.

#include <QString>
#include <stdexcept>

namespace numora::store {

// Why a table operation failed, where a caller must tell the cases apart: an index
// can be rebuilt, a table another user holds must be left alone (and may be tried again
// in a moment), a full disk or a refused permission will not go away by retrying, and
// only a damaged data or memo file may be set aside for a new one.
enum class DatabaseErrorKind { General, InUse, Index, DiskFull, Permission, Damaged };

// The kind a failed system call with `error` (an errno value) stands for.
DatabaseErrorKind kindOfSystemError(int error);

class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString &message, DatabaseErrorKind kind = DatabaseErrorKind::General);
    QString message() const { return QString::fromUtf8(what()); }
    DatabaseErrorKind kind() const { return kind_; }

private:
    DatabaseErrorKind kind_;
};

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace numora::store
