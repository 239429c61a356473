#pragma once
// Opening a table by name tolerates a busy network share: ten failed attempts are
// retried at once without a word; after that an exclusive request gives up and a
// shared one asks the user whether to go on trying. Only what may go away by itself is
// tried again: a refused permission, a full disk, damage or an unusable index is final
// at the first attempt.

#include "core/prompt.h"
#include "store/store_error.h"

#include <QString>

#include <functional>

namespace numora::database {

// Whether a table opened, and if not, the store's last word on why.
class [[nodiscard]] OpenResult {
public:
    OpenResult() = default; // opened
    explicit OpenResult(const store::DatabaseError &failure) : opened_(false), kind_(failure.kind()), reason_(failure.message()) {}

    bool opened() const { return opened_; }
    explicit operator bool() const { return opened_; }
    store::DatabaseErrorKind kind() const { return kind_; }
    // The store's message, for the detail below the program's own text.
    const QString &reason() const { return reason_; }

private:
    bool opened_ = true;
    store::DatabaseErrorKind kind_ = store::DatabaseErrorKind::General;
    QString reason_;
};

// Whether a failure of this kind may succeed when tried again.
bool worthRetrying(store::DatabaseErrorKind kind);

// `attempt` tries once and throws DatabaseError on failure. The question, when asked,
// shows the failure's reason below it.
OpenResult openWithRetries(const std::function<void()> &attempt, bool exclusive, const QString &fileName, Prompt &prompt);

} // namespace numora::database
