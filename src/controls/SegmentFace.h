#pragma once
// The three segment digit faces of the digit display. Every character has one advance width,
// the cell width of the size class, so a row of unlit 8s and a right-aligned value share cells.
#include <QChar>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <cstdint>

namespace segface {

// Cell size in pixels of a size class (0 … 3; anything else is class 0).
QSize cellSize(int16_t degitSize);

// The glyph of `ch` in `color` on a transparent cell of cellSize(degitSize) magnified `zoom`
// times (rounded up to whole pixels), drawn with its top at the cell's top. The segments are
// drawn at that resolution from the same geometry, so a zoomed glyph has the shape of the
// plain one with edges as sharp. style 1 = face B (slanted), 2 = face C (square blocks), anything else face A
// (pointed segments).
// Digits, '-', '.', a few letters and the blank are known; other characters are blank.
// A lit glyph covers only segments of the glyph '8' (the point '.' aside).
// topMargin (0 … 255): designed rows left clear above the digit, which is that much shorter.
QImage glyph(int16_t style, int16_t degitSize, QChar ch, QRgb color, qreal zoom = 1, int topMargin = 0);

} // namespace segface
