// One program per settings file, as users start it on a real X server: a second start on a file
// in use says so and ends with status 1, another file starts, and a killed program's lock is
// taken over.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

#include "XDesktop.h"

namespace {

struct Program {
    QProcess process;
    Program(const Desktop& desk, const QString& settingsFile) {
        QProcessEnvironment env = desk.environment();
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(FERIO_BIN_DIR "/ferio"), {QStringLiteral("--settings"), settingsFile});
        process.waitForStarted(5000);
    }
    ~Program() {
        process.kill();
        process.waitForFinished();
    }
    // The id of this program's visible window whose title matches, once there is one; empty when
    // none came or the program ended first.
    QString window(const Desktop& desk, const QString& title) {
        QString ids;
        Desktop::waitUntil([&] {
            ids = desk.run(QStringLiteral("xdotool"),
                           {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                            QString::number(process.processId()), QStringLiteral("--name"), title});
            return !ids.isEmpty() || process.state() != QProcess::Running;
        });
        return ids.section(u'\n', 0, 0);
    }
    std::string stderrText() { return process.readAllStandardError().toStdString(); }
};

const QString Panel = QStringLiteral("集中操作盤");

} // namespace

TEST(E2E, OneProgramPerSettingsFile) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    Desktop desk;
    ASSERT_TRUE(desk.start());
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ferio.in4"));

    auto first = std::make_unique<Program>(desk, file);
    ASSERT_FALSE(first->window(desk, Panel).isEmpty()) << "the first program's panel: " << first->stderrText();

    Program second(desk, file);
    const QString box = second.window(desk, QStringLiteral("^FerioVer4$"));
    ASSERT_FALSE(box.isEmpty()) << "the second program's warning box: " << second.stderrText();
    desk.run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), box});
    desk.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    ASSERT_TRUE(second.process.waitForFinished(5000)) << "the second program ends once its box is answered";
    EXPECT_EQ(second.process.exitCode(), 1);
    const std::string said = second.stderrText();
    EXPECT_NE(said.find("ferio: 設定ファイル " + file.toStdString() + " は別の Ferio が使用中です。\n"),
              std::string::npos)
        << said;

    Program other(desk, dir.filePath(QStringLiteral("other.in4")));
    EXPECT_FALSE(other.window(desk, Panel).isEmpty()) << "another settings file starts: " << other.stderrText();

    first.reset(); // killed: its lock stays behind
    ASSERT_TRUE(QFile::exists(file + QStringLiteral(".lock")));
    Program next(desk, file);
    EXPECT_FALSE(next.window(desk, Panel).isEmpty())
        << "the killed program's lock is taken over: " << next.stderrText();
}
