#include "PanelServices.h"

#include <QCoreApplication>
#include <QDateTime>

void PanelServices::playSound(const std::string&, const std::string&, bool) {}

void PanelServices::tapeLoad(const std::string&, const std::string&) {}

void PanelServices::processEvents() { QCoreApplication::processEvents(); }

fare::LocalTime PanelServices::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(),
            t.time().hour(), t.time().minute(), t.time().second()};
}
