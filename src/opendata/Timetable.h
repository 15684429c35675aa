#pragma once
// The timetable of an open-data feed (GTFS-JP), read once: its routes, stops, trips with their
// stop patterns, fares and the readings of names. Listing, previewing and importing a route all
// ask this model; nothing here writes a file.
#include "fare/FareTable.h"
#include "fare/StopTimes.h"
#include "opendata/Feed.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace opendata {

struct Route {
    std::string id, shortName, longName;
    std::string agency; // the agency's name; empty when the feed does not say
};

struct Trip {
    std::string id, headsign;
    int direction = -1; // -1: not given
    std::uint32_t route = 0;
};

// A place where trips call: a stop, or a platform with its station's name and zone where it
// has none of its own. Stations themselves are never stops.
struct Stop {
    std::string id, name, zone;
};

// The trips of a route that call at the same stops in the same order.
struct Pattern {
    std::vector<std::uint32_t> stops; // indexes into Timetable::stops()
    std::uint32_t firstTrip = 0;
    int trips = 0;
};

// Which stop pattern of a route to import.
struct Request {
    std::string route;
    std::optional<int> direction; // none: every direction
    std::string trip;             // empty: the most used stop pattern
    bool blankFares = false;      // a feed without fares gives a route with blank cells, not an error
};

// One stop of a route as the import writes it.
struct RouteStop {
    std::string name;        // as written: what CP932 can hold
    std::string reading;     // katakana; empty when the feed gives none
    std::optional<int> fare; // from the first stop; none at the first stop and without a fare rule
};

// A route made from a stop pattern, ready to be written.
struct ImportedRoute {
    std::vector<RouteStop> stops;
    std::vector<fare::FareRecord> records;
    std::string tapeTable;                                     // CP932, CR LF
    std::vector<std::pair<std::string, std::string>> readings; // name as written, katakana
    std::vector<std::string> warnings; // names changed for CP932, missing fares, unusable readings
    std::vector<fare::StopTime> times; // the trip's, a stop each; empty when the feed cannot give them all
};

class Timetable {
public:
    // Reads the feed's tables; throws Error naming the file, line and field of the first fault.
    static Timetable read(Feed& feed);

    const std::vector<Route>& routes() const { return routes_; }
    const std::vector<Stop>& stops() const { return stops_; }
    const std::vector<Trip>& trips() const { return trips_; }
    // Whether the routes are run by more than one agency, so that a list names the agency.
    bool severalAgencies() const { return severalAgencies_; }

    // The stop patterns of a route's trips that `use` keeps, the most used first (the first
    // seen first among equals).
    std::vector<Pattern> patterns(std::uint32_t route, const std::function<bool(const Trip&)>& use) const;

    // The route the request picks, with its warnings; throws Error when the feed cannot give it.
    ImportedRoute prepare(const Request& request) const;

private:
    struct FareRule {
        int price;
        std::string route, origin, destination;
        std::set<std::string> contains;
    };
    std::optional<int> fare(const std::string& route, const std::string& from, const std::string& to,
                            const std::set<std::string>& passed) const;
    void readFares(Feed& feed);
    void readReadings(Feed& feed);

    void readStops(Feed& feed, std::unordered_map<std::string, uint32_t>& index);

    std::vector<Route> routes_;
    bool severalAgencies_ = false;
    std::vector<Stop> stops_;
    std::vector<Trip> trips_;
    std::vector<std::vector<std::uint32_t>> tripsOf_;    // by route, in trips.txt order: patterns() scans its own
    std::vector<std::vector<std::uint32_t>> tripStops_;  // stop indexes in stop_sequence order
    std::vector<std::vector<fare::StopTime>> tripTimes_; // beside tripStops_; -1 where a stop has none
    std::string noFares_;                                // why the fares cannot be known, if so
    std::vector<FareRule> fareRules_;
    std::unordered_map<std::string, std::string> readingByText_, readingByStop_;
};

} // namespace opendata
