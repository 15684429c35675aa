#include "panel/PanelInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace panel {

QString modelName() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

QString versionText(const QString& model, int currentYear) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("型番：") + model + crlf +
           QStringLiteral("バージョン：%1.%2.%3").arg(FERIO_VERSION_MAJOR).arg(FERIO_VERSION_MINOR).arg(FERIO_VERSION_PATCH) + crlf +
           crlf +
           QStringLiteral("配布：Ferio プロジェクト") + crlf +
           QStringLiteral("開発：Ferio 開発チーム 2026-%1").arg(currentYear) + crlf;
}

} // namespace panel
