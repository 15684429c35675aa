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

const QStringList OptionsModel{"options/OptionInfo.h", "options/OptionTable.h", "options/SettingsRecords.h"};

// What each folder may include besides itself; app/ may include anything.
const std::map<QString, QStringList> MayInclude{
    {"reslib", {}},
    {"window", {}},
    {"fare", OptionsModel + QStringList{"reslib/CodedError.h", "reslib/Cp932.h"}},
    {"settings", OptionsModel + QStringList{"reslib/CodedError.h", "reslib/Cp932.h"}},
    {"controls", {"reslib/"}},
    {"options", {"controls/", "reslib/"}},
    {"board", OptionsModel + QStringList{"controls/", "fare/", "reslib/", "window/"}},
    {"panel", OptionsModel + QStringList{"fare/", "reslib/", "window/"}},
    {"sound", OptionsModel + QStringList{"fare/", "reslib/"}},
};

// Engines and codecs: plain C++ or Qt Core, never Qt Gui or Widgets.
const QStringList Engines{
    "src/fare/", "src/settings/SettingsCodec.", "src/options/OptionInfo.", "src/options/OptionTable.h",
    "src/options/SettingsRecords.h", "src/reslib/Cp932.", "src/reslib/TextLib.", "src/reslib/CodedError.",
    "src/reslib/plugin/TicketPlugin.", "src/controls/DegitText.", "src/controls/ChimeiLayout.",
    "src/controls/ChimeiScroll.", "src/panel/BacklightChoice.", "src/sound/MixerCommands.",
    "src/sound/JapaneseReading."};

struct Include {
    QString file; // relative to the source root
    QString header;
    bool project; // "…" rather than <…>
};

std::vector<Include> includes() {
    const QDir root(QStringLiteral(FERIO_SOURCE_DIR));
    static const QRegularExpression line(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"));
    std::vector<Include> found;
    for (const QString top : {"src", "app"}) {
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
        const QString folder = path[1];
        ASSERT_TRUE(MayInclude.count(folder)) << "a folder with no layer: " << folder.toStdString();
        EXPECT_TRUE(i.header.startsWith(folder + "/") || startsWithAny(i.header, MayInclude.at(folder)))
            << i.file.toStdString() << " includes " << i.header.toStdString();
    }
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
            EXPECT_FALSE(qt.exists(module + "/" + i.header)) << i.file.toStdString() << " includes " << i.header.toStdString();
    }
    EXPECT_GT(engines, 20);
}
