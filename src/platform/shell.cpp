#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace numora::platform {

bool openInBrowser(const QString &address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

bool openWithShell(const QString &path)
{
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool openMailTo(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + address));
}

} // namespace numora::platform
