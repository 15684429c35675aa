#include "app/DesktopDevices.h"

#include <QCoreApplication>

void QtEventLoop::processEvents() { QCoreApplication::processEvents(); }
