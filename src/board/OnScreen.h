#pragma once
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace board {

// Moves a window, frame and all, onto the screen it mostly stands on (or the nearest one) when
// part of it lies outside: a saved position from a larger or a departed screen must not leave
// a window out of reach, least of all the frameless board, which has no title bar to catch.
inline void keepOnScreen(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window.screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const int dx = std::max(area.left() - frame.left(), std::min(0, area.right() - frame.right()));
    const int dy = std::max(area.top() - frame.top(), std::min(0, area.bottom() - frame.bottom()));
    if (dx != 0 || dy != 0) window.move(window.pos() + QPoint(dx, dy));
}

} // namespace board
