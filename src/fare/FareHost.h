#pragma once
// What the fare engine needs from the windows around it. The board window, the control panel
// and the sound layer implement these; tests implement them with recording fakes.
#include <cstdint>
#include <string>

namespace fare {

struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// What the operator entered for a route set.
struct RouteEntry {
    std::string routeText;   // the route display, or the five route-digit lists joined
    std::string sectionText; // the section display, or the three section-digit lists joined
};

// The arguments of the ticket plugin's drawing call, in its order.
struct TicketArgs {
    std::string pluginPath;
    std::string stopName;
    std::string dateText;   // MM-DD-YYYY, the route-set date, or the fixed date
    std::string timeText;   // hh:mm:ss
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
    virtual void setFare(int cell, int16_t value) = 0;                 // Degit(cell).Value
    virtual void setFareText(int cell, const std::string& text) = 0;   // Degit(cell).Value as text
    virtual void setSmall(int cell, int16_t value) = 0;                // S_Degit(cell).Value
    // Every fare and small display fully lit and painted, then the blocking 3000 ms wait.
    virtual void lampTest() = 0;
    virtual void zeroAll() = 0;                                        // Value 0 on all 64 displays
    virtual void setChimei(const std::string& name) = 0;              // stop-name display
};

// The control panel's side.
class PanelView {
public:
    virtual ~PanelView() = default;
    virtual RouteEntry readEntry(int button) = 0; // 0: digit lists, 1: keypad displays
    virtual void enableDataControls() = 0;        // data back/forward and display clear
    virtual bool lateNight() = 0;                 // the late-night switch, read per cell
    virtual int16_t companyIndex() = 0;           // company list index, -1 for none
    virtual void clearPreview() = 0;
    virtual void drawTicket(const TicketArgs& args) = 0; // plugin draws, then the preview repaints
    virtual void showMessage(const std::string& text) = 0; // OK box, no icon, the program's title
};

// Sound, broadcast table, event loop and clock.
class Services {
public:
    virtual ~Services() = default;
    virtual void playSound(const std::string& file, const std::string& alias, bool wait) = 0;
    virtual void tapeLoad(const std::string& dir, const std::string& fileNumber) = 0;
    virtual void processEvents() = 0;
    virtual LocalTime now() = 0;
};

} // namespace fare
