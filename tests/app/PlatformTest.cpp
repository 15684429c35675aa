// Which window system the program asks for, from the session it starts in.
#include "app/Platform.h"

#include <gtest/gtest.h>

TEST(Platform, AWaylandSessionRunsThroughXWaylandUnlessTheUserChoseAPlatform) {
    const struct {
        const char* env; // NAME=value pairs separated by spaces
        Platform want;
    } rows[] = {
        {"XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 DISPLAY=:0", {true, "xcb"}},
        {"WAYLAND_DISPLAY=wayland-0 DISPLAY=:1", {true, "xcb"}},
        {"XDG_SESSION_TYPE=wayland DISPLAY=:0", {true, "xcb"}},
        {"WAYLAND_DISPLAY=wayland-0", {true, "wayland"}}, // no XWayland
        {"WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 QT_QPA_PLATFORM=wayland", {true, ""}},
        {"WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=xcb", {true, ""}},
        {"XDG_SESSION_TYPE=x11 DISPLAY=:0", {true, ""}},
        {"QT_QPA_PLATFORM=offscreen", {true, ""}},
        {"QT_QPA_PLATFORM= DISPLAY=:0", {true, ""}},
        {"", {false, ""}},
        {"XDG_SESSION_TYPE=tty QT_QPA_PLATFORM=", {false, ""}},
        {"XDG_SESSION_TYPE=wayland", {false, ""}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.env);
        QProcessEnvironment env;
        for (const QString& pair : QString::fromUtf8(r.env).split(u' ', Qt::SkipEmptyParts))
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        const Platform got = choosePlatform(env);
        EXPECT_EQ(got.graphical, r.want.graphical);
        EXPECT_EQ(got.name.toStdString(), r.want.name.toStdString());
    }
}
