#include "panel/Backlight.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace backlight {

std::optional<ErrorCode> loadPicture(const QString& path, QPixmap& picture) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QFileInfo::exists(path) ? ErrorCode::FileAccess : ErrorCode::FileNotFound;
    QImageReader reader(&file);
    const QImage image = reader.read();
    if (image.isNull())
        return reader.error() == QImageReader::DeviceError ? ErrorCode::DeviceIo : ErrorCode::BadPicture;
    picture = QPixmap::fromImage(image);
    return std::nullopt;
}

QString errorText(int code) {
    QString description;
    switch (static_cast<ErrorCode>(code)) {
    case ErrorCode::OutOfMemory:
    case ErrorCode::OutOfStack:
    case ErrorCode::Internal:
        description = QStringLiteral("　内部的なエラーです。Orvaneへ報告してください。エラー場所：frmCtl.Option4_Click()");
        break;
    case ErrorCode::FileNotFound:
    case ErrorCode::FileAccess:
    case ErrorCode::PathNotFound:
        description = QStringLiteral("　画像ファイルが見つからないか、指定している場所が不正です。");
        break;
    case ErrorCode::DeviceIo:
    case ErrorCode::DeviceUnavailable:
        description = QStringLiteral("　デバイスエラーもしくは準備が出来ていません。");
        break;
    case ErrorCode::BadPicture:
        description = QStringLiteral("　指定した画像の内容が不正です。この部分では扱えません。");
        break;
    case ErrorCode::Subscript:
    case ErrorCode::InvalidValue:
        break;
    }
    return QStringLiteral("エラーです。\r\n\r\nエラーコード：%1%2").arg(code).arg(description);
}

} // namespace backlight
