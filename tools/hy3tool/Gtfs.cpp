#include "hy3tool/Gtfs.h"

#include "reslib/Cp932.h"
#include "reslib/Csv.h"

#include <QString>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

namespace fs = std::filesystem;

namespace gtfs {
namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A member of a zip archive as a stream; a damaged member (its CRC included) is seen at the end.
class ZipMember : public std::streambuf {
public:
    explicit ZipMember(zip_file_t* file) : file_(file) {}
    ~ZipMember() override { zip_fclose(file_); }
    ZipMember(const ZipMember&) = delete;
    ZipMember& operator=(const ZipMember&) = delete;
    const char* fault() const { return failed_ ? zip_file_strerror(file_) : nullptr; }

protected:
    int_type underflow() override {
        const zip_int64_t n = zip_fread(file_, buffer_, sizeof buffer_);
        if (n < 0) failed_ = true;
        if (n <= 0) return traits_type::eof();
        setg(buffer_, buffer_, buffer_ + n);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    zip_file_t* file_;
    bool failed_ = false;
    char buffer_[64 * 1024];
};

// The feed's tables, from a zip archive (found in any folder of it, whatever the case of their
// names) or from a folder.
class Feed {
public:
    explicit Feed(const std::string& path) : path_(path) {
        std::error_code ec;
        if (fs::is_directory(path, ec)) return;
        int code = 0;
        zip_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
        if (!zip_) {
            zip_error_t e;
            zip_error_init_with_code(&e, code);
            const std::string why = zip_error_strerror(&e);
            zip_error_fini(&e);
            throw Failure("neither a folder nor a readable zip archive (" + why + ")");
        }
    }
    ~Feed() {
        if (zip_) zip_discard(zip_);
    }
    Feed(const Feed&) = delete;
    Feed& operator=(const Feed&) = delete;

    bool has(const std::string& name) const {
        std::error_code ec;
        return zip_ ? zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR) >= 0
                    : fs::is_regular_file(fs::path(path_) / name, ec);
    }

    // Each record of the table after its header; `columns` are looked up in the header, and a
    // column marked required must be there.
    struct Row {
        const std::string& file;
        const std::vector<std::string>& fields;
        const std::vector<int>& at;
        int line;
        std::string_view operator[](size_t c) const {
            return at[c] >= 0 && static_cast<size_t>(at[c]) < fields.size()
                       ? std::string_view(fields[static_cast<size_t>(at[c])])
                       : std::string_view();
        }
        [[noreturn]] void fail(const std::string& column, const std::string& why) const {
            throw Failure(file + ": line " + std::to_string(line) + ": " + column + " " + why);
        }
    };
    void read(const std::string& name, const std::vector<std::pair<const char*, bool>>& columns,
              const std::function<void(const Row&)>& onRow) {
        std::unique_ptr<ZipMember> member;
        std::ifstream file;
        std::istream stream(nullptr);
        if (zip_) {
            const zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR);
            zip_file_t* f = index < 0 ? nullptr : zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
            if (!f) throw Failure(name + " cannot be read (" + zip_strerror(zip_) + ")");
            member = std::make_unique<ZipMember>(f);
            stream.rdbuf(member.get());
        } else {
            file.open(fs::path(path_) / name, std::ios::binary);
            if (!file) throw Failure(name + " cannot be read");
            stream.rdbuf(file.rdbuf());
        }
        csv::Reader reader(stream);
        std::vector<std::string> fields;
        auto next = [&] {
            const auto n = reader.next(fields);
            if (member && member->fault()) throw Failure(name + " is damaged (" + member->fault() + ")");
            if (n == csv::Reader::Next::Error) throw Failure(name + ": " + reader.error());
            return n == csv::Reader::Next::Row;
        };
        if (!next()) throw Failure(name + ": line 1: the header is missing");
        for (std::string& h : fields) { // some feeds put a space after each comma of the header
            h.erase(0, h.find_first_not_of(' '));
            h.erase(h.find_last_not_of(' ') + 1);
        }
        std::vector<int> at;
        for (const auto& [column, required] : columns) {
            const auto found = std::find(fields.begin(), fields.end(), column);
            if (found == fields.end() && required)
                throw Failure(name + ": line " + std::to_string(reader.line()) + ": no column " + column);
            at.push_back(found == fields.end() ? -1 : static_cast<int>(found - fields.begin()));
        }
        while (next()) onRow(Row{name, fields, at, reader.line()});
    }

private:
    std::string path_;
    zip_t* zip_ = nullptr;
};

void require(Feed& feed, const std::string& name, const std::string& what) {
    if (!feed.has(name)) throw Failure("the feed has no " + name + ": " + what);
}

struct Route {
    std::string id, shortName, longName;
};

struct Trip {
    std::string id, headsign;
    int direction = -1; // -1: not given
};

struct Stop {
    std::string id, name, zone;
};

struct Timetable {
    std::vector<Route> routes;
    std::vector<Stop> stops;
    std::unordered_map<std::string, uint32_t> stopIndex;
    std::vector<Trip> trips;
    std::vector<uint32_t> tripRoute;
    std::vector<std::vector<uint32_t>> tripStops; // stop indexes in stop_sequence order
};

std::string directionText(int d) { return d < 0 ? "-" : std::to_string(d); }

// The feed's routes, stops and trips; the stop patterns only of the trips `wanted` keeps.
Timetable readTimetable(Feed& feed, const std::function<bool(const Route&)>& wanted) {
    Timetable t;
    for (const char* name : {"routes.txt", "stops.txt", "trips.txt", "stop_times.txt"})
        require(feed, name, "it is no GTFS feed");
    std::unordered_map<std::string, uint32_t> routeIndex;
    feed.read("routes.txt", {{"route_id", true}, {"route_short_name", false}, {"route_long_name", false}},
              [&](const Feed::Row& r) {
                  if (!routeIndex.emplace(std::string(r[0]), static_cast<uint32_t>(t.routes.size())).second)
                      r.fail("route_id", "\"" + std::string(r[0]) + "\" is given twice");
                  t.routes.push_back({std::string(r[0]), std::string(r[1]), std::string(r[2])});
              });
    feed.read("stops.txt", {{"stop_id", true}, {"stop_name", true}, {"zone_id", false}}, [&](const Feed::Row& r) {
        t.stopIndex.emplace(std::string(r[0]), static_cast<uint32_t>(t.stops.size()));
        t.stops.push_back({std::string(r[0]), std::string(r[1]), std::string(r[2])});
    });
    std::unordered_map<std::string, uint32_t> tripIndex;
    std::vector<bool> keep;
    feed.read("trips.txt", {{"route_id", true}, {"trip_id", true}, {"direction_id", false}, {"trip_headsign", false}},
              [&](const Feed::Row& r) {
                  const auto route = routeIndex.find(std::string(r[0]));
                  if (route == routeIndex.end())
                      r.fail("route_id", "\"" + std::string(r[0]) + "\" is no route of routes.txt");
                  int direction = -1;
                  if (!r[2].empty()) {
                      if (r[2] != "0" && r[2] != "1")
                          r.fail("direction_id", "\"" + std::string(r[2]) + "\" is neither 0 nor 1");
                      direction = r[2][0] - '0';
                  }
                  tripIndex.emplace(std::string(r[1]), static_cast<uint32_t>(t.trips.size()));
                  t.trips.push_back({std::string(r[1]), std::string(r[3]), direction});
                  t.tripRoute.push_back(route->second);
                  keep.push_back(wanted(t.routes[route->second]));
              });
    struct Call {
        uint32_t trip, sequence, stop;
    };
    std::vector<Call> calls;
    feed.read("stop_times.txt", {{"trip_id", true}, {"stop_id", true}, {"stop_sequence", true}},
              [&](const Feed::Row& r) {
                  const auto trip = tripIndex.find(std::string(r[0]));
                  if (trip == tripIndex.end())
                      r.fail("trip_id", "\"" + std::string(r[0]) + "\" is no trip of trips.txt");
                  if (!keep[trip->second]) return;
                  const auto stop = t.stopIndex.find(std::string(r[1]));
                  if (stop == t.stopIndex.end())
                      r.fail("stop_id", "\"" + std::string(r[1]) + "\" is no stop of stops.txt");
                  uint32_t sequence = 0;
                  const auto [end, ec] = std::from_chars(r[2].data(), r[2].data() + r[2].size(), sequence);
                  if (ec != std::errc{} || end != r[2].data() + r[2].size())
                      r.fail("stop_sequence", "\"" + std::string(r[2]) + "\" is not a whole number");
                  calls.push_back({trip->second, sequence, stop->second});
              });
    std::sort(calls.begin(), calls.end(), [](const Call& a, const Call& b) {
        return a.trip != b.trip ? a.trip < b.trip : a.sequence < b.sequence;
    });
    t.tripStops.resize(t.trips.size());
    for (const Call& c : calls) t.tripStops[c.trip].push_back(c.stop);
    return t;
}

struct Pattern {
    std::vector<uint32_t> stops;
    uint32_t firstTrip = 0;
    int trips = 0;
};

// The stop patterns of a route's trips that `use` keeps, the most used first (the first seen
// first among equals).
std::vector<Pattern> patterns(const Timetable& t, uint32_t route, const std::function<bool(const Trip&)>& use) {
    std::vector<Pattern> found;
    std::map<std::vector<uint32_t>, size_t> index;
    for (uint32_t trip = 0; trip < t.trips.size(); ++trip) {
        if (t.tripRoute[trip] != route || !use(t.trips[trip]) || t.tripStops[trip].empty()) continue;
        const auto [it, fresh] = index.emplace(t.tripStops[trip], found.size());
        if (fresh) found.push_back({t.tripStops[trip], trip, 0});
        ++found[it->second].trips;
    }
    std::stable_sort(found.begin(), found.end(), [](const Pattern& a, const Pattern& b) { return a.trips > b.trips; });
    return found;
}

// fare_rules.txt over fare_attributes.txt: the fare of a ride by its route, the zones it starts
// and ends in, and the zones it passes.
class Fares {
public:
    Fares(Feed& feed, const std::string& route) : route_(route) {
        require(feed, "fare_attributes.txt", "its fares cannot be known");
        require(feed, "fare_rules.txt", "its fares cannot be known");
        std::unordered_map<std::string, int> price;
        feed.read("fare_attributes.txt", {{"fare_id", true}, {"price", true}},
                  [&](const Feed::Row& r) { price[std::string(r[0])] = yen(r, r[1]); });
        std::map<std::tuple<std::string, std::string, std::string, std::string>, size_t> containing;
        feed.read("fare_rules.txt",
                  {{"fare_id", true},
                   {"route_id", false},
                   {"origin_id", false},
                   {"destination_id", false},
                   {"contains_id", false}},
                  [&](const Feed::Row& r) {
                      const auto p = price.find(std::string(r[0]));
                      if (p == price.end())
                          r.fail("fare_id", "\"" + std::string(r[0]) + "\" is no fare of fare_attributes.txt");
                      if (!r[1].empty() && r[1] != route_) return;
                      Rule rule{p->second, !r[1].empty(), std::string(r[2]), std::string(r[3]), {}};
                      if (r[4].empty()) {
                          rules_.push_back(std::move(rule));
                          return;
                      }
                      // Rows that differ only in contains_id are one rule for a ride through all of them.
                      const auto [it, fresh] = containing.emplace(
                          std::tuple{std::string(r[0]), std::string(r[1]), rule.origin, rule.destination},
                          rules_.size());
                      if (fresh) rules_.push_back(std::move(rule));
                      rules_[it->second].contains.insert(std::string(r[4]));
                  });
    }

    // The fare, a rule for the route before one for every route, the lowest among equals.
    std::optional<int> fare(const std::string& from, const std::string& to, const std::set<std::string>& passed) const {
        std::optional<std::pair<bool, int>> best;
        for (const Rule& r : rules_) {
            if ((!r.origin.empty() && r.origin != from) || (!r.destination.empty() && r.destination != to) ||
                (!r.contains.empty() && r.contains != passed))
                continue;
            if (!best || r.forRoute > best->first || (r.forRoute == best->first && r.price < best->second))
                best = std::pair{r.forRoute, r.price};
        }
        return best ? std::optional<int>(best->second) : std::nullopt;
    }

private:
    struct Rule {
        int price;
        bool forRoute;
        std::string origin, destination;
        std::set<std::string> contains;
    };

    static int yen(const Feed::Row& r, std::string_view text) {
        std::string_view whole = text.substr(0, text.find('.'));
        if (text.size() > whole.size() && text.find_first_not_of('0', whole.size() + 1) != std::string_view::npos)
            r.fail("price", "\"" + std::string(text) + "\" is not a whole number of yen");
        int value = -1;
        const auto [end, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), value);
        if (ec != std::errc{} || end != whole.data() + whole.size() || value < 0 || value > 32767)
            r.fail("price", "\"" + std::string(text) + "\" is not a fare from 0 to 32767");
        return value;
    }

    std::string route_;
    std::vector<Rule> rules_;
};

// Characters CP932 has no code for, and what is written instead: their look-alikes in CP932.
const std::map<char32_t, const char*> Substitutes = {
    {U'\u00A0', " "},    {U'\u9DD7', "鴎"},   {U'\U00020BB7', "吉"}, {U'\U0002123D', "土"}, {U'\u5861', "填"},
    {U'\u9EB5', "麺"},   {U'\u5C5B', "屏"},   {U'\u525D', "剥"},     {U'\u9830', "頬"},     {U'\u30F7', "ヴァ"},
    {U'\u30F8', "ヴィ"}, {U'\u30F9', "ヴェ"}, {U'\u30FA', "ヴォ"},
};

// Readings are given in hiragana or katakana; the readings dictionary holds katakana.
std::optional<std::string> katakana(const std::string& reading) {
    QString k;
    for (QChar c : QString::fromStdString(reading).normalized(QString::NormalizationForm_KC)) {
        if (c.isSpace()) continue;
        if (c.unicode() >= 0x3041 && c.unicode() <= 0x3096) c = QChar(c.unicode() + 0x60);
        if (c.unicode() < 0x30A1 || c.unicode() > 0x30FE) return std::nullopt;
        k += c;
    }
    if (k.isEmpty()) return std::nullopt;
    return k.toStdString();
}

// The ja-Hrkt translations of names, by stop id and by the text itself, in the older GTFS-JP
// layout (trans_id, lang, translation) or in the GTFS one (table_name, field_name, language,
// translation, record_id, field_value).
struct Readings {
    std::unordered_map<std::string, std::string> byText, byStop;

    explicit Readings(Feed& feed) {
        if (!feed.has("translations.txt")) return;
        enum { TransId, Lang, Translation, TableName, FieldName, Language, RecordId, FieldValue };
        feed.read("translations.txt",
                  {{"trans_id", false},
                   {"lang", false},
                   {"translation", true},
                   {"table_name", false},
                   {"field_name", false},
                   {"language", false},
                   {"record_id", false},
                   {"field_value", false}},
                  [&](const Feed::Row& r) {
                      if (r.at[TransId] >= 0) {
                          if (r[Lang] == "ja-Hrkt") byText[std::string(r[TransId])] = std::string(r[Translation]);
                      } else if (r[Language] == "ja-Hrkt") {
                          if (!r[FieldValue].empty())
                              byText[std::string(r[FieldValue])] = std::string(r[Translation]);
                          else if (r[TableName] == "stops" && r[FieldName] == "stop_name" && !r[RecordId].empty())
                              byStop[std::string(r[RecordId])] = std::string(r[Translation]);
                      }
                  });
    }
};

uint32_t findRoute(const Timetable& t, const std::string& id) {
    for (uint32_t r = 0; r < t.routes.size(); ++r)
        if (t.routes[r].id == id) return r;
    throw Failure("routes.txt has no route \"" + id + "\" (hy3tool gtfs FEED list shows the routes)");
}

} // namespace

std::string cp932Name(const std::string& utf8, std::vector<std::string>* changes) {
    std::string out;
    for (char32_t c : QString::fromStdString(utf8).toStdU32String()) {
        const std::string one = QString::fromStdU32String(std::u32string(1, c)).toStdString();
        if (cp932::fromUtf8(one)) {
            out += one;
            continue;
        }
        std::string instead = "〓";
        if (const auto s = Substitutes.find(c); s != Substitutes.end())
            instead = s->second;
        else if (const std::string compatible =
                     QString::fromStdString(one).normalized(QString::NormalizationForm_KC).toStdString();
                 compatible != one && cp932::fromUtf8(compatible))
            instead = compatible;
        if (changes)
            changes->push_back(
                "\"" + utf8 + "\": " + one + " (U+" +
                QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, '0').toStdString() +
                ") has no CP932 code and is written " + instead);
        out += instead;
    }
    return out;
}

std::optional<std::string> listRoutes(const std::string& path, std::string* error) try {
    Feed feed(path);
    const Timetable t = readTimetable(feed, [](const Route&) { return true; });
    std::string out;
    for (uint32_t r = 0; r < t.routes.size(); ++r) {
        const Route& route = t.routes[r];
        out += route.id + "\t" + route.shortName + "\t" + route.longName + "\n";
        for (int d : {-1, 0, 1})
            for (const Pattern& p : patterns(t, r, [d](const Trip& trip) { return trip.direction == d; }))
                out += "\tdirection " + directionText(d) + ": " + t.stops[p.stops.front()].name + " - " +
                       t.stops[p.stops.back()].name + ", " + std::to_string(p.stops.size()) + " stops, " +
                       std::to_string(p.trips) + (p.trips == 1 ? " trip (" : " trips (") + t.trips[p.firstTrip].id +
                       ")\n";
    }
    return out;
} catch (const Failure& f) {
    if (error) *error = f.what();
    return std::nullopt;
}

std::optional<Imported> importRoute(const std::string& path, const Request& request, std::string* error) try {
    Feed feed(path);
    const Fares fares(feed, request.route); // a feed without fares is refused before its timetable is read
    const Timetable t = readTimetable(feed, [&](const Route& r) { return r.id == request.route; });
    const uint32_t route = findRoute(t, request.route);
    std::vector<Pattern> found = patterns(t, route, [&](const Trip& trip) {
        return (!request.direction || trip.direction == *request.direction) &&
               (request.trip.empty() || trip.id == request.trip);
    });
    if (found.empty())
        throw Failure("trips.txt has no trip " + (request.trip.empty() ? std::string() : "\"" + request.trip + "\" ") +
                      "of route \"" + request.route + "\"" +
                      (request.direction ? " in direction " + std::to_string(*request.direction) : "") +
                      " with its stops in stop_times.txt");
    const Pattern& pattern = found.front();
    const size_t n = pattern.stops.size();
    if (n < 2 || n > static_cast<size_t>(fare::TableRows))
        throw Failure("the route has " + std::to_string(n) + " stops; a route file holds 2 to " +
                      std::to_string(fare::TableRows));

    Imported result;
    std::vector<const Stop*> stops;
    std::vector<std::string> names;
    for (uint32_t s : pattern.stops) {
        stops.push_back(&t.stops[s]);
        names.push_back(cp932Name(t.stops[s].name, &result.warnings));
    }
    // A ride's fare by the zones of its ends and those it passes; a missing one is said once per stop pair.
    std::set<std::pair<size_t, size_t>> missing;
    auto fareOf = [&](size_t from, size_t to) -> int16_t {
        std::set<std::string> passed;
        for (size_t s = from; s <= to; ++s) passed.insert(stops[s]->zone);
        if (const auto f = fares.fare(stops[from]->zone, stops[to]->zone, passed)) return static_cast<int16_t>(*f);
        if (missing.emplace(from, to).second)
            result.warnings.push_back("no fare rule from " + stops[from]->name + " (zone " + stops[from]->zone +
                                      ") to " + stops[to]->name + " (zone " + stops[to]->zone +
                                      "): the cell is left blank");
        return 0;
    };
    // Ticket k is taken at stop k; from the 32nd stop on every boarding takes ticket 32 and cell
    // 32 charges the ride from stop 32. A cell of the stop itself shows its shortest ride (at the
    // last stop, the ride from the stop before).
    for (size_t k = 0; k < n; ++k) {
        fare::FareRecord rec;
        rec.StopName = names[k];
        const size_t cells = std::min<size_t>(k + 1, fare::Cells);
        rec.TicketNumber = static_cast<int16_t>(cells);
        for (size_t i = 0; i < cells; ++i) {
            rec.column(static_cast<int>(i + 1)) = i < k       ? fareOf(i, k)
                                                  : k + 1 < n ? fareOf(k, k + 1)
                                                              : fareOf(k - 1, k);
            rec.column(fare::SmallColumnOffset + static_cast<int>(i + 1)) = static_cast<int16_t>(i + 1);
        }
        result.records.push_back(std::move(rec));
    }

    const Trip& trip = t.trips[pattern.firstTrip];
    const std::string headsign = trip.headsign.empty() ? names.back() : cp932Name(trip.headsign, &result.warnings);
    const Route& r = t.routes[route];
    const std::string routeName = cp932Name(!r.longName.empty() ? r.longName : r.shortName, &result.warnings);
    std::string tape =
        csv::quote("このバスは、" + (routeName.empty() ? std::string() : routeName + "、") + headsign + "行きです。") +
        ",0,1\r\n";
    for (size_t k = 1; k < n; ++k)
        tape += csv::quote("次は、" + std::string(k + 1 == n ? "終点、" : "") + names[k] + "です。") + ",1,1\r\n";
    result.tapeTable = *cp932::fromUtf8(tape);

    const Readings readings(feed);
    std::set<std::string> given;
    auto addReading = [&](const std::string& written, const std::string& original, const std::string* stopId) {
        auto it = stopId ? readings.byStop.find(*stopId) : readings.byStop.end();
        if (it == readings.byStop.end()) it = readings.byText.find(original);
        if (it == readings.byText.end() || !given.insert(written).second) return;
        if (const auto k = katakana(it->second))
            result.readings.emplace_back(written, *k);
        else
            result.warnings.push_back("translations.txt: the reading \"" + it->second + "\" of " + original +
                                      " is not kana and is left out");
    };
    for (size_t k = 0; k < n; ++k) addReading(names[k], stops[k]->name, &stops[k]->id);
    if (!trip.headsign.empty()) addReading(headsign, trip.headsign, nullptr);
    return result;
} catch (const Failure& f) {
    if (error) *error = f.what();
    return std::nullopt;
}

std::string mergeReadings(const std::string& existing,
                          const std::vector<std::pair<std::string, std::string>>& readings) {
    const auto key = [](const std::string& s) {
        return QString::fromStdString(s).trimmed().normalized(QString::NormalizationForm_KC);
    };
    std::set<QString> replaced;
    for (const auto& entry : readings) replaced.insert(key(entry.first));
    std::string out;
    std::istringstream in(existing);
    for (std::string line; std::getline(in, line);) {
        const std::string name = line.substr(0, line.find('\t'));
        if (line.find('\t') != std::string::npos && replaced.contains(key(name))) continue;
        out += line + "\n";
    }
    for (const auto& [name, reading] : readings) out += name + "\t" + reading + "\n";
    return out;
}

} // namespace gtfs
