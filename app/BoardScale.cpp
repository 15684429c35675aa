#include "app/BoardScale.h"

#include "board/Form1.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

QString boardSettingsFile(const QString& settingsFile) {
    const QFileInfo info(settingsFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".board"));
}

int16_t loadBoardScale(const QString& file) {
    const QSettings ini(file, QSettings::IniFormat);
    return static_cast<int16_t>(std::clamp(ini.value(QStringLiteral("scale"), 1).toInt(), 1, int{Form1::MaxScale}));
}

bool saveBoardScale(const QString& file, int16_t scale) {
    QSettings ini(file, QSettings::IniFormat);
    ini.setValue(QStringLiteral("scale"), scale);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
