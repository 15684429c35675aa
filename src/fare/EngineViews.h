#pragma once
// What the fare engine needs from the windows around it. The board window, the control panel
// and the sound layer implement these; tests implement them with recording fakes.
#include <cstdint>
#include <string>

namespace fare {

struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Where the operator entered the route that a reset loads.
enum class EntrySource { DigitLists, Keypad };
// The direction of a data step.
enum class StepDirection { Back, Forward };

// What the operator entered for a route set.
struct RouteEntry {
    std::string routeText;   // the route display, or the five route-digit lists joined
    std::string sectionText; // the section display, or the three section-digit lists joined
};

// The arguments of the ticket plugin's drawing call, in its order.
struct TicketArgs {
    std::string pluginPath;
    std::string stopName;
    std::string dateText; // MM-DD-YYYY, the route-set date, or the fixed date
    std::string timeText; // hh:mm:ss
    int32_t routeNumber = 0;
    int16_t ticketNumber = 0;
    int16_t record = 0;
    int16_t companyIndex = -1;
    bool operator==(const TicketArgs&) const = default;
};

// The fare board's displays.
class BoardView {
public:
    virtual ~BoardView() = default;
    virtual void setFare(int cell, int16_t value) = 0;               // Degit(cell).Value
    virtual void setFareText(int cell, const std::string& text) = 0; // Degit(cell).Value as text
    virtual void setSmall(int cell, int16_t value) = 0;              // S_Degit(cell).Value
    // Every fare and small display fully lit and painted, then the blocking 3000 ms wait.
    virtual void lampTest() = 0;
    virtual void zeroAll() = 0;                          // Value 0 on all 64 displays
    virtual void setChimei(const std::string& name) = 0; // stop-name display
    // Display clear: stop name, all 64 displays and the clock blank, the clock stopped.
    virtual void clearDisplays() = 0;
    // The end of display clear: the clock runs again (the next update redraws the rest).
    virtual void restoreDisplays() = 0;
};

// The control panel's side.
class PanelView {
public:
    virtual ~PanelView() = default;
    virtual RouteEntry readEntry(EntrySource source) = 0;
    virtual void enableDataControls() = 0; // data back/forward and display clear
    virtual bool lateNight() = 0;          // the late-night switch, read per cell
    virtual int16_t companyIndex() = 0;    // company list index, -1 for none
    virtual void clearPreview() = 0;
    virtual void drawTicket(const TicketArgs& args) = 0;   // plugin draws, then the preview repaints
    virtual void showMessage(const std::string& text) = 0; // OK box, no icon, the program's title
};

// The sound channels "S1" ... "S4".
class Sound {
public:
    virtual ~Sound() = default;
    // Plays a file on a channel; with wait, returns when it has played to the end.
    virtual void playSound(const std::string& file, const std::string& channel, bool wait) = 0;
    virtual void closeAllSounds() = 0;
};

// The route's broadcast table.
class Broadcast {
public:
    virtual ~Broadcast() = default;
    virtual void tapeLoad(const std::string& dir, const std::string& fileNumber) = 0;
    virtual void tapeRelease() = 0;
};

// Lets the window system handle what is pending, at the few points where an update allows it.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    virtual void processEvents() = 0;
};

// The date and time of day: the system's, or a recording's, which starts where the system's was
// and runs on the recording's own time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() = 0;
};

// The system's local date and time.
Clock& systemClock();

// The devices the engine and the windows share: sound, broadcast, event loop, clock; app/ owns
// the real ones.
struct EngineDevices {
    Sound& sound;
    Broadcast& broadcast;
    EventLoop& events;
    Clock& clock;
};

} // namespace fare
