#include "app/tray_rules.h"

#include "app/product_constants.h"

namespace numora::app {

bool startsHidden(bool trayOption, settings::StartHidden stored)
{
    return trayOption && qint16(stored) > 5;
}

settings::StartHidden toggledStartHidden(bool on)
{
    return on ? settings::StartHidden::Off : settings::StartHidden::On;
}

QString trayShowHideCaption(bool currentWindowVisible)
{
    return (currentWindowVisible ? QStringLiteral("Hide ") : QStringLiteral("Show "))
           + applicationTitle();
}

QString trayTerminateCaption()
{
    return QStringLiteral("Terminate ") + applicationTitle();
}

QString shuttingDownMessage()
{
    return platform::productFullName() + QStringLiteral(" is shutting down.");
}

QString couldNotShutDownMessage()
{
    return platform::productFullName()
           + QStringLiteral(" could not be shut down! Try to close it before shutting down "
                            "Windows.");
}

} // namespace numora::app
