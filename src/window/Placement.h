#pragma once
// Placing a window before it is first mapped, and keeping one window over another.
#include <QMargins>
#include <QWidget>

namespace window {

// The frame (title bar and borders) that the window manager will put round `window`, asked of
// it before the window is mapped; none where no window manager frames windows or where it does
// not tell in time.
QMargins frameAhead(QWidget& window);

// Puts a window that was shown off the screen (Qt::WA_DontShowOnScreen) on the screen, its
// frame where it was moved meanwhile: until a window is first mapped, Qt takes a move for its
// client area, whose offset in the frame only the window manager knows.
void showOnScreen(QWidget& window);

// Makes `window` of the kind that a window manager keeps over the window it belongs to, as a
// dialog over its owner, never over other programs' windows. Before the window is created.
void makeOwnable(QWidget& window);
// Keeps an ownable `window` over `owner` for as long as both live, from its next mapping on;
// the owner must be shown before.
void setOwner(QWidget& window, QWidget& owner);

} // namespace window
