#include "sound/mdlM_Tape.h"

#include "reslib/Cp932.h"
#include "reslib/Csv.h"
#include "reslib/TextLib.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Blanks = " \t";

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(Blanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(Blanks) - first + 1);
}

std::optional<int16_t> flag(std::string_view field) {
    field = trim(field);
    // from_chars takes no plus sign, but "+1" is as decimal as "1".
    if (field.size() > 1 && field[0] == '+' && field[1] != '-') field.remove_prefix(1);
    int16_t value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc{} || end != field.data() + field.size()) return std::nullopt;
    return value;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

// The exact name first; otherwise the folder's file whose name differs only in case (the first
// by name, should there be several), since tables written on Windows come as 12Tp.csv as often.
std::optional<fs::path> findTable(const std::string& dir, const std::string& name) {
    std::error_code ec;
    const fs::path exact = dir + name;
    if (fs::is_regular_file(exact, ec)) return exact;
    std::optional<fs::path> found;
    for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& other = it->path();
        if (sameIgnoringCase(other.filename().string(), name) && it->is_regular_file(ec) && (!found || other < *found))
            found = other;
    }
    return found;
}

// The table is read from its file as it is parsed, never held whole: of a table at the size
// limit only the entries are kept.
bool openBounded(const fs::path& path, std::ifstream& in) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec || size > MaxTapeFileBytes) return false;
    in.open(path, std::ios::binary);
    return in.is_open();
}

// The voice could never be bound on Windows Vista: there the broadcast stays off and no table
// is read. Other systems never report that name.
bool onVista() { return GetOsInfo() == "Windows Vista"; }

} // namespace

// Every row is one entry, except that blank lines are skipped: an author who leaves an empty
// line between the stops, or at the end of the file, expects no silent announcement and no
// table refused over it. An unquoted text loses the blanks around it, a quoted one keeps them.
std::optional<std::vector<TapeEntry>> parseTapeTable(std::string_view bytes, std::string* error) {
    std::istringstream in{std::string(bytes)};
    return parseTapeTable(in, error);
}

std::optional<std::vector<TapeEntry>> parseTapeTable(std::istream& in, std::string* error) {
    csv::Reader reader(in);
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::nullopt;
    };
    std::vector<TapeEntry> entries;
    std::vector<std::string> fields;
    for (csv::Reader::Next next; (next = reader.next(fields)) != csv::Reader::Next::End;) {
        if (next == csv::Reader::Next::Error) return fail(reader.error());
        const auto at = [&] { return "line " + std::to_string(reader.line()) + ": "; };
        if (fields.size() != 3)
            return fail(at() + std::to_string(fields.size()) + " fields where a text and two flags belong");
        std::optional<std::string> text;
        if (!reader.hadByteOrderMark())
            text = cp932::toUtf8Strict(fields[0]);
        else if (cp932::isUtf8(fields[0]))
            text = fields[0];
        if (!text)
            return fail(at() + (reader.hadByteOrderMark() ? "the text is not UTF-8"
                                                          : "the text holds bytes that are not CP932"));
        const auto step = flag(fields[1]);
        const auto sound = flag(fields[2]);
        if (!step || !sound) return fail(at() + "a flag is not a number from -32768 to 32767");
        entries.push_back({reader.quoted(0) ? std::move(*text) : std::string(trim(*text)), *step, *sound});
    }
    if (entries.empty()) return fail("no announcement");
    return entries;
}

std::string readingsFileIn(const std::string& tapeDir) {
    const std::string dir = tapeDir.empty() || tapeDir.back() == '/' ? tapeDir : tapeDir + '/';
    const auto path = findTable(dir, "readings.tsv");
    return path ? path->string() : std::string();
}

void BroadcastTape::tapeInit(Speaker* speaker) {
    speaker_ = onVista() ? nullptr : speaker;
    speechAvailable_ = speaker_ != nullptr;
    view_.setSpeechAvailable(speechAvailable_);
}

void BroadcastTape::tapeLoad(const std::string& dir, const std::string& fileNumber) {
    if (onVista()) return;
    if (speaker_) speaker_->useReadings(readingsFileIn(dir));
    table_.clear();
    const auto path = findTable(dir, fileNumber + "tp.csv");
    std::ifstream in;
    std::string error = "larger than " + std::to_string(MaxTapeFileBytes) + " bytes or unreadable";
    auto entries = path && openBounded(*path, in) ? parseTapeTable(in, &error) : std::nullopt;
    // A read that failed is no end of the file: the table is not taken as shorter than it is.
    if (in.bad()) entries.reset();
    if (!entries) {
        if (path) std::fprintf(stderr, "%s: %s\n", path->string().c_str(), error.c_str());
        view_.disableTapeGroup();
        showUpcoming();
        return;
    }
    table_ = std::move(*entries);
    if (speechAvailable_) view_.enableTapeButtons();
    position_ = 0;
    showUpcoming();
}

void BroadcastTape::tapeNext() {
    if (++position_ > count()) {
        position_ = count();
        return;
    }
    chime(selected(options_.PreTapeSoundAlways) ? &options_.PreTapeSoundFile : flagSound(position_), "S3");
    tapeSpeak(position_);
    showUpcoming();
}

// Going back never plays the every-announcement sound, only the entry's own.
void BroadcastTape::tapeBack() {
    if (--position_ < 1) {
        position_ = 1;
        return;
    }
    chime(flagSound(position_), "S2");
    tapeSpeak(position_);
    showUpcoming();
}

// A new text always cuts off the one still being spoken.
void BroadcastTape::tapeSpeak(int32_t p) {
    if (!speaker_ || p < 1 || p > count()) return;
    speaker_->stopSpeaking();
    speaker_->speak(table_[p - 1].text);
    if (speaker_->status() == -1) speaker_->stopSpeaking();
}

void BroadcastTape::tapeStop() {
    if (speaker_) speaker_->stopSpeaking();
}

void BroadcastTape::tapeRelease() { speaker_ = nullptr; }

int16_t BroadcastTape::stepFlag(int32_t p) const { return p >= 1 && p <= count() ? table_[p - 1].stepFlag : 0; }

int16_t BroadcastTape::soundFlag(int32_t p) const { return p >= 1 && p <= count() ? table_[p - 1].soundFlag : 0; }

const std::string* BroadcastTape::flagSound(int32_t p) const {
    switch (soundFlag(p)) {
    case 1: return &options_.PreTapeSoundFile1;
    case 2: return &options_.PreTapeSoundFile2;
    case 3: return &options_.PreTapeSoundFile3;
    default: return nullptr;
    }
}

void BroadcastTape::showUpcoming() {
    const auto text = [this](int32_t p) { return p >= 1 && p <= count() ? table_[p - 1].text : std::string(); };
    view_.showUpcoming(text(position_ + 1), text(position_ - 1));
}

void BroadcastTape::chime(const std::string* file, const char* channel) {
    if (file) sound_.playSound(*file, channel, selected(options_.PreTapeSoundSync));
}
