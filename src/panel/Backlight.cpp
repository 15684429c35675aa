#include "panel/Backlight.h"

#include "panel/WholePicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace backlight {

std::optional<ErrorCode> loadPicture(const QString& path, QPixmap& picture) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QFileInfo::exists(path) ? ErrorCode::FileAccess : ErrorCode::FileNotFound;
    // Read by its bound, not by the size it claims: a device or a growing file claims none.
    QByteArray bytes = file.read(LargestPictureBytes + 1);
    if (file.error() != QFileDevice::NoError) return ErrorCode::DeviceIo;
    if (bytes.size() > LargestPictureBytes) return ErrorCode::BadPicture;
    if (!picture::endsWhole(std::string_view(bytes.constData(), size_t(bytes.size())))) return ErrorCode::BadPicture;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    if (image.isNull()) return ErrorCode::BadPicture;
    picture = QPixmap::fromImage(image);
    return std::nullopt;
}

QString errorText(int code) {
    QString description;
    switch (static_cast<ErrorCode>(code)) {
    case ErrorCode::OutOfMemory:
    case ErrorCode::OutOfStack:
    case ErrorCode::Internal:
        description =
            QStringLiteral("　内部的なエラーです。Orvaneへ報告してください。エラー場所：frmCtl.Option4_Click()");
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
    case ErrorCode::InvalidValue: break;
    }
    return QStringLiteral("エラーです。\r\n\r\nエラーコード：%1%2").arg(code).arg(description);
}

} // namespace backlight
