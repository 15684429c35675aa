#pragma once
#include <QRect>
#include <QRegion>

namespace window {

// A rectangle whose corners are rounded by an ellipse of 2 x 2 pixels: with so small an ellipse
// only the corner pixel itself falls outside. Used to shape the board and the keypad keys.
inline QRegion roundRectRegion(const QRect& r) {
    QRegion region(r);
    for (QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        region -= QRegion(corner.x(), corner.y(), 1, 1);
    return region;
}

} // namespace window
