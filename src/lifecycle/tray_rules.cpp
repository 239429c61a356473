#include "lifecycle/tray_rules.h"

#include "core/product_constants.h"

namespace numora::lifecycle {

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
    return productFullName() + QStringLiteral(" is shutting down.");
}

QString couldNotShutDownMessage()
{
    return productFullName()
           + QStringLiteral(" could not be shut down! Try to close it before shutting down "
                            "Windows.");
}

} // namespace numora::lifecycle
