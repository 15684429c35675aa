#pragma once
// The loaded route: its records and the state that moves along them.
#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace fare {

constexpr int TableRows = 301;   // rows 1 ... 301
constexpr int DataColumns = 150; // columns 1 ... 150
constexpr int Cells = 32;        // fare cells on the board; columns 1..32 fares, 81..112 small numbers
constexpr int SmallColumnOffset = 80;
constexpr int FareCellDigits = 3; // a fare cell shows this many characters, the rightmost ones
constexpr int MaxStartSection = 300;

struct FareRecord {
    std::string StopName; // UTF-8 (CP932 in the file)
    int16_t TicketNumber = 0;
    std::array<int16_t, DataColumns> Data{}; // Data[0] is column 1

    int16_t column(int c) const { return Data[static_cast<size_t>(c - 1)]; }
    int16_t& column(int c) { return Data[static_cast<size_t>(c - 1)]; }
    bool operator==(const FareRecord&) const = default;
};

class FareTable {
public:
    const FareRecord& row(int r) const { return rows_[static_cast<size_t>(r - 1)]; }
    FareRecord& row(int r) { return rows_[static_cast<size_t>(r - 1)]; }
    // Exchanged, not assigned: an empty name assigned keeps the old name's memory.
    void clear() {
        for (FareRecord& row : rows_) std::exchange(row, FareRecord{});
    }

private:
    std::array<FareRecord, TableRows> rows_{};
};

struct RouteState {
    std::string RouteText;    // the route as entered, leading zeros kept
    int16_t StartSection = 0; // 1 ... 300 after a route set
    int16_t StopCount = 0;    // record count of the last file opened
    int16_t CurrentStop = 0;  // 0-based; the board shows row CurrentStop + 1
    std::string TicketDate;   // date text for the ticket, captured at route set
};

} // namespace fare
