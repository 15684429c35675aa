#include "window/Placement.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace window {
namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Whether the running window manager answers _NET_REQUEST_FRAME_EXTENTS.
bool answersFrameRequests(xcb_connection_t* c, xcb_window_t root, xcb_atom_t request) {
    const Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096),
                               nullptr),
        &std::free);
    if (!r || r->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(r.get()));
    const int n = xcb_get_property_value_length(r.get()) / 4;
    return std::find(atoms, atoms + n, request) != atoms + n;
}

} // namespace

QMargins frameAhead(QWidget& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return {};
    xcb_connection_t* c = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS"), extents = atom(c, "_NET_FRAME_EXTENTS");
    if (!answersFrameRequests(c, root, request)) return {};

    xcb_client_message_event_t ask{};
    ask.response_type = XCB_CLIENT_MESSAGE;
    ask.format = 32;
    ask.window = id;
    ask.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&ask));
    xcb_flush(c);
    // The answer is a property on the window; a window manager sets it within milliseconds.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500) {
        const Reply<xcb_get_property_reply_t> r(
            xcb_get_property_reply(c, xcb_get_property(c, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr),
            &std::free);
        if (r && r->format == 32 && xcb_get_property_value_length(r.get()) == 16) {
            const auto* e = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
            // left, right, top, bottom, in the screen's pixels
            const qreal ratio = window.devicePixelRatioF();
            const auto logical = [ratio](uint32_t v) { return qRound(v / ratio); };
            return {logical(e[0]), logical(e[2]), logical(e[1]), logical(e[3])};
        }
        QThread::msleep(2);
    }
    return {};
}

void showOnScreen(QWidget& window) {
    const QMargins frame = frameAhead(window);
    window.hide();
    window.setAttribute(Qt::WA_DontShowOnScreen, false);
    window.move(window.pos() + QPoint(frame.left(), frame.top()));
    window.show();
}

void makeOwnable(QWidget& window) {
    // Qt tells an X window manager whom a window belongs to only for dialog-like windows.
    window.setWindowFlags((window.windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
}

void setOwner(QWidget& window, QWidget& owner) {
    window.winId();
    window.windowHandle()->setTransientParent(owner.windowHandle());
}

} // namespace window
