// The layers as the include lines show them: which folder may include which, and which files
// are engines that no widget (nor any of Qt's painting) may reach.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The options record and the settings file's record: plain data that the windows read too.
const QStringList Records{"options/model/", "settings/SettingsRecords.h"};

// What each folder may include besides itself; app/ may include anything. The options model is
// a layer of its own inside the dialog's folder: it may include nothing of the dialog.
const std::map<QString, QStringList> MayInclude{
    {"reslib", {}},
    {"timing", {}},
    {"window", {}},
    {"timing", {}},
    {"options/model", {}},
    {"fare", {"options/model/", "reslib/CodedError.h", "reslib/Cp932.h"}},
    {"settings", {"options/model/", "reslib/CodedError.h", "reslib/Cp932.h"}},
    {"controls", {"reslib/", "timing/"}},
    {"options", {"controls/", "reslib/"}},
    {"board", Records + QStringList{"controls/", "fare/", "reslib/", "timing/", "window/"}},
    {"panel", Records + QStringList{"fare/", "reslib/", "window/"}},
    {"sound", {"options/model/", "fare/", "reslib/", "timing/"}},
    {"opendata", {"options/model/", "fare/", "reslib/Cp932.h", "reslib/Csv.h"}},
    // The dialog over the open-data library; the fare-digit warnings are the route tool's.
    {"opendataui", {"options/model/", "fare/", "opendata/", "reslib/"}},
    // The command-line tools read and write users' data through the codecs, never a window.
    {"hy3tool", {"options/model/", "fare/", "opendata/", "reslib/Cp932.h", "reslib/Csv.h", "settings/"}},
    {"demosettings", {"options/model/", "fare/", "reslib/Cp932.h", "settings/"}},
    // The recorder takes the mix and the running time; FFmpeg's headers stay inside it.
    {"recording", {"fare/", "sound/AudioDevice.h", "timing/"}},
};

// The layer a source file belongs to: its folder under src/ or tools/, the options model apart.
QString layerOf(const QStringList& path) {
    if (path.size() > 3 && path[1] == "options" && path[2] == "model") return QStringLiteral("options/model");
    return path[1];
}

// Engines and codecs: plain C++ or Qt Core, never Qt Gui or Widgets.
const QStringList Engines{"src/fare/",
                          "src/settings/SettingsCodec.",
                          "src/settings/SettingsRecords.h",
                          "src/options/model/",
                          "src/reslib/Cp932.",
                          "src/reslib/TextLib.",
                          "src/reslib/CodedError.",
                          "src/reslib/plugin/TicketPlugin.",
                          "src/controls/DegitText.",
                          "src/controls/ChimeiLayout.",
                          "src/controls/ChimeiScroll.",
                          "src/panel/BacklightChoice.",
                          "src/sound/MixerCommands.",
                          "src/sound/JapaneseReading.",
                          "src/opendata/",
                          "src/timing/"};

struct Include {
    QString file; // relative to the source root
    QString header;
    bool project; // "…" rather than <…>
};

std::vector<Include> includes() {
    const QDir root(QStringLiteral(FERIO_SOURCE_DIR));
    static const QRegularExpression line(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"));
    std::vector<Include> found;
    for (const QString top : {"src", "app", "tools"}) {
        QDirIterator it(root.filePath(top), {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
            for (const QString& text : QString::fromUtf8(f.readAll()).split('\n')) {
                if (const auto m = line.match(text); m.hasMatch())
                    found.push_back({root.relativeFilePath(f.fileName()), m.captured(2), m.captured(1) == "\""});
            }
        }
    }
    return found;
}

bool startsWithAny(const QString& s, const QStringList& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(), [&](const QString& p) { return s.startsWith(p); });
}

} // namespace

TEST(Layers, EveryProjectIncludeNamesAFolderTheIncluderMayUse) {
    const auto all = includes();
    ASSERT_GT(all.size(), 100u) << "the source tree was not found";
    for (const Include& i : all) {
        if (!i.project) continue;
        const QStringList path = i.file.split('/');
        if (path[0] == "app") continue;
        const QString folder = layerOf(path);
        ASSERT_TRUE(MayInclude.count(folder)) << "a folder with no layer: " << folder.toStdString();
        EXPECT_TRUE(i.header.startsWith(folder + "/") || startsWithAny(i.header, MayInclude.at(folder)))
            << i.file.toStdString() << " includes " << i.header.toStdString();
    }
}

TEST(Layers, OnlyTheRecorderIncludesFFmpeg) {
    int recorder = 0;
    for (const Include& i : includes()) {
        if (!i.header.startsWith(QStringLiteral("libav")) && !i.header.startsWith(QStringLiteral("libsw"))) continue;
        EXPECT_TRUE(i.file.startsWith(QStringLiteral("src/recording/"))) << i.file.toStdString();
        ++recorder;
    }
    EXPECT_GT(recorder, 0) << "the recorder's includes were not found";
}

TEST(Layers, EnginesIncludeNoPaintingOrWidgetHeader) {
    const QDir qt(QLibraryInfo::path(QLibraryInfo::HeadersPath));
    ASSERT_TRUE(qt.exists(QStringLiteral("QtWidgets/QWidget")));
    int engines = 0;
    for (const Include& i : includes()) {
        if (!startsWithAny(i.file, Engines)) continue;
        ++engines;
        if (i.project) continue; // their project includes are checked by the folder rules
        for (const QString module : {"QtGui", "QtWidgets"})
            EXPECT_FALSE(qt.exists(module + "/" + i.header))
                << i.file.toStdString() << " includes " << i.header.toStdString();
    }
    EXPECT_GT(engines, 20);
}
