#include "app/DesktopDevices.h"

#include <QCoreApplication>
#include <QDateTime>

void QtEventLoop::processEvents() { QCoreApplication::processEvents(); }

fare::LocalTime SystemClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}
