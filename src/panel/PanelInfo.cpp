#include "panel/PanelInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace panel {

QString modelNameOf(const QString& programPath) {
    QString name = QFileInfo(programPath).fileName();
    if (name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) name.chop(4);
    return name;
}

QString modelName() { return modelNameOf(QCoreApplication::applicationFilePath()); }

QString versionText(const QString& model, int currentYear) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("型番：") + model + crlf +
           QStringLiteral("バージョン：%1.%2.%3")
               .arg(FERIO_VERSION_MAJOR)
               .arg(FERIO_VERSION_MINOR)
               .arg(FERIO_VERSION_PATCH) +
           crlf + crlf + QStringLiteral("配布：Ferio プロジェクト") + crlf +
           QStringLiteral("開発：Ferio 開発チーム 2026-%1").arg(currentYear) + crlf;
}

} // namespace panel
