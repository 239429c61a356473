#include "mainwin/page_order.h"

#include "settings/text_lines.h"

#include <QDir>
#include <QFileInfo>

namespace numora::mainwin {

namespace {

QString pageOrderPath(const QString &settingsFolder, const QString &recordFileName)
{
    return QDir(settingsFolder).filePath(pageOrderFileName(recordFileName));
}

} // namespace

QString pageOrderFileName(const QString &recordFileName)
{
    return QFileInfo(recordFileName).completeBaseName() + QStringLiteral(".tab");
}

QString pageOrderLine(const QStringList &captions)
{
    QString line;
    for (const QString &caption : captions)
        if (!caption.isEmpty())
            line += caption.back();
    return line;
}

QStringList orderedPageCaptions(QStringList captions, const QString &line)
{
    for (qsizetype position = 0; position < line.size() && position < captions.size(); ++position) {
        for (qsizetype page = 0; page < captions.size(); ++page) {
            if (captions[page].endsWith(line[position])) {
                captions.move(page, position);
                break;
            }
        }
    }
    return captions;
}

std::optional<QString> readPageOrder(const QString &settingsFolder, const QString &recordFileName)
{
    const auto lines = settings::readTextLines(pageOrderPath(settingsFolder, recordFileName));
    if (!lines || lines->isEmpty())
        return std::nullopt;
    return lines->front();
}

bool writePageOrder(const QString &settingsFolder, const QString &recordFileName, const QString &line)
{
    return settings::writeTextLines(pageOrderPath(settingsFolder, recordFileName), {line});
}

} // namespace numora::mainwin
