#pragma once
// CP932 bytes, as the resource library's calls take and give them, to and from Qt's strings.
#include "reslib/Cp932.h"

#include <QByteArray>
#include <QString>

// '?' for a character CP932 cannot hold, as a Windows ANSI call would receive it.
inline QByteArray toCp932(const QString& text) {
    return QByteArray::fromStdString(cp932::fromUtf8Lossy(text.toStdString()));
}

inline QString fromCp932(const QByteArray& bytes) { return QString::fromStdString(cp932::toUtf8(bytes.toStdString())); }
