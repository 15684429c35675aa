#pragma once
// Loading a user's panel picture, and the error texts shown when it cannot be used.
#include "reslib/CodedError.h"

#include <QPixmap>
#include <QString>
#include <optional>

namespace backlight {

// A board face is a few hundred kilobytes (a few megabytes at four times the size); a larger file
// is refused as no usable picture before it is read, so that it never takes the memory it asks.
inline constexpr qint64 LargestPictureBytes = qint64(16) << 20;

// Loads a BMP, GIF or JPEG file; on failure, why: FileNotFound the file has gone, FileAccess
// it cannot be opened (a folder, no permission), DeviceIo the device failed while reading,
// BadPicture its content is no picture or it is larger than LargestPictureBytes.
std::optional<ErrorCode> loadPicture(const QString& path, QPixmap& picture);

// "エラーです。" with the code and, for the known codes, what went wrong.
QString errorText(int code);

} // namespace backlight
