#pragma once
#include <QPixmap>

namespace board {

// The built-in face of the fare board (643 x 240): body, the windows of the fare and ticket
// displays, the clock and the stop-name display, and the headings. Drawn by code, so the same
// picture comes out on every machine.
QPixmap makePanelPicture();

} // namespace board
