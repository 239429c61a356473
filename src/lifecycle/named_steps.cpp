#include "lifecycle/named_steps.h"

#include <exception>

namespace numora::lifecycle {

QStringList stepNames(const std::vector<NamedStep> &steps)
{
    QStringList names;
    for (const NamedStep &step : steps)
        names << step.name;
    return names;
}

QStringList runEveryStep(const std::vector<NamedStep> &steps)
{
    QStringList failed;
    for (const NamedStep &step : steps) {
        if (!step.run)
            continue;
        try {
            step.run();
        } catch (const std::exception &) {
            failed << step.name;
        }
    }
    return failed;
}

} // namespace numora::lifecycle
