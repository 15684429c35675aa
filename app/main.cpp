// Ferio: the fare board and its control panel. The board's start-up opens everything else.
#include "Ferio.h"
#include "Services.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FerioVer4"));
    QApplication::setQuitOnLastWindowClosed(false); // the program ends from the panel's exit only

    SilentSound sound;
    NoBroadcast broadcast;
    QtEventLoop events;
    SystemClock clock;
    Ferio ferio({sound, broadcast, events, clock});
    ferio.start();
    return app.exec();
}
