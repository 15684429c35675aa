#include "sound/ReadingsTable.h"

#include <QStringDecoder>

namespace {

bool isKatakana(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x30A1 || c.unicode() > 0x30FE) return false; // ァ ... ヾ, with ー and ・
    return !text.isEmpty();
}

// Why a line cannot be used, or an empty text when it can.
QString fault(const QStringList& columns) {
    if (columns.size() != 2) return QStringLiteral("「表記<TAB>読み」の2列ではありません");
    if (columns[0].isEmpty()) return QStringLiteral("表記がありません");
    if (!isKatakana(columns[1])) return QStringLiteral("読みがカタカナではありません");
    return {};
}

} // namespace

ReadingsTable parseReadings(QByteArrayView utf8, const QString& name) {
    ReadingsTable table;
    int lineNumber = 0;
    for (QByteArrayView rest = utf8; !rest.isEmpty() || lineNumber == 0;) {
        ++lineNumber;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView bytes = rest.first(end < 0 ? rest.size() : end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (bytes.endsWith('\r')) bytes.chop(1);
        // Each line is decoded alone, so that one bad byte costs its line only.
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = decode(bytes);
        if (lineNumber == 1 && line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#')) continue;
        QStringList columns = line.split('\t');
        for (QString& column : columns) column = column.trimmed();
        const QString why = decode.hasError() ? QStringLiteral("UTF-8 ではありません") : fault(columns);
        if (!why.isEmpty())
            table.damaged << QStringLiteral("%1:%2: %3").arg(name).arg(lineNumber).arg(why);
        else
            table.readings.insert(columns[0].normalized(QString::NormalizationForm_KC), columns[1]);
    }
    return table;
}
