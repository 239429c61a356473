// numora-gen: writes a made-up coin collection to look at, test or measure with.
//   numora-gen DIR N [--seed S] [--tag NAME=EXPR[:desc]]...

#include "collection_generator.h"

#include "store/store_error.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <optional>

namespace {

using numora::store::TagDefinition;

struct Options {
    QString folder;
    quint32 count = 0;
    quint64 seed = 1;
    std::vector<TagDefinition> tags;
};

constexpr const char *Usage = "usage: numora-gen DIR N [--seed S] [--tag NAME=EXPR[:desc]]...\n";

int usageError(const char *problem)
{
    std::fprintf(stderr, "numora-gen: %s\n%s", problem, Usage);
    return 2;
}

// NAME=EXPR, optionally followed by ":desc" for a descending tag.
std::optional<TagDefinition> parseTag(const QString &text)
{
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals <= 0 || equals == text.size() - 1)
        return std::nullopt;
    TagDefinition tag{text.left(equals), text.mid(equals + 1)};
    if (tag.expression.endsWith(QLatin1String(":desc"), Qt::CaseInsensitive)) {
        tag.expression.chop(5);
        tag.descending = true;
    }
    return tag;
}

// Returns the options, or an error message for the usage line.
std::variant<Options, const char *> parseArguments(int argc, char **argv)
{
    Options options;
    std::vector<QString> positional;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (argument == QLatin1String("--seed")) {
            bool ok = false;
            options.seed = hasValue ? QString::fromLocal8Bit(argv[++i]).toULongLong(&ok) : 0;
            if (!ok)
                return "--seed needs a whole number";
        } else if (argument == QLatin1String("--tag")) {
            const auto tag = hasValue ? parseTag(QString::fromLocal8Bit(argv[++i])) : std::nullopt;
            if (!tag)
                return "--tag needs NAME=EXPR or NAME=EXPR:desc";
            options.tags.push_back(*tag);
        } else if (argument.startsWith(QLatin1String("--"))) {
            return "unknown option";
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2)
        return "DIR and N are required";
    options.folder = positional[0];
    bool ok = false;
    options.count = positional[1].toUInt(&ok);
    if (!ok)
        return "N must be a whole number";
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    const auto parsed = parseArguments(argc, argv);
    if (const auto *problem = std::get_if<const char *>(&parsed))
        return usageError(*problem);
    const Options &options = std::get<Options>(parsed);
    try {
        numora::tools::CollectionGenerator(options.seed)
            .write(options.folder, options.count, options.tags);
    } catch (const numora::store::DatabaseError &error) {
        std::fprintf(stderr, "numora-gen: %s\n", error.what());
        return 2;
    }
    std::printf(
        "wrote %u records with %zu tags to %s\n", options.count, options.tags.size(),
        qPrintable(
            QDir(options.folder).filePath(numora::tools::CollectionGenerator::dataFileName())));
    return 0;
}
