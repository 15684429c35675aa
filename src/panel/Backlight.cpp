#include "Backlight.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace backlight {

int loadPicture(const QString& path, QPixmap& picture) {
    if (QFileInfo(path).isDir()) return 75;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QFileInfo::exists(path) ? 75 : 53;
    QImageReader reader(&file);
    const QImage image = reader.read();
    if (image.isNull()) return reader.error() == QImageReader::DeviceError ? 57 : 481;
    picture = QPixmap::fromImage(image);
    return 0;
}

QString errorText(int code) {
    QString description;
    switch (code) {
    case 7:
    case 28:
    case 51:
        description = QStringLiteral("　内部的なエラーです。Orvaneへ報告してください。エラー場所：frmCtl.Option4_Click()");
        break;
    case 53:
    case 75:
    case 76:
        description = QStringLiteral("　画像ファイルが見つからないか、指定している場所が不正です。");
        break;
    case 57:
    case 68:
        description = QStringLiteral("　デバイスエラーもしくは準備が出来ていません。");
        break;
    case 481:
        description = QStringLiteral("　指定した画像の内容が不正です。この部分では扱えません。");
        break;
    default:
        break;
    }
    return QStringLiteral("エラーです。\r\n\r\nエラーコード：%1%2").arg(code).arg(description);
}

} // namespace backlight
