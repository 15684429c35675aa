// `ferio --reading` as a route author runs it on a terminal: no display, the readings dictionary
// given on the command line or found in the broadcast-data folder that the settings name.
#include "app/VoiceCommands.h"
#include "settings/mdlIniIo.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/resource.h>

namespace {

struct Answer {
    int code = -1;
    std::string out, err;
};

// fileSizeLimit: the child's `ulimit -f` in bytes, 0 for none.
Answer ferio(const QStringList& arguments, rlim_t fileSizeLimit = 0) {
    QProcess p;
    if (fileSizeLimit)
        p.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(display));
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
    Answer r =
        ferio({QStringLiteral("--settings"), settings, QStringLiteral("--reading"), QStringLiteral("新川橋行き")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "シンカワハシユキ\n");
    EXPECT_EQ(r.err, "");

    settingsNaming(QDir(dir.path()).filePath(QStringLiteral("elsewhere")));
    r = ferio({QStringLiteral("--settings"), settings, QStringLiteral("--reading"), QStringLiteral("新川橋行き")});
    EXPECT_EQ(r.out, "シンカワバシユキ\n") << "a folder without readings.tsv: the built-in readings";
}

// Only SDL opens a sound device: an output of espeak-ng's own would map a 64 MiB PulseAudio pool,
// which a small `ulimit -f` turns into SIGXFSZ.
TEST_F(ReadingCommand, SaySpeaksAndEndsUnderASmallFileSizeLimit) {
    const Answer r = ferio({QStringLiteral("--settings"), settingsNaming(dir.path()), QStringLiteral("--say"),
                            QStringLiteral("次は、本町です。")},
                           1 << 20);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(ReadingCommand, EndsWithStatusOneWhenMeCabCannotStart) {
    const SpeechPaths missing{.espeakData = {},
                              .mecabDictionary = dir.filePath(QStringLiteral("no-dictionary")).toStdString()};
    for (const bool say : {false, true}) {
        testing::internal::CaptureStderr();
        const int code =
            say ? sayAloud(QStringLiteral("本町"), {}, dir.filePath(QStringLiteral("ferio.voice")), missing)
                : printReading(QStringLiteral("本町"), {}, missing);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, 1) << (say ? "--say" : "--reading");
        EXPECT_NE(err.find(missing.mecabDictionary), std::string::npos) << err;
    }
}
