#pragma once
// Opening a table by name tolerates a busy network share: ten failed attempts are
// retried at once without a word; after that an exclusive request gives up and a
// shared one asks the user whether to go on trying.

#include "core/prompt.h"

#include <functional>

namespace numora::database {

// `attempt` tries once and throws DatabaseError on failure. Returns whether it
// eventually succeeded.
[[nodiscard]] bool openWithRetries(const std::function<void()> &attempt, bool exclusive, const QString &fileName, Prompt &prompt);

} // namespace numora::database
