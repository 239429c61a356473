#pragma once
// The two failures the table store reports. Callers catch DatabaseError around each
// table operation (retry, rescue or message); EngineError marks a damaged memo or
// binary value, which the database layer counts as a damaged record.

#include <QString>
#include <stdexcept>

namespace numora::store {

class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace numora::store
