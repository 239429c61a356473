#include "platform/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace numora::platform {

BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

} // namespace numora::platform
