#pragma once
// Route set, board update and stop advance over the process-wide fare table.
#include "fare/EngineViews.h"
#include "fare/FareTable.h"
#include "options/model/OptionInfo.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace fare {

inline constexpr const char* OverflowMessage = "オーバーフローしました。";
inline constexpr const char* NoDataMessage = "指定した系統のデータがありません...";
inline constexpr const char* ZeroCountMessage = "指定した系統はデータの数が0(未登録)の可能性があります...";
inline constexpr const char* SectionMessage =
    "指定した区間はデータの数よりも多いです...\r\n  解決法：正しい区間を入力して下さい.";
inline constexpr const char* SelectingText = "系統選別中";

// The number formed by the leading decimal digits of a text (0 when there are none).
long long numericValue(std::string_view text);
// <numeric value of the route>.hy3, leading zeros dropped.
std::string fareFileName(std::string_view routeText);
// A folder with its trailing "/" (none added to an empty folder or one that has it).
std::string withTrailingSlash(std::string dir);
// The folder a route is read from: `chosen`; when that is empty, the current folder, unless it
// holds no route (*.hy3) and `samples` names a folder (the installed samples).
std::string dataFolder(const std::string& chosen, const std::string& samples);
// 0 becomes 1, anything above 300 becomes 300.
int16_t clampSection(long long section);
// MM-DD-YYYY and hh:mm:ss.
std::string dateText(const LocalTime& t);
std::string timeText(const LocalTime& t);

// Every operation runs to its end before the next one starts: the board update lets the window
// system handle pending input, and an operation that arrives then (a step pressed during the
// lamp test) waits its turn, so the stop name and the fares always belong to the same stop.
class FareEngine {
public:
    FareEngine(const OptionInfo& options, BoardView& board, PanelView& panel, const EngineDevices& devices)
        : options_(options),
          board_(board),
          panel_(panel),
          devices_(devices) {}

    // Loads the entered route and draws its first stop.
    void routeSet(EntrySource source);
    // Draws the board for a 1-based record (1 ... 301).
    void dispData(int record);
    // One stop back or forward, with its chime.
    void step(StepDirection direction);
    // Display clear on: every display blank. Off: the clock runs and the current stop is drawn.
    void displayClear(bool on);
    // The stop name drawn again (after the options changed its colours or font).
    void redrawStopName();
    // The folder read for a fare or broadcast folder that the options leave empty, when the
    // current folder holds no route; none by default.
    void setSampleFolder(std::string folder) { sampleFolder_ = std::move(folder); }

    const FareTable& table() const { return table_; }
    const RouteState& state() const { return state_; }
    // True while an operation runs (it lets the window system handle input meanwhile).
    bool busy() const { return running_; }
    // How many route sets have loaded their route, so that a caller sees whether the last one did.
    int routesLoaded() const { return routesLoaded_; }
    // The record the board shows.
    const FareRecord& currentRecord() const { return table_.row(state_.CurrentStop + 1); }
    // The times file beside the entered route's file: <route>times.csv.
    std::string timesFile() const;
    // The folders a route set reads: the options' choice, else the sample folder's fallback;
    // each ends in a slash.
    std::string fareFolder() const;
    std::string tapeFolder() const;

private:
    void run(std::function<void()> operation);
    void doRouteSet(EntrySource source);
    void draw(int record);
    void doStep(StepDirection direction);
    void chime();

    const OptionInfo& options_;
    BoardView& board_;
    PanelView& panel_;
    EngineDevices devices_;
    FareTable table_;
    RouteState state_;
    std::string sampleFolder_;
    std::deque<std::function<void()>> waiting_;
    bool running_ = false;
    int routesLoaded_ = 0;
};

} // namespace fare
