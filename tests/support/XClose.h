#pragma once
// Sends a window what the window manager sends when its close box is pressed (WM_DELETE_WINDOW).
// Kept apart from the test because Xlib's macros clash with GoogleTest's names.
bool sendCloseRequest(const char* display, unsigned long window);
