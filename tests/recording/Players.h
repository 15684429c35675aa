#pragma once
// ffmpeg and ffprobe, the readers that tell what a player sees in a video file.
#include <QProcess>
#include <gtest/gtest.h>

// What `program` writes on its standard output; a failure or a hang fails the test.
inline QByteArray output(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    const bool done = p.waitForFinished(60000);
    EXPECT_TRUE(done && p.exitCode() == 0) << program.toStdString() << (done ? " failed: " : " did not finish: ")
                                           << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}
