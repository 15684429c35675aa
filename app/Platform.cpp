#include "app/Platform.h"

#include <cstdio>
#include <cstdlib>

const char* const NoDisplayMessage =
    "ferio: 画面がありません。運賃表示器と操作盤はデスクトップ（X11 か Wayland）の中で開きます。"
    "--help、--reading、--say は画面なしで使えます。\n"
    "ferio: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY answers): start it from a desktop; "
    "--help, --reading and --say work without one.";

Platform choosePlatform(const QProcessEnvironment& env) {
    const auto set = [&](const char* name) { return !env.value(QLatin1String(name)).isEmpty(); };
    if (set("QT_QPA_PLATFORM")) return {};
    const bool x11 = set("DISPLAY");
    const bool wayland = set("WAYLAND_DISPLAY") || env.value(QStringLiteral("XDG_SESSION_TYPE")) == u"wayland";
    if (wayland && x11) return {true, QStringLiteral("xcb")};
    if (set("WAYLAND_DISPLAY")) return {true, QStringLiteral("wayland")}; // no XWayland: Wayland as it is
    if (x11) return {};
    return {false, {}};
}

namespace {

QtMessageHandler previous = nullptr;

void endWithoutWindowSystem(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (previous) previous(type, context, text);
        return;
    }
    std::fprintf(stderr, "%s\n(%s)\n", NoDisplayMessage, qPrintable(text));
    std::_Exit(NoDisplayStatus);
}

} // namespace

WindowSystemOpening::WindowSystemOpening() { previous = qInstallMessageHandler(endWithoutWindowSystem); }

WindowSystemOpening::~WindowSystemOpening() { qInstallMessageHandler(previous); }
