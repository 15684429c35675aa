#pragma once
// Where a window stood on the screen from the moment it was mapped: where it was when its map
// was seen, then each place the window manager reported (synthetic ConfigureNotify, in the
// screen's coordinates). Kept apart from the tests because Xlib's macros clash with
// GoogleTest's names.
#include <memory>
#include <string>
#include <vector>

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

class PlacementWatch {
public:
    // Starts watching the windows created on the display from now on.
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
