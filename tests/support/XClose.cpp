#include "XClose.h"

#include <X11/Xlib.h>

bool sendCloseRequest(const char* display, unsigned long window) {
    Display* d = XOpenDisplay(display);
    if (!d) return false;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(d, window, False, NoEventMask, &ev) != 0;
    XCloseDisplay(d);
    return sent;
}
