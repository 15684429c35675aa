#include "controls/DegitText.h"

#include <QLocale>
#include <algorithm>
#include <optional>

namespace {

bool equals(const DegitValue& v, qint64 n) {
    if (const auto* i = std::get_if<qint64>(&v)) return *i == n;
    if (const auto* d = std::get_if<double>(&v)) return *d == static_cast<double>(n);
    return false; // text never equals a number here: hosts pass text only for labels
}

bool isEmptyText(const DegitValue& v) {
    const auto* s = std::get_if<QString>(&v);
    return s && s->isEmpty();
}

DegitValue applyZeroMode(const DegitValue& v, int16_t zeroMode) {
    const bool zero = equals(v, 0), minusOne = equals(v, -1), empty = isEmptyText(v);
    switch (zeroMode) {
    case 0: return (zero || empty) ? DegitValue(QString()) : v;
    case 1: return (zero || empty) ? DegitValue(qint64(0)) : v;
    case 2: return minusOne ? DegitValue(qint64(0)) : zero ? DegitValue(QString()) : v;
    case 3: return (minusOne || zero || empty) ? DegitValue(qint64(0)) : v;
    default: return v;
    }
}

// A number in `v`, also when it is text that reads as one.
std::optional<DegitValue> numeric(const DegitValue& v) {
    const auto* s = std::get_if<QString>(&v);
    if (!s) return v;
    bool ok = false;
    const QString t = s->trimmed();
    if (const qint64 i = t.toLongLong(&ok); ok) return DegitValue(i);
    if (const double d = t.toDouble(&ok); ok) return DegitValue(d);
    return std::nullopt;
}

// Leading zeros up to `digits` in front of the integer part; the sign stays in front.
QString zeroFilled(const DegitValue& number, int digits) {
    QString text = degitValueText(number);
    const bool negative = text.startsWith(u'-');
    if (negative) text.remove(0, 1);
    const qsizetype point = text.indexOf(u'.');
    const qsizetype intDigits = point < 0 ? text.size() : point;
    if (intDigits < digits) text.prepend(QString(digits - intDigits, u'0'));
    return negative ? u'-' + text : text;
}

} // namespace

QString degitValueText(const DegitValue& value) {
    if (const auto* i = std::get_if<qint64>(&value)) return QString::number(*i);
    if (const auto* d = std::get_if<double>(&value)) return QString::number(*d, 'f', QLocale::FloatingPointShortest);
    return std::get<QString>(value);
}

QString degitText(const DegitValue& value, int16_t zeroMode, int16_t fillZero, int16_t shift, int16_t keta) {
    if (keta <= 0) return {};
    const DegitValue v = applyZeroMode(value, zeroMode);
    QString text = degitValueText(v);
    if (fillZero > 0)
        if (const auto number = numeric(v)) text = zeroFilled(*number, fillZero);
    // More blanks than cells would only be cut off again.
    if (shift >= 1) text += QString(std::min(shift, keta), u' ');
    return text.right(keta);
}
