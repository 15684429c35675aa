#pragma once
// A readings dictionary: UTF-8 lines "surface<TAB>reading", the reading in katakana; a line that
// starts with # is a comment, blank lines are skipped. The built-in table and the readings.tsv
// of a broadcast-data folder (a route author's own stop names) are both of this form.
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

// A folder's own stop names, or a whole feed's, come to a few hundred kilobytes; a larger file is
// not read at all, so that it never takes the memory it asks (the built-in readings stay).
inline constexpr qint64 LargestReadingsBytes = qint64(16) << 20;

struct ReadingsTable {
    QHash<QString, QString> readings; // surface (NFKC, as the voice's texts are) to katakana
    QStringList damaged;              // "<name>:<line>: <why>" for each line that was skipped
};

ReadingsTable parseReadings(QByteArrayView utf8, const QString& name);
