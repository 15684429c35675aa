#pragma once
// Colours travel as 32-bit 0x00BBGGRR values (red in the low byte), as in the options record.
#include <QColor>
#include <cstdint>

inline QColor fromBgr(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

inline int32_t toBgr(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }
