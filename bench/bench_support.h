#pragma once
// What every benchmark needs: a prompt for runs with nobody to ask, and a stopwatch.

#include "platform/prompt.h"

#include <chrono>
#include <cstdio>
#include <functional>

namespace numora::bench {

// Every question is answered No and reported on stderr.
class ReportingPrompt : public Prompt {
public:
    Button ask(const QString &text, MessageKind, Buttons, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++messages;
        return Button::No;
    }
    int messages = 0;
};

inline double millisecondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace numora::bench
