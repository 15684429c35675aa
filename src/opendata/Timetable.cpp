#include "opendata/Timetable.h"

#include "fare/StopTimes.h"
#include "reslib/Cp932.h"
#include "reslib/Csv.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <tuple>

namespace opendata {
namespace {

constexpr int32_t Untimed = -1;
// The index of a stops.txt entry that is no place to call at: a station, an entrance, a node.
constexpr uint32_t NotAStop = UINT32_MAX;

void require(const Feed& feed, const std::string& name, const std::string& what) {
    if (!feed.has(name)) throw Error("the feed has no " + name + ": " + what);
}

int yen(const Feed::Row& r, std::string_view text) {
    std::string_view whole = text.substr(0, text.find('.'));
    if (text.size() > whole.size() && text.find_first_not_of('0', whole.size() + 1) != std::string_view::npos)
        r.fail("price", "\"" + std::string(text) + "\" is not a whole number of yen");
    int value = -1;
    const auto [end, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), value);
    if (ec != std::errc{} || end != whole.data() + whole.size() || value < 0 || value > 32767)
        r.fail("price", "\"" + std::string(text) + "\" is not a fare from 0 to 32767");
    return value;
}

// Readings are given in hiragana or katakana; the readings dictionary holds katakana.
std::optional<std::string> katakana(const std::string& reading) {
    const std::string form = cp932::compatible(reading);
    std::string k;
    for (int32_t i = 0, length = static_cast<int32_t>(form.size()); i < length;) {
        UChar32 c = 0;
        U8_NEXT(form.data(), i, length, c);
        if (u_isUWhiteSpace(c)) continue;
        if (c >= 0x3041 && c <= 0x3096) c += 0x60;
        if (c < 0x30A1 || c > 0x30FE) return std::nullopt;
        char bytes[U8_MAX_LENGTH];
        int32_t n = 0;
        U8_APPEND_UNSAFE(bytes, n, c);
        k.append(bytes, static_cast<size_t>(n));
    }
    if (k.empty()) return std::nullopt;
    return k;
}

} // namespace

Timetable Timetable::read(Feed& feed) {
    Timetable t;
    for (const char* name : {"routes.txt", "stops.txt", "trips.txt", "stop_times.txt"})
        require(feed, name, "it is no GTFS feed");
    t.readFares(feed);
    // A feed of one agency may leave agency_id out, in agency.txt and in routes.txt alike.
    std::unordered_map<std::string, std::string> agencyName;
    if (feed.has("agency.txt"))
        feed.read("agency.txt", {{"agency_id", false}, {"agency_name", true}},
                  [&](const Feed::Row& r) { agencyName[std::string(r[0])] = std::string(r[1]); });
    t.severalAgencies_ = agencyName.size() > 1;
    std::unordered_map<std::string, uint32_t> routeIndex;
    feed.read("routes.txt",
              {{"route_id", true}, {"route_short_name", false}, {"route_long_name", false}, {"agency_id", false}},
              [&](const Feed::Row& r) {
                  if (!routeIndex.emplace(std::string(r[0]), static_cast<uint32_t>(t.routes_.size())).second)
                      r.fail("route_id", "\"" + std::string(r[0]) + "\" is given twice");
                  std::string agency;
                  if (r[3].empty() && agencyName.size() == 1)
                      agency = agencyName.begin()->second;
                  else if (const auto a = agencyName.find(std::string(r[3])); a != agencyName.end())
                      agency = a->second;
                  else if (!r[3].empty() && feed.has("agency.txt"))
                      r.fail("agency_id", "\"" + std::string(r[3]) + "\" is no agency of agency.txt");
                  t.routes_.push_back({std::string(r[0]), std::string(r[1]), std::string(r[2]), std::move(agency)});
              });
    std::unordered_map<std::string, uint32_t> stopIndex;
    t.readStops(feed, stopIndex);
    std::unordered_map<std::string, uint32_t> tripIndex;
    t.tripsOf_.resize(t.routes_.size());
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
                  tripIndex.emplace(std::string(r[1]), static_cast<uint32_t>(t.trips_.size()));
                  t.tripsOf_[route->second].push_back(static_cast<uint32_t>(t.trips_.size()));
                  t.trips_.push_back({std::string(r[1]), std::string(r[3]), direction, route->second});
              });
    struct Call {
        uint32_t trip, sequence, stop;
        fare::StopTime time;
    };
    std::vector<Call> calls;
    std::vector<uint32_t> callsOf(t.trips_.size());
    const size_t most = feed.limits().stopsPerTrip;
    feed.read("stop_times.txt",
              {{"trip_id", true},
               {"stop_id", true},
               {"stop_sequence", true},
               {"arrival_time", false},
               {"departure_time", false}},
              [&](const Feed::Row& r) {
                  const auto trip = tripIndex.find(std::string(r[0]));
                  if (trip == tripIndex.end())
                      r.fail("trip_id", "\"" + std::string(r[0]) + "\" is no trip of trips.txt");
                  if (++callsOf[trip->second] > most)
                      r.fail("trip_id", "\"" + std::string(r[0]) + "\" has more than " + std::to_string(most) +
                                            " stops, the most a trip may have");
                  const auto stop = stopIndex.find(std::string(r[1]));
                  if (stop == stopIndex.end())
                      r.fail("stop_id", "\"" + std::string(r[1]) + "\" is no stop of stops.txt");
                  if (stop->second == NotAStop)
                      r.fail("stop_id", "\"" + std::string(r[1]) +
                                            "\" is a station or a part of one in stops.txt, where no trip calls");
                  uint32_t sequence = 0;
                  const auto [end, ec] = std::from_chars(r[2].data(), r[2].data() + r[2].size(), sequence);
                  if (ec != std::errc{} || end != r[2].data() + r[2].size())
                      r.fail("stop_sequence", "\"" + std::string(r[2]) + "\" is not a whole number");
                  // A stop between timepoints may have no time; one time given serves for both.
                  fare::StopTime time{Untimed, Untimed};
                  for (const auto& [column, field, into] : {std::tuple{3, "arrival_time", &time.arrival},
                                                            std::tuple{4, "departure_time", &time.departure}}) {
                      if (r[column].empty()) continue;
                      const auto seconds = fare::stoptimes::parseClock(r[column]);
                      if (!seconds || *seconds > fare::stoptimes::MaxSeconds)
                          r.fail(field, "\"" + std::string(r[column]) + "\" is no time of day such as 25:10:00");
                      *into = *seconds;
                  }
                  if (time.arrival == Untimed) time.arrival = time.departure;
                  if (time.departure == Untimed) time.departure = time.arrival;
                  calls.push_back({trip->second, sequence, stop->second, time});
              });
    std::sort(calls.begin(), calls.end(), [](const Call& a, const Call& b) {
        return a.trip != b.trip ? a.trip < b.trip : a.sequence < b.sequence;
    });
    t.tripStops_.resize(t.trips_.size());
    t.tripTimes_.resize(t.trips_.size());
    for (size_t trip = 0; trip < t.trips_.size(); ++trip) { // each at its size: no regrowing, no spare room
        t.tripStops_[trip].reserve(callsOf[trip]);
        t.tripTimes_[trip].reserve(callsOf[trip]);
    }
    for (const Call& c : calls) {
        t.tripStops_[c.trip].push_back(c.stop);
        t.tripTimes_[c.trip].push_back(c.time);
    }
    t.readReadings(feed);
    return t;
}

// Trips call at stops and at the platforms of stations (location_type 0, or none); a platform
// that leaves its name or zone blank takes its station's, as the station stands for it.
void Timetable::readStops(Feed& feed, std::unordered_map<std::string, uint32_t>& index) {
    std::unordered_map<std::string, Stop> stations;
    std::vector<std::pair<std::string, int>> parents; // beside stops_: parent_station and its line
    feed.read("stops.txt",
              {{"stop_id", true},
               {"stop_name", true},
               {"zone_id", false},
               {"location_type", false},
               {"parent_station", false}},
              [&](const Feed::Row& r) {
                  Stop stop{std::string(r[0]), std::string(r[1]), std::string(r[2])};
                  if (!r[3].empty() && r[3] != "0") {
                      index.emplace(stop.id, NotAStop);
                      if (r[3] == "1") stations.emplace(stop.id, std::move(stop));
                      return;
                  }
                  index.emplace(stop.id, static_cast<uint32_t>(stops_.size()));
                  stops_.push_back(std::move(stop));
                  parents.emplace_back(std::string(r[4]), r.line);
              });
    for (size_t s = 0; s < stops_.size(); ++s) {
        const auto& [parent, line] = parents[s];
        if (parent.empty()) continue;
        const auto station = stations.find(parent);
        if (station == stations.end())
            throw Error("stops.txt: line " + std::to_string(line) + ": parent_station \"" + parent +
                        "\" is no station of stops.txt");
        if (stops_[s].name.empty()) stops_[s].name = station->second.name;
        if (stops_[s].zone.empty()) stops_[s].zone = station->second.zone;
    }
}

// fare_rules.txt over fare_attributes.txt: the fare of a ride by its route, the zones it starts
// and ends in, and the zones it passes. A feed without them can still be listed.
void Timetable::readFares(Feed& feed) {
    for (const char* name : {"fare_attributes.txt", "fare_rules.txt"})
        if (noFares_.empty() && !feed.has(name))
            noFares_ = "the feed has no " + std::string(name) + ": its fares cannot be known";
    // Fares of the newer layout are products priced per leg by networks and areas, which a
    // route's table of zone fares cannot hold.
    if (!noFares_.empty() && (feed.has("fare_products.txt") || feed.has("fare_leg_rules.txt")))
        noFares_ = "the feed gives its fares only in fare_products.txt and fare_leg_rules.txt, which are not read";
    if (!noFares_.empty()) return;
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
                  FareRule rule{p->second, std::string(r[1]), std::string(r[2]), std::string(r[3]), {}};
                  if (r[4].empty()) {
                      fareRules_.push_back(std::move(rule));
                      return;
                  }
                  // Rows that differ only in contains_id are one rule for a ride through all of them.
                  const auto [it, fresh] = containing.emplace(
                      std::tuple{std::string(r[0]), rule.route, rule.origin, rule.destination}, fareRules_.size());
                  if (fresh) fareRules_.push_back(std::move(rule));
                  fareRules_[it->second].contains.insert(std::string(r[4]));
              });
}

// The fare, a rule for the route before one for every route, the lowest among equals.
std::optional<int> Timetable::fare(const std::string& route, const std::string& from, const std::string& to,
                                   const std::set<std::string>& passed) const {
    std::optional<std::pair<bool, int>> best;
    for (const FareRule& r : fareRules_) {
        if ((!r.route.empty() && r.route != route) || (!r.origin.empty() && r.origin != from) ||
            (!r.destination.empty() && r.destination != to) || (!r.contains.empty() && r.contains != passed))
            continue;
        const bool forRoute = !r.route.empty();
        if (!best || forRoute > best->first || (forRoute == best->first && r.price < best->second))
            best = std::pair{forRoute, r.price};
    }
    return best ? std::optional<int>(best->second) : std::nullopt;
}

// The ja-Hrkt translations of names, by stop id and by the text itself, in the older GTFS-JP
// layout (trans_id, lang, translation) or in the GTFS one (table_name, field_name, language,
// translation, record_id, field_value).
void Timetable::readReadings(Feed& feed) {
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
                      if (r[Lang] == "ja-Hrkt") readingByText_[std::string(r[TransId])] = std::string(r[Translation]);
                  } else if (r[Language] == "ja-Hrkt") {
                      if (!r[FieldValue].empty())
                          readingByText_[std::string(r[FieldValue])] = std::string(r[Translation]);
                      else if (r[TableName] == "stops" && r[FieldName] == "stop_name" && !r[RecordId].empty())
                          readingByStop_[std::string(r[RecordId])] = std::string(r[Translation]);
                  }
              });
}

std::vector<Pattern> Timetable::patterns(uint32_t route, const std::function<bool(const Trip&)>& use) const {
    std::vector<Pattern> found;
    std::map<std::vector<uint32_t>, size_t> index;
    for (uint32_t trip : tripsOf_[route]) {
        if (!use(trips_[trip]) || tripStops_[trip].empty()) continue;
        const auto [it, fresh] = index.emplace(tripStops_[trip], found.size());
        if (fresh) found.push_back({tripStops_[trip], trip, 0});
        ++found[it->second].trips;
    }
    std::stable_sort(found.begin(), found.end(), [](const Pattern& a, const Pattern& b) { return a.trips > b.trips; });
    return found;
}

ImportedRoute Timetable::prepare(const Request& request) const {
    if (!noFares_.empty() && !request.blankFares) throw Error(noFares_);
    const auto routeAt =
        std::find_if(routes_.begin(), routes_.end(), [&](const Route& r) { return r.id == request.route; });
    if (routeAt == routes_.end())
        throw Error("routes.txt has no route \"" + request.route + "\" (hy3tool gtfs FEED list shows the routes)");
    const Route& route = *routeAt;
    std::vector<Pattern> found = patterns(static_cast<uint32_t>(routeAt - routes_.begin()), [&](const Trip& trip) {
        return (!request.direction || trip.direction == *request.direction) &&
               (request.trip.empty() || trip.id == request.trip);
    });
    if (found.empty())
        throw Error("trips.txt has no trip " + (request.trip.empty() ? std::string() : "\"" + request.trip + "\" ") +
                    "of route \"" + request.route + "\"" +
                    (request.direction ? " in direction " + std::to_string(*request.direction) : "") +
                    " with its stops in stop_times.txt");
    const Pattern& pattern = found.front();
    const size_t n = pattern.stops.size();
    if (n < 2 || n > static_cast<size_t>(fare::TableRows))
        throw Error("the route has " + std::to_string(n) + " stops; a route file holds 2 to " +
                    std::to_string(fare::TableRows));

    ImportedRoute result;
    if (!noFares_.empty()) result.warnings.push_back(noFares_ + ": every cell is left blank");
    std::vector<const Stop*> stops;
    for (uint32_t s : pattern.stops) {
        stops.push_back(&stops_[s]);
        result.stops.push_back({cp932::substitute(stops_[s].name, &result.warnings), {}, {}});
    }
    // A ride's fare by the zones of its ends and those it passes; a missing one is said once per stop pair.
    std::set<std::pair<size_t, size_t>> missing;
    auto fareOf = [&](size_t from, size_t to) -> int16_t {
        std::set<std::string> passed;
        for (size_t s = from; s <= to; ++s) passed.insert(stops[s]->zone);
        if (const auto f = fare(route.id, stops[from]->zone, stops[to]->zone, passed)) return static_cast<int16_t>(*f);
        if (missing.emplace(from, to).second && noFares_.empty())
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
        rec.StopName = result.stops[k].name;
        const size_t cells = std::min<size_t>(k + 1, fare::Cells);
        rec.TicketNumber = static_cast<int16_t>(cells);
        for (size_t i = 0; i < cells; ++i) {
            rec.column(static_cast<int>(i + 1)) = i < k       ? fareOf(i, k)
                                                  : k + 1 < n ? fareOf(k, k + 1)
                                                              : fareOf(k - 1, k);
            rec.column(fare::SmallColumnOffset + static_cast<int>(i + 1)) = static_cast<int16_t>(i + 1);
        }
        result.records.push_back(std::move(rec));
        if (k > 0 && !missing.contains({0, k})) result.stops[k].fare = result.records[k].column(1);
    }

    const Trip& trip = trips_[pattern.firstTrip];
    const std::string headsign =
        trip.headsign.empty() ? result.stops.back().name : cp932::substitute(trip.headsign, &result.warnings);
    const std::string routeName =
        cp932::substitute(!route.longName.empty() ? route.longName : route.shortName, &result.warnings);
    std::string tape =
        csv::quote("このバスは、" + (routeName.empty() ? std::string() : routeName + "、") + headsign + "行きです。") +
        ",0,1\r\n";
    for (size_t k = 1; k < n; ++k)
        tape += csv::quote("次は、" + std::string(k + 1 == n ? "終点、" : "") + result.stops[k].name + "です。") +
                ",1,1\r\n";
    result.tapeTable = *cp932::fromUtf8(tape);

    std::set<std::string> given;
    auto addReading = [&](const std::string& written, const std::string& original,
                          const std::string* stopId) -> std::optional<std::string> {
        const std::string* reading = nullptr;
        if (const auto byStop = stopId ? readingByStop_.find(*stopId) : readingByStop_.end();
            byStop != readingByStop_.end())
            reading = &byStop->second;
        else if (const auto byText = readingByText_.find(original); byText != readingByText_.end())
            reading = &byText->second;
        if (!reading) return std::nullopt;
        const auto k = katakana(*reading);
        if (!given.insert(written).second) return k;
        if (k)
            result.readings.emplace_back(written, *k);
        else
            result.warnings.push_back("translations.txt: the reading \"" + *reading + "\" of " + original +
                                      " is not kana and is left out");
        return k;
    };
    for (size_t k = 0; k < n; ++k)
        result.stops[k].reading = addReading(result.stops[k].name, stops[k]->name, &stops[k]->id).value_or("");
    if (!trip.headsign.empty()) addReading(headsign, trip.headsign, nullptr);

    // The ride keeps the trip's times only when every stop has one and they run forward.
    const std::vector<fare::StopTime>& times = tripTimes_[pattern.firstTrip];
    if (fare::stoptimes::read(fare::stoptimes::write(times), nullptr))
        result.times = times;
    else
        result.warnings.push_back("stop_times.txt: trip \"" + trip.id +
                                  "\" has a stop without a time or times that run backwards: no times are kept");
    return result;
}

} // namespace opendata
