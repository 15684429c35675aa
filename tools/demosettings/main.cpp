// ferio-demo-settings: writes the settings of the demonstration — the sample routes, broadcast
// tables, chimes and a ticket plugin configured — unless a settings file is there already.
#include "settings/DemoSettings.h"
#include "settings/mdlIniIo.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ferio-demo-settings SETTINGS.in4 SAMPLES_FOLDER\n");
        return 2;
    }
    if (const auto error =
            settings::writeDemoSettings(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "%s\n", qPrintable(settings::errorMessage(*error)));
        return 1;
    }
    return 0;
}
