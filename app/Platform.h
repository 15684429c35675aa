#pragma once
// The window system the program asks Qt for, chosen from the session's environment. The board
// is frameless and places itself and its panel, which a Wayland window cannot do: a Wayland
// session runs the program through XWayland, unless the user chose a Qt platform.
#include <QProcessEnvironment>
#include <QString>

struct Platform {
    bool graphical = true; // a window system to open the windows on
    QString name;          // the Qt platform to ask for; empty: the user's choice or Qt's own
    bool operator==(const Platform&) const = default;
};

// From the environment: QT_QPA_PLATFORM (the user's choice), WAYLAND_DISPLAY, XDG_SESSION_TYPE
// and DISPLAY.
Platform choosePlatform(const QProcessEnvironment& environment);

// What a start without a graphical session says on the terminal, and its exit status.
extern const char* const NoDisplayMessage;
constexpr int NoDisplayStatus = 1;

// While it lives, a window system that Qt cannot open (a display that does not answer) ends the
// program with NoDisplayMessage and NoDisplayStatus instead of Qt's abort.
class WindowSystemOpening {
public:
    WindowSystemOpening();
    ~WindowSystemOpening();
    WindowSystemOpening(const WindowSystemOpening&) = delete;
    WindowSystemOpening& operator=(const WindowSystemOpening&) = delete;
};
