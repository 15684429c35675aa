#pragma once
// Loading a user's panel picture, and the error codes and texts shown when it cannot be used.
#include <QPixmap>
#include <QString>

namespace backlight {

// Loads a BMP, GIF or JPEG file. Returns 0, or the error code: 53 the file has gone,
// 75 it cannot be opened (a folder, no permission), 57 the device failed while reading,
// 481 its content is no picture.
int loadPicture(const QString& path, QPixmap& picture);

// "エラーです。" with the code and, for the known codes, what went wrong.
QString errorText(int code);

} // namespace backlight
