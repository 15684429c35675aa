#pragma once
// What a digit display shows for a value: the zero rules, zero fill, shift and the cut to the
// display's cells. Plain text work, no widgets.
#include <QString>
#include <cstdint>
#include <variant>

using DegitValue = std::variant<qint64, double, QString>; // default: qint64 0; empty text = QString()

// The value as text: integers in decimal, doubles in their shortest exact decimal form.
QString degitValueText(const DegitValue& value);

// The text drawn right-aligned over the unlit cells (at most `keta` characters).
//   zeroMode 0: 0 and the empty text blank; 1: both show 0; 2: -1 shows 0 and 0 blank;
//   3: -1, 0 and the empty text show 0; other values leave the value alone.
// fillZero pads numbers to that many digits; shift appends that many blank cells.
QString degitText(const DegitValue& value, int16_t zeroMode, int16_t fillZero, int16_t shift, int16_t keta);
