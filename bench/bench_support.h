#pragma once
// What every benchmark needs: its arguments, a generated collection, a prompt for runs
// with nobody to ask, and a stopwatch.

#include "collection_generator.h"
#include "core/prompt.h"
#include "settings/startup_settings.h"
#include "database/table_templates.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace numora::bench {

// A step the figures depend on failed: measuring on would report nonsense.
inline void require(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed");
}

// Every question is answered No and reported on stderr.
class ReportingPrompt : public Prompt {
public:
    Button ask(const QString &text, MessageKind, Buttons, int, const QString &detail) override
    {
        std::fprintf(stderr, "message: %s %s\n", qPrintable(text), qPrintable(detail));
        ++messages;
        return Button::No;
    }
    int messages = 0;
};

// "--records N" (100,000 unless given) and "--dir D" (a scratch folder unless given).
struct BenchArguments {
    quint32 records = 100000;
    QString dir;
};

inline BenchArguments benchArguments(const QStringList &args)
{
    BenchArguments arguments;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--records")
            arguments.records = args[i + 1].toUInt();
        else if (args[i] == "--dir")
            arguments.dir = args[i + 1];
    }
    return arguments;
}

// Runs `run` with the arguments' record count and folder, a scratch folder when none is
// given.
inline int runBench(const QStringList &args,
                    const std::function<int(quint32 records, const QString &root)> &run)
{
    const BenchArguments arguments = benchArguments(args);
    QTemporaryDir scratch;
    return run(arguments.records, arguments.dir.isEmpty() ? scratch.path() : arguments.dir);
}

// A program folder under `root` with the templates and a DATA folder holding `records`
// generated records; the settings point at both, as the start-up leaves them.
inline settings::RunSettings generatedCollection(const QString &root, quint32 records)
{
    const QString programFolder = QDir(root).filePath("program");
    settings::RunSettings settings;
    settings.folders = settings::Folders::forProgramFolder(programFolder);
    settings.folders.databaseFolder = QDir(programFolder).filePath("DATA");
    settings.folders.settingsFolder = settings.folders.databaseFolder;
    QDir().mkpath(settings.folders.databaseFolder);
    database::ensureTableTemplates(programFolder);
    std::printf("generating %u records...\n", records);
    tools::CollectionGenerator(7).write(settings.folders.databaseFolder, records);
    return settings;
}

inline double millisecondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace numora::bench
