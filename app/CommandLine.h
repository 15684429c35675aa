#pragma once
// The program's command line, read before any application object exists: either an answer for
// the terminal (help, version, a refused option) or what to start the windows with.
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

struct CommandLine {
    // Set when the program answers on the terminal and ends with this status; the answer goes to
    // stdout for status 0, to stderr otherwise.
    std::optional<int> exitStatus;
    QString answer;

    QString settingsFile;           // --settings; empty: the program's own place
    std::optional<QString> reading; // --reading TEXT
    std::optional<QString> say;     // --say TEXT
    QString readingsFile;           // --readings; empty: the broadcast folder's
    QString rideRoute;              // --ride; empty: no ride
    std::chrono::milliseconds rideInterval{8000};
    QString openDataFeed; // --open-data; empty: the dialog is not opened at start-up
    double rideSpeed = 1; // --speed: timetable seconds a second
    int scale = 0;        // --scale; 0: the scale last chosen from the board's menu
    QString recordFile;   // --record; empty: the windows, not a recording
    std::optional<std::chrono::milliseconds> recordDuration; // --duration; none: --until-end
    int fps = 30;                                            // --fps
    std::optional<int> recordClock; // --clock: seconds after midnight; none: the time the recording starts
};

// `arguments` as main() receives them, the program's path first. The version answer names
// QCoreApplication's application name and version.
CommandLine readCommandLine(const QStringList& arguments);
