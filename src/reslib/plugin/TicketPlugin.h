#pragma once
// Ticket-printer plugins (.4SP): a JSON description of one kind of ticket printer — what it can
// print, its company names, its remarks and the layout of its ticket. A plugin is data only:
// nothing in it is ever loaded or run as code. docs/plugins.md describes the format.
// Plain C++ (no Qt), so that tests and the fuzzer drive it directly. Texts here are UTF-8.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The 56-byte information record: fourteen 32-bit integers, each at offset 4 × its place.
struct PlgInfo {
    int32_t version;        // 0: the plugin's format version
    int32_t width;          // 4: ticket width, control-panel pixels
    int32_t height;         // 8: ticket height
    int32_t printsDate;     // 12: 1 = prints the date
    int32_t printsTime;     // 16: 1 = prints the time
    int32_t printsRoute;    // 20: 1 = prints the route number
    int32_t printsStopName; // 24: 1 = prints the stop name
    int32_t printsBarcode;  // 28: 1 = prints barcodes
    int32_t barcodeCount;   // 32
    int32_t highestRoute;   // 36: routes 1 … highestRoute can be set
    int32_t barcodeScheme;  // 40: 1 = serial route numbers, 2 = route number plus direction flag
    int32_t firstStop;      // 44: stop numbers the printer recognises
    int32_t lastStop;       // 48
    int32_t companyCount;   // 52: company names to switch between
};
static_assert(sizeof(PlgInfo) == 56);

namespace ticketplugin {

inline constexpr int kFormatVersion = 1;
inline constexpr std::size_t kMaxFileSize = 1 << 20;

// One field of the "printer" object and the record. kind: Count = integer in min … max,
// Flag = true/false (1/0), Scheme = "serial" (1) or "routeDirection" (2).
struct RecordField {
    enum Kind { Count, Flag, Scheme };
    int32_t PlgInfo::*member;
    const char* key;
    Kind kind;
    int32_t min, max;
    const char* meaning;
};
std::span<const RecordField> recordFields();
std::size_t offsetOf(const RecordField& f); // byte offset in the record

// What a ticket shows, handed to the layout: UTF-8 texts as the caller passed them.
struct TicketData {
    std::string stopName;
    std::string date; // MM-DD-YYYY or YYYY/MM/DD
    std::string time; // hh:mm:ss
    int32_t route = 0;
    int ticket = 0;
    int stop = 0;
    std::string company; // empty when none is chosen
};

// A placeholder of the text items, "{name}": the record flag it needs and what it becomes.
struct Placeholder {
    enum Need { None, Date, Time, Route, StopName, Company };
    const char* name;
    Need need;
    const char* meaning;
    std::string (*value)(const TicketData&);
};
std::span<const Placeholder> placeholders();

enum class Font { Gothic, Mincho };
enum class Align { Left, Center, Right };
enum class Symbology { Code128, Itf, Nw7 };
enum class BarcodeItem { Route, Stop, Ticket };

// One element of the layout, in ticket pixels. Which members count depends on the kind.
struct Item {
    enum Kind { Text, Rule, Frame, Barcode };
    Kind kind = Text;
    int x = 0, y = 0, w = 0, h = 0;
    std::string text; // Text: with placeholders
    int size = 0;     // Text: pixel size
    Font font = Font::Gothic;
    bool bold = false;
    Align align = Align::Left;
    int line = 1; // Frame: thickness
    Symbology symbology = Symbology::Code128;
    std::vector<BarcodeItem> data; // Barcode: what it carries, in order
};

struct Plugin {
    PlgInfo info{};
    std::vector<std::string> remarks;
    std::vector<std::string> companies;
    std::vector<Item> layout;
};

// A plugin from the text of a .4SP file; std::nullopt, with the reason in `error`, when the text
// is not a valid plugin of this format version.
std::optional<Plugin> parse(std::string_view text, std::string* error = nullptr);

// The plugin at `path` (UTF-8), parsed once per path, size and modification time; nullptr when the
// file cannot be read, is larger than kMaxFileSize or is not a valid plugin. UI thread only.
std::shared_ptr<const Plugin> load(const std::string& path);

// A text item's text with its placeholders filled in.
std::string expand(std::string_view text, const TicketData& data);

// The digits a barcode carries (see docs/plugins.md); std::nullopt when a value lies outside what
// the printer can encode (route, stop or ticket number out of range), so no barcode is printed.
std::optional<std::string> barcodeDigits(const PlgInfo& info, const Item& barcode, const TicketData& data);

} // namespace ticketplugin
