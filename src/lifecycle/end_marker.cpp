#include "lifecycle/end_marker.h"

#include "core/log_categories.h"

#include "core/help_topics.h"
#include "core/product_name.h"
#include "core/value_stream.h"

#include <QDir>

namespace numora::lifecycle {

namespace {

QString markerPath(const QString &settingsFolder)
{
    return QDir(settingsFolder).filePath(QString::fromLatin1(kEndMarkerFile));
}

// The marker is the text before the first line end, whichever convention wrote it.
QByteArray firstLine(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\n');
    QByteArray line = end < 0 ? bytes : bytes.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

bool previousRunEndedCleanly(const QString &settingsFolder)
{
    const std::optional<QByteArray> bytes = readSettingsFile(markerPath(settingsFolder));
    return !bytes || firstLine(*bytes) == kCleanEndMarker;
}

bool writeEndMarker(const QString &settingsFolder, const QString &marker)
{
    return writeSettingsFile(markerPath(settingsFolder), marker.toLatin1());
}

QString uncleanEndWarning()
{
    return productFullName()
           + QStringLiteral(" was not Closed normally!\rIt is STRONGLY recommended that you "
                            "Restore the last used database from your backup. For more "
                            "information click on Help.");
}

void checkPreviousEnd(const QString &settingsFolder, Prompt &prompt,
                      const std::function<void()> &beep)
{
    if (!previousRunEndedCleanly(settingsFolder)) {
        if (beep)
            beep();
        prompt.ask(uncleanEndWarning(), MessageKind::Warning, Button::Ok | Button::Help,
                   help::UncleanEnd);
    }
    if (!writeEndMarker(settingsFolder, QString::fromLatin1(kRunningMarker)))
        qCWarning(lcSettings) << "shut.dat could not be marked as running in" << settingsFolder;
}

} // namespace numora::lifecycle
