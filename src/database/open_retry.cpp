#include "database/open_retry.h"

#include "store/store_error.h"

namespace numora::database {

namespace {
constexpr int SilentRetries = 10;
}

bool openWithRetries(const std::function<void()> &attempt, bool exclusive, const QString &fileName, Prompt &prompt)
{
    for (int failures = 0;; ++failures) {
        try {
            attempt();
            return true;
        } catch (const store::DatabaseError &) {
        }
        if (failures + 1 <= SilentRetries)
            continue;
        if (exclusive)
            return false;
        if (prompt.ask(QStringLiteral("Cannot open the file: ") + fileName + QStringLiteral("\rRetry?"), MessageKind::Warning, Button::Yes | Button::No) != Button::Yes)
            return false;
    }
}

} // namespace numora::database
