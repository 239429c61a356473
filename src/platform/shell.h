#pragma once
// Hand-offs to the desktop: the default web browser, the shell's open action for a file
// and the mail program. Each returns whether the desktop took the request.

#include <QString>

namespace numora::platform {

[[nodiscard]] bool openInBrowser(const QString &address);
[[nodiscard]] bool openWithShell(const QString &path);
[[nodiscard]] bool openMailTo(const QString &address);

} // namespace numora::platform
