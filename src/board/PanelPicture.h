#pragma once
#include <QPixmap>

namespace board {

// The built-in face of the fare board (643 x 240): body, the windows of the fare and ticket
// displays, the clock and the stop-name display, and the headings. Drawn by code, so the same
// picture comes out on every machine; `zoom` device pixels to a pixel draw it at a screen's
// resolution (edges, windows and headings at that resolution, not magnified).
QPixmap makePanelPicture(qreal zoom = 1);

} // namespace board
