#pragma once
// Layout rules of the stop-name display, without widgets: where the character cells of a name
// go, how a character is placed in its 16 x 16 glyph cell, and which face draws it.
#include <QString>
#include <cstdint>

namespace chimei {

constexpr int kPanelHeight = 192; // the still panel; a character cell is 32 px tall
constexpr int kCellPitch = 32;

struct Layout {
    int first = 0;             // top of the first cell on the dot surface
    int pitch = 0;             // distance between cell tops
    int height = kPanelHeight; // dot surface height
    bool scrolls = false;      // too long to stand still
};

// Layout of a name of `cells` character cells; `mode` 2 sets two names closer together.
Layout layoutFor(int cells, int16_t mode);

struct Placement {
    int ox = 0, oy = 0;     // where the glyph's top-left goes inside the 16 x 16 cell
    bool transpose = false; // mirrored about the diagonal for vertical writing
};

// Placement of the cell text `ch` for vertical writing; rewrites "ー" to the vertical "丨".
Placement placementFor(QString& ch, int16_t fontMode);

// The CP932 code of the first character of `ch` as a signed 16-bit number: lead byte high,
// trail byte low for a double-byte character, 0 … 255 for a single byte, 0 for the empty text.
int16_t cp932Code(const QString& ch);

// Whether the Mincho face (rather than Gothic) draws a character of CP932 code `code`.
bool usesMincho(int16_t fontMode, int16_t code);

} // namespace chimei
