#include "app/SettingsLock.h"

#include "panel/PanelInfo.h"
#include "reslib/ui/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

SettingsLock::SettingsLock(const QString& settingsFile)
    : settingsFile_(settingsFile),
      lock_(settingsFile + QStringLiteral(".lock")) {
    // Only a dead owner makes a lock stale: a program may run for days.
    lock_.setStaleLockTime(0);
}

bool SettingsLock::take() {
    // The user's configuration folder does not exist before the first start.
    QDir().mkpath(QFileInfo(settingsFile_).absolutePath());
    return lock_.tryLock(0) || lock_.error() != QLockFile::LockFailedError;
}

int SettingsLock::refuse() const {
    const QString text =
        QStringLiteral("設定ファイル %1 は別の Ferio が使用中です。").arg(QDir::toNativeSeparators(settingsFile_));
    std::fprintf(stderr, "%s: %s\n", qPrintable(panel::modelName()), qPrintable(text));
    msg::show(nullptr, {msg::AppTitle, text, QMessageBox::Warning});
    return 1;
}
