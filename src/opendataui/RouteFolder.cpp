#include "opendataui/RouteFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace opendataui {

QString userRouteFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/FerioVer4/routes");
}

QString routeFolder(const QString& fareData) {
    const QFileInfo chosen(fareData);
    return !fareData.isEmpty() && chosen.isDir() && chosen.isWritable() ? chosen.absoluteFilePath() : userRouteFolder();
}

std::set<int> routeNumbers(const QString& folder) {
    static const QRegularExpression name(QStringLiteral("^0*([1-9][0-9]{0,4})\\.hy3$"),
                                         QRegularExpression::CaseInsensitiveOption);
    std::set<int> numbers;
    for (const QString& file : QDir(folder).entryList(QDir::Files))
        if (const auto m = name.match(file); m.hasMatch()) numbers.insert(m.captured(1).toInt());
    return numbers;
}

int proposeNumber(const std::string& shortName, const std::set<int>& used) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    const QString name = QString::fromStdString(shortName);
    if (digits.match(name).hasMatch() && name.toInt() > 0 && !used.contains(name.toInt())) return name.toInt();
    int free = 1;
    while (used.contains(free)) ++free;
    return free;
}

QString makeRouteFolder(const QString& folder, const QStringList& samples) {
    if (!QDir().mkpath(folder))
        return QStringLiteral("フォルダーを作成できません：%1").arg(QDir::toNativeSeparators(folder));
    const QStringList kinds{"*.hy3", "*.csv", "*.tsv", "*.wav", "*.mp3", "*.mid"};
    for (const QString& from : samples)
        for (const QFileInfo& file : QDir(from).entryInfoList(kinds, QDir::Files)) {
            const QString to = QDir(folder).filePath(file.fileName());
            if (!QFile::exists(to) && !QFile::copy(file.absoluteFilePath(), to))
                return QStringLiteral("見本のファイルをコピーできません：%1").arg(QDir::toNativeSeparators(to));
        }
    return {};
}

} // namespace opendataui
