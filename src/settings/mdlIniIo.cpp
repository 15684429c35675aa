#include "settings/mdlIniIo.h"

#include "settings/SettingsCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace settings {
namespace {

// A file the codec refuses carries the codec's own description under the access-error number.
CodedError codecError(std::string description) {
    return {static_cast<int>(ErrorCode::FileAccess), std::move(description)};
}

} // namespace

Loaded loadFile(const QString& path) {
    if (!QFileInfo::exists(path)) return Missing{};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return codedError(ErrorCode::FileAccess);
    // Bytes past the largest file the codec can use are never read, whatever the file's size.
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), static_cast<qint64>(maxFileBytes())));
    if (file.error() != QFileDevice::NoError) return codedError(ErrorCode::DeviceIo);
    std::string error;
    auto record = decode(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), &error);
    if (!record) return codecError(std::move(error));
    return std::move(*record);
}

std::optional<CodedError> saveFile(const QString& path, const SettingsRecord& record) {
    std::string error;
    const auto bytes = encode(record, &error);
    if (!bytes) return codecError(std::move(error));
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return codedError(ErrorCode::PathNotFound);
    // QSaveFile syncs its temporary file before the rename, and removes it when not committed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return codedError(ErrorCode::FileAccess);
    const auto size = static_cast<qint64>(bytes->size());
    // commit() renames even when its own final flush failed (disk full), so flush and check first.
    if (file.write(bytes->data(), size) != size || !file.flush() || !file.commit())
        return codedError(ErrorCode::DeviceIo);
    return std::nullopt;
}

QString keepDamaged(const QString& path) {
    QFile in(path);
    const QString kept = path + QStringLiteral(".damaged");
    QSaveFile out(kept);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return {};
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty())
        if (out.write(chunk) != chunk.size()) return {};
    if (in.error() != QFileDevice::NoError || !out.flush() || !out.commit()) return {};
    return kept;
}

QString errorMessage(const CodedError& error) {
    return QStringLiteral("エラー Code:") + QString::number(error.code) + QStringLiteral("\r\n内容:") +
           QString::fromStdString(error.text);
}

bool installed(const QString& executablePath, const QStringList& systemFolders) {
    const QString folder = QFileInfo(executablePath).absolutePath();
    for (const QString& system : systemFolders) {
        const QString root = QDir::cleanPath(system);
        if (folder == root || folder.startsWith(root + u'/')) return true;
    }
    const QFileInfo info(folder);
    return !info.isDir() || !info.isWritable();
}

QString filePath(const QString& explicitPath, const QString& executablePath, bool installedProgram) {
    if (!explicitPath.isEmpty()) return explicitPath;
    const QFileInfo exe(executablePath);
    const QString name = exe.completeBaseName() + QStringLiteral(".in4");
    if (installedProgram)
        return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
    return QDir(exe.absolutePath()).filePath(name);
}

} // namespace settings
