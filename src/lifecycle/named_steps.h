#pragma once
// A fixed order of named steps, kept as data so the order is written down once and can be
// checked. The start and end sequences are built from these.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace numora::lifecycle {

struct NamedStep {
    QString name;
    std::function<bool()> run; // false or a throw: it failed; empty: nothing to do in this run
};

// A step that can fail only by throwing.
std::function<bool()> reportsByThrowing(std::function<void()> step);

QStringList stepNames(const std::vector<NamedStep> &steps);

// Runs a hook the caller may have left empty.
inline void callIfSet(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

// Runs every step in order, also after one has thrown: at the end of a run each setting
// that can still be saved should be, and none of them is worth stopping the others for.
// Returns the names of the steps that failed.
[[nodiscard]] QStringList runEveryStep(const std::vector<NamedStep> &steps);

} // namespace numora::lifecycle
