#include "SettingsTestData.h"
#include "settings/DemoSettings.h"
#include "settings/SettingsCodec.h"
#include "settings/mdlIniIo.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace settings;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("ferio-settings-" + std::to_string(getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    QString q(const fs::path& sub) const { return QString::fromStdString((path / sub).string()); }
};

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

} // namespace

TEST(SettingsFile, SavedFileLoadsBackAndTheLargestFileIsRead) {
    TempDir t;
    SettingsRecord r = distinctRecord();
    ASSERT_FALSE(saveFile(t.q("new/folder/ferio.in4"), r)) << "folders are created";
    EXPECT_EQ(contents(t.path / "new/folder/ferio.in4"), *encode(r, nullptr));

    forEachOption(r.Options, [](const OptionField&, auto& v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) v = std::string(0xFFFF, 'L');
    });
    const std::string largest = *encode(r, nullptr);
    ASSERT_EQ(largest.size(), maxFileBytes());
    put(t.path / "large.in4", largest + std::string(5000, '\0'));
    const auto result = loadFile(t.q("large.in4"));
    const auto* loaded = std::get_if<SettingsRecord>(&result);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*encode(*loaded, nullptr), largest);
}

TEST(SettingsFile, MissingIsSilentAnythingElseIsAnError) {
    TempDir t;
    EXPECT_TRUE(std::holds_alternative<Missing>(loadFile(t.q("none.in4"))));
    EXPECT_TRUE(std::holds_alternative<Missing>(loadFile(t.q("no/such/folder.in4"))));
    EXPECT_TRUE(std::holds_alternative<CodedError>(loadFile(t.q(".")))) << "a folder is no file";

    put(t.path / "short.in4", std::string(300, '\0'));
    auto loaded = loadFile(t.q("short.in4"));
    ASSERT_TRUE(std::holds_alternative<CodedError>(loaded));
    const QString text = errorMessage(std::get<CodedError>(loaded));
    EXPECT_TRUE(text.startsWith(QStringLiteral("エラー Code:75\r\n内容:設定ファイルが壊れています（ブロック 11")))
        << text.toStdString();
    EXPECT_EQ(errorMessage(codedError(ErrorCode::FileNotFound)),
              QStringLiteral("エラー Code:53\r\n内容:ファイルが見つかりません。"));
}

// The file system refusing part-way (here a file-size limit, which holds even for root) must
// leave the previous file as it was and no temporary file beside it.
TEST(SettingsFile, AFailedSaveKeepsThePreviousFile) {
    TempDir t;
    const std::string previous = *encode(distinctRecord(), nullptr);
    put(t.path / "ferio.in4", previous);
    SettingsRecord bigger;
    bigger.Options.FareDataDir = std::string(5000, 'd');

    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 1000;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    auto failed = saveFile(t.q("ferio.in4"), bigger);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->code, 57);

    bigger.Options.FareDataDir = "\xF0\x9F\x9A\x8C"; // refused before the file is touched
    EXPECT_EQ(saveFile(t.q("ferio.in4"), bigger).value_or(CodedError{}).code, 75);
    EXPECT_EQ(saveFile(t.q("ferio.in4/x.in4"), SettingsRecord{}).value_or(CodedError{}).code, 76) << "folder is a file";
    EXPECT_EQ(contents(t.path / "ferio.in4"), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path), {}), 1);
}

// Beside the program only where it is not installed: a system folder or a folder that cannot
// be written sends the settings to the user's configuration folder.
TEST(SettingsFile, PathFollowsTheProgramUnlessItIsInstalledOrAPathIsGiven) {
    TempDir t;
    QCoreApplication::setApplicationName(QStringLiteral("FerioVer4"));
    qputenv("XDG_CONFIG_HOME", (t.path / "config").c_str());
    const QString config = t.q("config/FerioVer4/board.in4");
    for (const char* folder : {"build/bin", "sys/bin", "sys", "system/bin", "installed"})
        fs::create_directories(t.path / folder);
    put(t.path / "plain", "");
    const bool root = geteuid() == 0; // root writes through permission bits
    if (!root) fs::permissions(t.path / "installed", fs::perms::owner_read | fs::perms::owner_exec);

    const struct {
        QString explicitPath, executable;
        QStringList systemFolders;
        QString want;
    } rows[] = {
        {{}, t.q("build/bin/board.exe"), SystemFolders, t.q("build/bin/board.in4")},
        {QStringLiteral("/elsewhere/my.in4"), t.q("board"), SystemFolders, QStringLiteral("/elsewhere/my.in4")},
        {QStringLiteral("/elsewhere/my.in4"), QStringLiteral("/usr/bin/board"), SystemFolders,
         QStringLiteral("/elsewhere/my.in4")},
        {{}, t.q("plain/board"), SystemFolders, config}, // the program's folder is no folder
        {{}, t.q("installed/board"), SystemFolders, root ? t.q("installed/board.in4") : config},
        {{}, QStringLiteral("/usr/bin/board"), SystemFolders, config},
        {{}, QStringLiteral("/usr/local/bin/board"), SystemFolders, config},
        {{}, QStringLiteral("/opt/ferio/bin/board"), SystemFolders, config},
        // A writable folder under a system folder, as root has it.
        {{}, t.q("sys/bin/board"), {t.q("sys/")}, config},
        {{}, t.q("sys/board"), {t.q("sys")}, config},
        {{}, t.q("system/bin/board"), {t.q("sys")}, t.q("system/bin/board.in4")}, // a name that only begins alike
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.executable.toStdString());
        EXPECT_EQ(filePath(r.explicitPath, r.executable, installed(r.executable, r.systemFolders)), r.want);
    }
}

// The demonstration's settings name the samples folder given, and a file already there is kept.
TEST(SettingsFile, DemonstrationSettingsNameTheSamplesAndNeverReplaceAFile) {
    TempDir t;
    ASSERT_FALSE(writeDemoSettings(t.q("config/ferio.in4"), t.q("samples")));
    const Loaded loaded = loadFile(t.q("config/ferio.in4"));
    ASSERT_TRUE(std::holds_alternative<SettingsRecord>(loaded));
    const OptionInfo& o = std::get<SettingsRecord>(loaded).Options;
    EXPECT_EQ(std::tuple(o.FareDataDir, o.TapeDataDir, o.SeiriPlgPath),
              std::tuple((t.path / "samples").string(), (t.path / "samples").string(),
                         (t.path / "samples/barcode.4SP").string()));

    put(t.path / "mine.in4", "mine");
    EXPECT_FALSE(writeDemoSettings(t.q("mine.in4"), t.q("samples")));
    EXPECT_EQ(contents(t.path / "mine.in4"), "mine");
}
