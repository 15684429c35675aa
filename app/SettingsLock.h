#pragma once
// One program per settings file: a second program on the same file would read settings that the
// first one overwrites at its exit, and the last to end would win.
#include <QLockFile>
#include <QString>

// "<settingsFile>.lock", held from the start to the exit of the program that takes it.
class SettingsLock {
public:
    explicit SettingsLock(const QString& settingsFile);
    // False when another running program holds the file. A lock left by a program that no longer
    // runs is taken over; one that cannot be written (a read-only folder) holds nobody back.
    bool take();
    // The refusal: one line on stderr and a warning box; the program's exit status.
    int refuse() const;

private:
    QString settingsFile_;
    QLockFile lock_;
};
