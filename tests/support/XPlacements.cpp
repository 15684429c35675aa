#include "XPlacements.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <poll.h>

struct PlacementWatch::State {
    Display* d = nullptr;
    std::map<Window, std::vector<ScreenPoint>> mapped;

    std::string title(Window w) const {
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        std::string t;
        if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                               XInternAtom(d, "UTF8_STRING", False), &type, &format, &n, &after, &data) == Success &&
            data) {
            t.assign(reinterpret_cast<char*>(data), n);
            XFree(data);
        }
        return t;
    }
};

PlacementWatch::PlacementWatch(const char* display) : s_(std::make_unique<State>()) {
    // Windows come and go while they are looked at: a window gone is no failure.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    s_->d = XOpenDisplay(display);
    if (s_->d) XSelectInput(s_->d, DefaultRootWindow(s_->d), SubstructureNotifyMask);
}

PlacementWatch::~PlacementWatch() {
    if (s_->d) XCloseDisplay(s_->d);
}

bool PlacementWatch::watching() const { return s_->d != nullptr; }

std::vector<ScreenPoint> PlacementWatch::places(const std::string& title, int timeoutMs, int settleMs) {
    using Clock = std::chrono::steady_clock;
    Display* d = s_->d;
    const Window root = DefaultRootWindow(d);
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Window found = 0;
    while (Clock::now() < deadline) {
        if (!XPending(d)) {
            // Sleeps until the server sends something or the deadline comes.
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd server{ConnectionNumber(d), POLLIN, 0};
            ::poll(&server, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
            continue;
        }
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type == CreateNotify && ev.xcreatewindow.parent == root) {
            XSelectInput(d, ev.xcreatewindow.window, StructureNotifyMask);
        } else if (ev.type == MapNotify && ev.xmap.event == ev.xmap.window && !s_->mapped.count(ev.xmap.window)) {
            int x = 0, y = 0;
            Window child = 0;
            XTranslateCoordinates(d, ev.xmap.window, root, 0, 0, &x, &y, &child);
            s_->mapped[ev.xmap.window].push_back({x, y});
            if (!found && s_->title(ev.xmap.window) == title) {
                found = ev.xmap.window;
                deadline = Clock::now() + std::chrono::milliseconds(settleMs);
            }
        } else if (ev.type == ConfigureNotify && ev.xconfigure.send_event && s_->mapped.count(ev.xconfigure.window)) {
            s_->mapped[ev.xconfigure.window].push_back({ev.xconfigure.x, ev.xconfigure.y});
        }
    }
    return found ? s_->mapped[found] : std::vector<ScreenPoint>{};
}
