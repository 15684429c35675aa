// `ferio --reading` as a route author runs it on a terminal: no display, the readings dictionary
// given on the command line or found in the broadcast-data folder that the settings name.
#include "settings/mdlIniIo.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct Answer {
    int code = -1;
    std::string out, err;
};

Answer ferio(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(display));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(FERIO_BIN_DIR "/ferio"), arguments);
    if (!p.waitForFinished(30000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
            p.readAllStandardError().toStdString()};
}

class ReadingCommand : public ::testing::Test {
protected:
    std::string write(const QString& name, const char* text) {
        const std::string path = QDir(dir.path()).filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    QString settingsNaming(const QString& tapeDir) {
        SettingsRecord record;
        record.Options.TapeDataDir = tapeDir.toStdString();
        const QString file = QDir(dir.path()).filePath(QStringLiteral("ferio.in4"));
        EXPECT_FALSE(settings::saveFile(file, record));
        return file;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ReadingCommand, ReadsWithTheGivenDictionaryAndNamesItsDamagedLines) {
    const std::string file = write(QStringLiteral("own.tsv"), "西山台\tニシヤマダイラ\n西山台二\n");
    const Answer r = ferio({QStringLiteral("--reading"), QStringLiteral("次は、西山台一丁目です。"),
                         QStringLiteral("--readings"), QString::fromStdString(file)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "ツギワ、ニシヤマダイライッチョーメデス。\n");
    EXPECT_NE(r.err.find(file + ":2: "), std::string::npos) << r.err;
}

TEST_F(ReadingCommand, ReadsWithTheBroadcastFolderThatTheSettingsName) {
    write(QStringLiteral("readings.tsv"), "新川橋\tシンカワハシ\n");
    const QString settings = settingsNaming(dir.path()); // as the options dialog stores it, without a slash
    Answer r = ferio({QStringLiteral("--settings"), settings, QStringLiteral("--reading"), QStringLiteral("新川橋行き")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "シンカワハシユキ\n");
    EXPECT_EQ(r.err, "");

    settingsNaming(QDir(dir.path()).filePath(QStringLiteral("elsewhere")));
    r = ferio({QStringLiteral("--settings"), settings, QStringLiteral("--reading"), QStringLiteral("新川橋行き")});
    EXPECT_EQ(r.out, "シンカワバシユキ\n") << "a folder without readings.tsv: the built-in readings";
}

TEST_F(ReadingCommand, SaySpeaksAndEnds) {
    const Answer r = ferio({QStringLiteral("--settings"), settingsNaming(dir.path()), QStringLiteral("--say"),
                            QStringLiteral("次は、本町です。")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
}
