#include "reslib/plugin/TicketPlugin.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace ticketplugin {
namespace {

using json = nlohmann::json;

std::string padded(int64_t value, int digits) {
    std::string s = std::to_string(value);
    return std::string(std::max<int>(0, digits - int(s.size())), '0') + s;
}

int digitsOf(int64_t value) { return int(std::to_string(value).size()); }

// The numbers of a text made of digit groups of the given widths joined by `sep` ("hh:mm:ss");
// empty when the text has another form.
std::vector<int> numbers(std::string_view text, char sep, std::initializer_list<int> widths) {
    std::vector<int> out;
    for (int width : widths) {
        if (text.size() < std::size_t(width)) return {};
        int n = 0;
        for (char c : text.substr(0, width)) {
            if (c < '0' || c > '9') return {};
            n = n * 10 + (c - '0');
        }
        out.push_back(n);
        text.remove_prefix(width);
        if (!text.empty()) {
            if (text[0] != sep) return {};
            text.remove_prefix(1);
        }
    }
    return text.empty() ? out : std::vector<int>{};
}

// Year, month and day of "MM-DD-YYYY" or "YYYY/MM/DD".
std::vector<int> ymd(std::string_view date) {
    if (auto mdy = numbers(date, '-', {2, 2, 4}); !mdy.empty()) return {mdy[2], mdy[0], mdy[1]};
    return numbers(date, '/', {4, 2, 2});
}

constexpr int kTicketDigits = 3; // a barcode carries the ticket number as 000 … 999

// Part i of the ticket's date (year, month, day) or time (hour, minute, second), with at least
// `digits` digits (2: the last two); empty when the text has no known form.
std::string datePart(const TicketData& t, std::size_t i, int digits) {
    const auto v = ymd(t.date);
    return v.empty() ? std::string() : padded(digits == 2 ? v[i] % 100 : v[i], digits);
}
std::string timePart(const TicketData& t, std::size_t i, int digits) {
    const auto v = numbers(t.time, ':', {2, 2, 2});
    return v.empty() ? std::string() : padded(v[i], digits);
}

constexpr RecordField kRecordFields[] = {
    {&PlgInfo::width, "width", RecordField::Count, 16, 1000, "ticket width in control-panel pixels"},
    {&PlgInfo::height, "height", RecordField::Count, 16, 1000, "ticket height in control-panel pixels"},
    {&PlgInfo::printsDate, "printsDate", RecordField::Flag, 0, 1, "the printer prints the date"},
    {&PlgInfo::printsTime, "printsTime", RecordField::Flag, 0, 1, "the printer prints the time"},
    {&PlgInfo::printsRoute, "printsRoute", RecordField::Flag, 0, 1, "the printer prints the route number"},
    {&PlgInfo::printsStopName, "printsStopName", RecordField::Flag, 0, 1, "the printer prints the stop name"},
    {&PlgInfo::printsBarcode, "printsBarcode", RecordField::Flag, 0, 1,
     "the printer prints barcodes; true exactly when barcodeCount is above 0"},
    {&PlgInfo::barcodeCount, "barcodeCount", RecordField::Count, 0, 4,
     "number of barcodes; equals the number of barcode items of the layout"},
    {&PlgInfo::highestRoute, "highestRoute", RecordField::Count, 1, 99999,
     "routes 1 … highestRoute can be set on the printer"},
    {&PlgInfo::barcodeScheme, "barcodeScheme", RecordField::Scheme, 1, 2,
     "how a barcode carries the route: \"serial\" (1) or \"routeDirection\" (2)"},
    {&PlgInfo::firstStop, "firstStop", RecordField::Count, 0, 9999, "first stop number the printer recognises"},
    {&PlgInfo::lastStop, "lastStop", RecordField::Count, 0, 9999,
     "last stop number the printer recognises; not below firstStop"},
    {&PlgInfo::companyCount, "companyCount", RecordField::Count, 0, 16,
     "number of company names; equals the length of companies"},
};

using Ticket = const TicketData&;
constexpr Placeholder kPlaceholders[] = {
    {"ticket", Placeholder::None, "ticket number", [](Ticket t) { return std::to_string(t.ticket); }},
    {"stop", Placeholder::StopName, "stop name", [](Ticket t) { return t.stopName; }},
    {"route", Placeholder::Route, "route number", [](Ticket t) { return std::to_string(t.route); }},
    {"company", Placeholder::Company, "company chosen on the control panel (empty when none)",
     [](Ticket t) { return t.company; }},
    {"Y", Placeholder::Date, "year, four digits", [](Ticket t) { return datePart(t, 0, 4); }},
    {"y", Placeholder::Date, "year, last two digits", [](Ticket t) { return datePart(t, 0, 2); }},
    {"m", Placeholder::Date, "month, two digits", [](Ticket t) { return datePart(t, 1, 2); }},
    {"-m", Placeholder::Date, "month without a leading zero", [](Ticket t) { return datePart(t, 1, 1); }},
    {"d", Placeholder::Date, "day, two digits", [](Ticket t) { return datePart(t, 2, 2); }},
    {"-d", Placeholder::Date, "day without a leading zero", [](Ticket t) { return datePart(t, 2, 1); }},
    {"H", Placeholder::Time, "hour (0 … 23), two digits", [](Ticket t) { return timePart(t, 0, 2); }},
    {"-H", Placeholder::Time, "hour without a leading zero", [](Ticket t) { return timePart(t, 0, 1); }},
    {"M", Placeholder::Time, "minute, two digits", [](Ticket t) { return timePart(t, 1, 2); }},
    {"S", Placeholder::Time, "second, two digits", [](Ticket t) { return timePart(t, 2, 2); }},
};

const Placeholder* findPlaceholder(std::string_view name) {
    for (const auto& p : kPlaceholders)
        if (name == p.name) return &p;
    return nullptr;
}

bool needMet(Placeholder::Need need, const PlgInfo& info) {
    switch (need) {
    case Placeholder::None: return true;
    case Placeholder::Date: return info.printsDate;
    case Placeholder::Time: return info.printsTime;
    case Placeholder::Route: return info.printsRoute;
    case Placeholder::StopName: return info.printsStopName;
    case Placeholder::Company: return info.companyCount > 0;
    }
    return false;
}

// Calls f(name, true) for every "{name}" of a text and f(literal, false) for the text between;
// false when a brace is left open or a closing brace stands alone.
template <typename F>
bool walkText(std::string_view text, F f) {
    while (!text.empty()) {
        const auto open = text.find('{');
        const auto close = text.find('}');
        if (close < open) return false;
        f(text.substr(0, open), false);
        if (open == std::string_view::npos) break;
        if (close == std::string_view::npos) return false;
        f(text.substr(open + 1, close - open - 1), true);
        text.remove_prefix(close + 1);
    }
    return true;
}

template <typename E>
struct Name {
    const char* name;
    E value;
};
constexpr Name<Item::Kind> kKinds[] = {
    {"text", Item::Text}, {"rule", Item::Rule}, {"frame", Item::Frame}, {"barcode", Item::Barcode}};
constexpr Name<Font> kFonts[] = {{"gothic", Font::Gothic}, {"mincho", Font::Mincho}};
constexpr Name<Align> kAligns[] = {{"left", Align::Left}, {"center", Align::Center}, {"right", Align::Right}};
constexpr Name<Symbology> kSymbologies[] = {
    {"code128", Symbology::Code128}, {"itf", Symbology::Itf}, {"nw7", Symbology::Nw7}};
constexpr Name<BarcodeItem> kBarcodeItems[] = {
    {"route", BarcodeItem::Route}, {"stop", BarcodeItem::Stop}, {"ticket", BarcodeItem::Ticket}};
constexpr Name<int32_t> kSchemes[] = {{"serial", 1}, {"routeDirection", 2}};

template <typename E, std::size_t N>
const E* lookup(const Name<E> (&names)[N], std::string_view name) {
    for (const auto& n : names)
        if (name == n.name) return &n.value;
    return nullptr;
}

// Keys each item kind may have beside type, x, y, w and h.
std::vector<std::string_view> extraKeys(Item::Kind kind) {
    switch (kind) {
    case Item::Text: return {"text", "size", "font", "bold", "align"};
    case Item::Frame: return {"line"};
    case Item::Barcode: return {"symbology", "data"};
    case Item::Rule: break;
    }
    return {};
}

// Reads the parts of one JSON object, naming the first fault it meets in `error`.
class Reader {
public:
    Reader(const json& object, std::string where, std::string& error)
        : obj_(object),
          where_(std::move(where)),
          error_(error) {}

    bool onlyKeys(const std::vector<std::string_view>& keys) {
        for (const auto& [key, value] : obj_.items())
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) return fail(key, "is not a known field");
        return true;
    }
    bool integer(const char* key, int64_t min, int64_t max, int& out, bool required = true) {
        const json* v = find(key, required);
        if (!v) return !required;
        if (!v->is_number_integer()) return fail(key, "must be a whole number");
        const bool huge = v->is_number_unsigned() && v->get<uint64_t>() > uint64_t(max);
        if (huge || v->get<int64_t>() < min || v->get<int64_t>() > max)
            return fail(key, "must lie in " + std::to_string(min) + " … " + std::to_string(max));
        out = int(v->get<int64_t>());
        return true;
    }
    bool flag(const char* key, bool& out, bool required = true) {
        const json* v = find(key, required);
        if (!v) return !required;
        if (!v->is_boolean()) return fail(key, "must be true or false");
        out = v->get<bool>();
        return true;
    }
    bool text(const char* key, std::string& out, bool required = true) {
        const json* v = find(key, required);
        if (!v) return !required;
        if (!v->is_string()) return fail(key, "must be a text");
        out = v->get<std::string>();
        return true;
    }
    template <typename E, std::size_t N>
    bool choice(const char* key, const Name<E> (&names)[N], E& out, bool required = true) {
        const json* v = find(key, required);
        if (!v) return !required;
        if (!v->is_string()) return fail(key, "must be a text");
        const auto s = v->get<std::string>();
        const E* value = lookup(names, s);
        if (!value) return fail(key, "has no choice \"" + s + "\"");
        out = *value;
        return true;
    }
    bool texts(const char* key, std::vector<std::string>& out, std::size_t maxCount) {
        const json* v = find(key, true);
        if (!v) return false;
        if (!v->is_array() || v->size() > maxCount)
            return fail(key, "must be a list of at most " + std::to_string(maxCount) + " texts");
        for (const auto& e : *v) {
            if (!e.is_string()) return fail(key, "must hold texts only");
            out.push_back(e.get<std::string>());
        }
        return true;
    }
    const json* find(const char* key, bool required) {
        const auto it = obj_.find(key);
        if (it != obj_.end()) return &*it;
        if (required) fail(key, "is missing");
        return nullptr;
    }
    bool fail(std::string_view key, const std::string& what) {
        error_ = where_ + std::string(key) + " " + what;
        return false;
    }

private:
    const json& obj_;
    std::string where_;
    std::string& error_;
};

bool readPrinter(const json& printer, PlgInfo& info, std::string& error) {
    if (!printer.is_object()) {
        error = "printer must be an object";
        return false;
    }
    Reader r(printer, "printer.", error);
    std::vector<std::string_view> keys;
    for (const auto& f : kRecordFields) keys.push_back(f.key);
    if (!r.onlyKeys(keys)) return false;
    for (const auto& f : kRecordFields) {
        int32_t& value = info.*f.member;
        bool on = false;
        const bool ok = f.kind == RecordField::Count  ? r.integer(f.key, f.min, f.max, value)
                        : f.kind == RecordField::Flag ? r.flag(f.key, on)
                                                      : r.choice(f.key, kSchemes, value);
        if (!ok) return false;
        if (f.kind == RecordField::Flag) value = on;
    }
    if (info.lastStop < info.firstStop) return r.fail("lastStop", "is below firstStop");
    if (bool(info.printsBarcode) != (info.barcodeCount > 0))
        return r.fail("printsBarcode", "must be true exactly when barcodeCount is above 0");
    return true;
}

bool readItem(const json& e, std::size_t index, const PlgInfo& info, Item& item, std::string& error) {
    if (!e.is_object()) {
        error = "layout[" + std::to_string(index) + "] must be an object";
        return false;
    }
    Reader r(e, "layout[" + std::to_string(index) + "].", error);
    if (!r.choice("type", kKinds, item.kind)) return false;
    auto keys = extraKeys(item.kind);
    keys.insert(keys.end(), {"type", "x", "y", "w", "h"});
    if (!r.onlyKeys(keys) || !r.integer("x", 0, info.width - 1, item.x) ||
        !r.integer("y", 0, info.height - 1, item.y) || !r.integer("w", 1, info.width - item.x, item.w) ||
        !r.integer("h", 1, info.height - item.y, item.h))
        return false;

    switch (item.kind) {
    case Item::Text: {
        if (!r.text("text", item.text) || !r.integer("size", 4, 400, item.size) ||
            !r.choice("font", kFonts, item.font, false) || !r.flag("bold", item.bold, false) ||
            !r.choice("align", kAligns, item.align, false))
            return false;
        std::string fault;
        const bool closed = walkText(item.text, [&](std::string_view part, bool isName) {
            if (!isName || !fault.empty()) return;
            const Placeholder* p = findPlaceholder(part);
            if (!p)
                fault = "has no placeholder {" + std::string(part) + "}";
            else if (!needMet(p->need, info))
                fault = "uses {" + std::string(part) + "}, which the printer section does not allow";
        });
        if (!closed) return r.fail("text", "has an unmatched brace");
        return fault.empty() || r.fail("text", fault);
    }
    case Item::Frame: return r.integer("line", 1, std::min(item.w, item.h), item.line, false);
    case Item::Barcode: {
        std::vector<std::string> names;
        if (!r.choice("symbology", kSymbologies, item.symbology) || !r.texts("data", names, 3)) return false;
        if (names.empty()) return r.fail("data", "must name at least one value");
        for (const auto& n : names) {
            const BarcodeItem* value = lookup(kBarcodeItems, n);
            if (!value) return r.fail("data", "has no value \"" + n + "\"");
            item.data.push_back(*value);
        }
        return true;
    }
    case Item::Rule: break;
    }
    return true;
}

} // namespace

std::span<const RecordField> recordFields() { return kRecordFields; }

std::size_t offsetOf(const RecordField& f) {
    static const PlgInfo probe{};
    return std::size_t(reinterpret_cast<const char*>(&(probe.*f.member)) - reinterpret_cast<const char*>(&probe));
}

std::span<const Placeholder> placeholders() { return kPlaceholders; }

std::optional<Plugin> parse(std::string_view text, std::string* errorOut) {
    std::string error;
    auto result = [&](std::optional<Plugin> p) {
        if (errorOut) *errorOut = error;
        return p;
    };
    if (text.size() > kMaxFileSize) {
        error = "the file is larger than " + std::to_string(kMaxFileSize) + " bytes";
        return result(std::nullopt);
    }
    const json doc = json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        error = "the file is not a JSON object";
        return result(std::nullopt);
    }
    Plugin plugin;
    Reader r(doc, "", error);
    if (!r.onlyKeys({"version", "printer", "remarks", "companies", "layout"}) ||
        !r.integer("version", kFormatVersion, kFormatVersion, plugin.info.version))
        return result(std::nullopt);
    const json* printer = r.find("printer", true);
    if (!printer || !readPrinter(*printer, plugin.info, error) || !r.texts("remarks", plugin.remarks, 100) ||
        !r.texts("companies", plugin.companies, 16))
        return result(std::nullopt);
    if (std::size_t(plugin.info.companyCount) != plugin.companies.size()) {
        r.fail("companies", "must hold printer.companyCount names");
        return result(std::nullopt);
    }
    const json* layout = r.find("layout", true);
    if (!layout) return result(std::nullopt);
    if (!layout->is_array() || layout->size() > 200) {
        r.fail("layout", "must be a list of at most 200 items");
        return result(std::nullopt);
    }
    int barcodes = 0;
    for (std::size_t i = 0; i < layout->size(); ++i) {
        Item item;
        if (!readItem((*layout)[i], i, plugin.info, item, error)) return result(std::nullopt);
        barcodes += item.kind == Item::Barcode;
        plugin.layout.push_back(std::move(item));
    }
    if (barcodes != plugin.info.barcodeCount) {
        r.fail("layout", "must hold printer.barcodeCount barcodes");
        return result(std::nullopt);
    }
    return result(std::move(plugin));
}

std::shared_ptr<const Plugin> load(const std::string& path) {
    namespace fs = std::filesystem;
    struct Entry {
        fs::file_time_type time;
        std::uintmax_t size;
        std::shared_ptr<const Plugin> plugin;
    };
    static std::map<std::string, Entry> cache;

    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    const auto size = ec ? 0 : fs::file_size(path, ec);
    if (ec || size > kMaxFileSize) {
        cache.erase(path);
        return nullptr;
    }
    if (auto it = cache.find(path); it != cache.end() && it->second.time == time && it->second.size == size)
        return it->second.plugin;

    std::ifstream in(path, std::ios::binary);
    std::string text(kMaxFileSize + 1, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    std::shared_ptr<const Plugin> plugin;
    if (auto p = parse(text)) plugin = std::make_shared<const Plugin>(std::move(*p));
    if (cache.size() >= 8) cache.clear();
    cache[path] = {time, size, plugin};
    return plugin;
}

std::string expand(std::string_view text, const TicketData& data) {
    std::string out;
    walkText(text, [&](std::string_view part, bool isName) {
        if (!isName)
            out += part;
        else if (const Placeholder* p = findPlaceholder(part))
            out += p->value(data);
    });
    return out;
}

std::optional<std::string> barcodeDigits(const PlgInfo& info, const Item& barcode, const TicketData& data) {
    std::string out;
    for (BarcodeItem b : barcode.data) {
        switch (b) {
        case BarcodeItem::Route:
            if (data.route < 1 || data.route > info.highestRoute) return std::nullopt;
            if (info.barcodeScheme == 1) {
                out += padded(data.route, digitsOf(info.highestRoute));
            } else {
                // The two directions of line L are routes 2L-1 (outbound, flag 0) and 2L (inbound, 1).
                out += padded((data.route + 1) / 2, digitsOf((info.highestRoute + 1) / 2));
                out += char('0' + (data.route + 1) % 2);
            }
            break;
        case BarcodeItem::Stop:
            if (data.stop < info.firstStop || data.stop > info.lastStop) return std::nullopt;
            out += padded(data.stop, digitsOf(info.lastStop));
            break;
        case BarcodeItem::Ticket:
            if (data.ticket < 0 || digitsOf(data.ticket) > kTicketDigits) return std::nullopt;
            out += padded(data.ticket, kTicketDigits);
            break;
        }
    }
    return out;
}

} // namespace ticketplugin
