#pragma once
// Where a window stood on the screen from its mapping on: when its map was seen, then each place
// the window manager reported. Apart from the tests: Xlib's macros clash with GoogleTest's.
#include <memory>
#include <string>
#include <vector>

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

class PlacementWatch {
public:
    // Watches the windows created on the display from now on.
    explicit PlacementWatch(const char* display);
    ~PlacementWatch();
    bool watching() const;
    // Waits up to timeoutMs for a window titled `title` (UTF-8) to be mapped, follows it
    // settleMs longer and returns its places; none when it was not seen mapped.
    std::vector<ScreenPoint> places(const std::string& title, int timeoutMs, int settleMs);

private:
    struct State;
    std::unique_ptr<State> s_;
};
