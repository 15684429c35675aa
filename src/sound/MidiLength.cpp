#include "sound/MidiLength.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace midi {
namespace {

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool atEnd() const { return at_ >= bytes_.size(); }
    bool has(size_t n) const { return bytes_.size() - at_ >= n; }
    std::optional<uint32_t> be(int n) {
        if (!has(size_t(n))) return std::nullopt;
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 8 | uint8_t(bytes_[at_++]);
        return v;
    }
    // A variable-length quantity: at most four bytes of seven bits.
    std::optional<uint32_t> varlen() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const auto b = be(1);
            if (!b) return std::nullopt;
            v = v << 7 | (*b & 0x7F);
            if (!(*b & 0x80)) return v;
        }
        return std::nullopt;
    }
    bool skip(size_t n) {
        if (!has(n)) return false;
        at_ += n;
        return true;
    }
    std::string_view take(size_t n) {
        const std::string_view part = bytes_.substr(at_, n);
        at_ += n;
        return part;
    }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

// The last event's tick of one track, gathering its tempo changes (tick → microseconds per beat).
std::optional<uint64_t> readTrack(std::string_view track, std::map<uint64_t, uint32_t>& tempi) {
    Reader in(track);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!in.atEnd()) {
        const auto delta = in.varlen();
        const auto first = in.be(1);
        if (!delta || !first) return std::nullopt;
        tick += *delta;
        uint8_t status = uint8_t(*first);
        if (status == 0xFF) {
            const auto type = in.be(1);
            const auto length = type ? in.varlen() : std::nullopt;
            if (!length || !in.has(*length)) return std::nullopt;
            const std::string_view data = in.take(*length);
            if (*type == 0x2F) break; // end of track
            if (*type == 0x51 && data.size() == 3)
                tempi[tick] = uint32_t(uint8_t(data[0])) << 16 | uint32_t(uint8_t(data[1])) << 8 | uint8_t(data[2]);
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            const auto length = in.varlen();
            if (!length || !in.skip(*length)) return std::nullopt;
            continue;
        }
        size_t data = 0;
        if (status & 0x80) {
            running = status;
        } else {
            if (!running) return std::nullopt;
            status = running;
            data = 1; // the byte read was the first data byte
        }
        const uint8_t kind = status & 0xF0;
        const size_t size = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
        if (!in.skip(size - data)) return std::nullopt;
    }
    return tick;
}

} // namespace

std::optional<double> playingSeconds(std::string_view file) {
    Reader in(file);
    if (!in.has(14) || in.take(4) != "MThd") return std::nullopt;
    const auto headerLength = in.be(4);
    in.be(2); // format
    const auto tracks = in.be(2);
    const auto division = in.be(2);
    if (!headerLength || *headerLength < 6 || !in.skip(*headerLength - 6) || !*division) return std::nullopt;

    std::map<uint64_t, uint32_t> tempi{{0, 500000}}; // 120 beats a minute until told otherwise
    uint64_t end = 0;
    for (uint32_t t = 0; t < *tracks; ++t) {
        if (!in.has(8)) return std::nullopt;
        const std::string_view id = in.take(4);
        const auto length = in.be(4);
        if (!in.has(*length)) return std::nullopt;
        const std::string_view chunk = in.take(*length);
        if (id != "MTrk") continue; // chunks of unknown kinds are skipped, as the format asks
        const auto last = readTrack(chunk, tempi);
        if (!last) return std::nullopt;
        end = std::max(end, *last);
    }

    if (*division & 0x8000) { // SMPTE: frames a second times ticks a frame
        const int fps = -int(int8_t(*division >> 8));
        const int perFrame = *division & 0xFF;
        return fps > 0 && perFrame > 0 ? std::optional(double(end) / (fps * perFrame)) : std::nullopt;
    }
    double seconds = 0;
    for (auto it = tempi.begin(); it != tempi.end() && it->first < end; ++it) {
        const uint64_t until = std::next(it) == tempi.end() ? end : std::min(end, std::next(it)->first);
        seconds += double(until - it->first) * it->second / 1e6 / *division;
    }
    return seconds;
}

} // namespace midi
