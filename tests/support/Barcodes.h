#pragma once
// What zbarimg reads in a picture: one "SYMBOLOGY:content" per barcode, sorted; nullopt when
// zbarimg is not installed (the caller skips).
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

inline std::optional<QStringList> scanBarcodes(const QImage& picture) {
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbarimg.isEmpty()) return std::nullopt;
    const QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("scan.png"));
    if (!picture.save(png)) return QStringList{};
    QProcess zbar;
    zbar.start(zbarimg, {QStringLiteral("--quiet"), png});
    zbar.waitForFinished(20000);
    QStringList found = QString::fromUtf8(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    found.sort();
    return found;
}
