#pragma once
#include "window/Placement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace window {

// The window's frame on the screen; for a window kept off the screen so far, where its frame
// will be once showOnScreen puts it there.
inline QRect frameOf(QWidget& window) {
    if (!window.testAttribute(Qt::WA_DontShowOnScreen)) return window.frameGeometry();
    return {window.pos(), window.size().grownBy(frameAhead(window))};
}

// Moves a window, frame and all, onto the screen it mostly stands on (or the nearest one) when
// part of it lies outside: a saved position from a larger or a departed screen must not leave
// a window out of reach, least of all the frameless board, which has no title bar to catch.
inline void keepOnScreen(QWidget& window) {
    const QRect frame = frameOf(window);
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window.screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const int dx = std::max(area.left() - frame.left(), std::min(0, area.right() - frame.right()));
    const int dy = std::max(area.top() - frame.top(), std::min(0, area.bottom() - frame.bottom()));
    if (dx != 0 || dy != 0) window.move(window.pos() + QPoint(dx, dy));
}

// A window manager frames a new window only once it is mapped; until then Qt takes the frame
// to be the client area, so a window would be placed (and later saved) off by its title bar
// and borders. Wait, briefly, for the mapped window.
inline void waitForFrame(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    while (window.windowHandle() && waited.elapsed() < 1000) {
        QCoreApplication::processEvents();
        if (window.windowHandle()->isExposed()) break;
        QThread::msleep(2);
    }
}

// Puts a shown window, frame and all, into the bottom-right corner of its screen; a window kept
// off the screen so far goes there once it is put on it (showOnScreen).
inline void moveToBottomRight(QWidget& window) {
    if (!window.testAttribute(Qt::WA_DontShowOnScreen)) waitForFrame(window);
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = frameOf(window).size();
    window.move(area.right() + 1 - size.width(), area.bottom() + 1 - size.height());
}

} // namespace window
