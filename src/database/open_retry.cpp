#include "database/open_retry.h"

namespace numora::database {

namespace {
constexpr int SilentRetries = 10;
}

bool worthRetrying(store::DatabaseErrorKind kind)
{
    // A general failure may be a share that dropped for a moment; the rest will not
    // change by asking again.
    return kind == store::DatabaseErrorKind::InUse || kind == store::DatabaseErrorKind::General;
}

OpenResult openWithRetries(const std::function<void()> &attempt, bool exclusive, const QString &fileName, Prompt &prompt)
{
    for (int failures = 0;; ++failures) {
        try {
            attempt();
            return {};
        } catch (const store::DatabaseError &error) {
            const OpenResult failed(error);
            if (!worthRetrying(error.kind()))
                return failed;
            if (failures + 1 <= SilentRetries)
                continue;
            if (exclusive)
                return failed;
            if (prompt.ask(QStringLiteral("Cannot open the file: ") + fileName + QStringLiteral("\rRetry?"), MessageKind::Warning, Button::Yes | Button::No, 0,
                           error.message())
                != Button::Yes)
                return failed;
        }
    }
}

} // namespace numora::database
