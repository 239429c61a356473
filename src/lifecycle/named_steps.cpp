#include "lifecycle/named_steps.h"

#include "core/log_categories.h"

#include <exception>

namespace numora::lifecycle {

QStringList stepNames(const std::vector<NamedStep> &steps)
{
    QStringList names;
    for (const NamedStep &step : steps)
        names << step.name;
    return names;
}

std::function<bool()> reportsByThrowing(std::function<void()> step)
{
    if (!step)
        return {};
    return [step = std::move(step)] {
        step();
        return true;
    };
}

QStringList runEveryStep(const std::vector<NamedStep> &steps)
{
    QStringList failed;
    for (const NamedStep &step : steps) {
        if (!step.run)
            continue;
        bool done = false;
        try {
            done = step.run();
        } catch (const std::exception &error) {
            qCWarning(lcSettings) << step.name << "failed:" << error.what();
        }
        if (!done)
            failed << step.name;
    }
    return failed;
}

} // namespace numora::lifecycle
