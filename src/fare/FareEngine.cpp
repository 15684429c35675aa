#include "fare/FareEngine.h"

#include "fare/Hy3File.h"
#include "reslib/CodedError.h"

#include <cstdio>
#include <filesystem>

namespace fare {

long long numericValue(std::string_view text) {
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (v < 1'000'000'000'000LL) v = v * 10 + (c - '0'); // saturates long before overflow
    }
    return v;
}

std::string fareFileName(std::string_view routeText) { return std::to_string(numericValue(routeText)) + ".hy3"; }

std::string withTrailingSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

std::string dataFolder(const std::string& chosen, const std::string& samples) {
    if (!chosen.empty() || samples.empty()) return chosen;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(".", ec))
        if (entry.path().extension() == ".hy3" && entry.is_regular_file(ec)) return chosen;
    return samples;
}

int16_t clampSection(long long section) {
    if (section < 1) return 1;
    if (section > MaxStartSection) return MaxStartSection;
    return static_cast<int16_t>(section);
}

std::string dateText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.month, t.day, t.year);
    return buf;
}

std::string timeText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

void FareEngine::run(std::function<void()> operation) {
    waiting_.push_back(std::move(operation));
    if (running_) return; // carried out by the operation that is running, once it has ended
    running_ = true;
    struct Done {
        FareEngine& e;
        ~Done() {
            e.running_ = false;
            e.waiting_.clear(); // after a failure nothing half-queued is left to run later
        }
    } done{*this};
    while (!waiting_.empty()) {
        const std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
}

void FareEngine::routeSet(EntrySource source) {
    run([this, source] { doRouteSet(source); });
}

void FareEngine::dispData(int record) {
    run([this, record] { draw(record); });
}

void FareEngine::step(StepDirection direction) {
    run([this, direction] { doStep(direction); });
}

void FareEngine::displayClear(bool on) {
    run([this, on] {
        if (on) {
            board_.clearDisplays();
        } else {
            board_.restoreDisplays();
            draw(state_.CurrentStop + 1);
        }
    });
}

void FareEngine::redrawStopName() {
    run([this] {
        board_.setChimei("");
        board_.setChimei(currentRecord().StopName);
    });
}

std::string FareEngine::fareFolder() const {
    return withTrailingSlash(dataFolder(options_.FareDataDir, sampleFolder_));
}

std::string FareEngine::tapeFolder() const {
    return withTrailingSlash(dataFolder(options_.TapeDataDir, sampleFolder_));
}

std::string FareEngine::timesFile() const {
    return fareFolder() + std::to_string(numericValue(state_.RouteText)) + "times.csv";
}

void FareEngine::doRouteSet(EntrySource source) {
    const std::string fareDir = fareFolder();
    const std::string tapeDir = tapeFolder();
    devices_.sound.playSound(options_.SoundKeitoSet, "S1", false);

    state_.RouteText.clear();
    RouteEntry entry = panel_.readEntry(source);
    state_.RouteText = entry.routeText;
    state_.StartSection = clampSection(numericValue(entry.sectionText));

    devices_.broadcast.tapeLoad(tapeDir, std::to_string(numericValue(state_.RouteText)));

    const std::string path = fareDir + fareFileName(state_.RouteText);
    std::error_code ec;
    // A folder named like a route file counts as no data, like a missing file.
    if (!std::filesystem::is_regular_file(path, ec)) {
        panel_.showMessage(NoDataMessage);
        return;
    }
    ErrorCode why{};
    std::optional<std::string> bytes = hy3::loadBytes(path, &why);
    if (!bytes) {
        panel_.showMessage(codedError(why).text);
        return;
    }

    // A damaged file is refused before any state changes, so the loaded route stays usable.
    std::string error;
    auto header = hy3::readHeader(*bytes, &error);
    if (!header) {
        panel_.showMessage(error);
        return;
    }
    if (header->count == 0) {
        state_.StopCount = 0;
        panel_.showMessage(ZeroCountMessage);
        return;
    }
    if (header->count - 1 < state_.StartSection) {
        state_.StopCount = header->count;
        panel_.showMessage(SectionMessage);
        return;
    }
    if (!hy3::check(*bytes, &error)) {
        panel_.showMessage(error);
        return;
    }

    state_.StopCount = header->count;
    state_.CurrentStop = static_cast<int16_t>(state_.StartSection - 1);
    // The old route goes before the new one is read, and the file's bytes before the lamp test:
    // the largest route's names take 30 MB, its file 20 MB.
    table_.clear();
    std::vector<FareRecord> records = *hy3::read(*bytes, nullptr); // checked whole above
    bytes.reset();
    for (size_t r = 0; r < records.size(); ++r) table_.row(static_cast<int>(r) + 1) = std::move(records[r]);
    ++routesLoaded_;

    board_.setChimei(SelectingText);
    board_.lampTest();
    board_.zeroAll();
    panel_.enableDataControls();

    if (selected(options_.DateFixed) && !selected(options_.DatePerPrint) && !selected(options_.DateAtKeitoSet))
        state_.TicketDate = options_.FixedDate;
    else
        state_.TicketDate = dateText(devices_.clock.now());

    draw(state_.CurrentStop + 1);
}

void FareEngine::draw(int record) {
    if (record < 1 || record > TableRows) return; // no such row: nothing to draw
    const FareRecord& r = table_.row(record);

    for (int i = state_.StartSection < 1 ? 1 : state_.StartSection; i <= Cells; ++i) {
        const int16_t v = r.column(i);
        if (panel_.lateNight()) {
            if (v != -1 && (v > 16383 || v < -16384)) {
                // The doubled fare has no 16-bit value: this cell and the rest stay as they were.
                panel_.showMessage(OverflowMessage);
                return;
            }
            board_.setFare(i, v == -1 ? int16_t{-1} : static_cast<int16_t>(2 * v));
        } else {
            board_.setFare(i, v);
        }
        board_.setSmall(i, r.column(i + SmallColumnOffset));
    }

    // Information cells, in this order; a later one overwrites an earlier one in the same cell.
    auto cellOf = [](int16_t pos) { return pos >= 0 && pos < Cells ? pos + 1 : 0; };
    if (options_.InfoKukanShow) {
        if (int c = cellOf(options_.InfoKukanPos))
            board_.setFare(c, static_cast<int16_t>(options_.InfoKukanFromZero ? record - 1 : record));
    }
    if (options_.InfoSeiriShow) {
        if (int c = cellOf(options_.InfoSeiriPos)) board_.setFare(c, r.TicketNumber);
    }
    if (options_.InfoKeitoShow) {
        if (int c = cellOf(options_.InfoKeitoPos)) board_.setFareText(c, state_.RouteText);
    }
    if (options_.InfoColumnShow && options_.InfoColumnNo >= 0 && options_.InfoColumnNo < DataColumns) {
        if (int c = cellOf(options_.InfoColumnPos)) board_.setFare(c, r.column(options_.InfoColumnNo + 1));
    }

    const LocalTime now = devices_.clock.now();
    std::string date;
    if (selected(options_.DatePerPrint))
        date = dateText(now);
    else if (selected(options_.DateAtKeitoSet))
        date = state_.TicketDate;
    else if (selected(options_.DateFixed))
        date = options_.FixedDate;

    panel_.clearPreview();
    if (options_.UseSeiriPrev) {
        panel_.drawTicket(TicketArgs{options_.SeiriPlgPath, r.StopName, date, timeText(now),
                                     static_cast<int32_t>(numericValue(state_.RouteText)), r.TicketNumber,
                                     static_cast<int16_t>(record), panel_.companyIndex()});
    }
    devices_.events.processEvents();
    board_.setChimei(r.StopName);
}

void FareEngine::doStep(StepDirection direction) {
    if (direction == StepDirection::Back) {
        if (state_.CurrentStop <= 0) return;
        --state_.CurrentStop;
    } else {
        // The last record of the file ends the route; the table's last row bounds it even when
        // the record count no longer describes the table (after a refused empty file).
        if (state_.CurrentStop + 1 == state_.StopCount || state_.CurrentStop + 1 >= TableRows) return;
        ++state_.CurrentStop;
    }
    chime();
    draw(state_.CurrentStop + 1);
}

void FareEngine::chime() {
    std::string file;
    if (selected(options_.StepSoundAlways)) {
        file = options_.StepSoundFile;
    } else {
        const int col = options_.StepSoundColumn + 1;
        const int16_t v = col >= 1 && col <= DataColumns ? currentRecord().column(col) : 0;
        if (v == 1)
            file = options_.StepSoundFile1;
        else if (v == 2)
            file = options_.StepSoundFile2;
        else if (v == 3)
            file = options_.StepSoundFile3;
        else
            return;
    }
    devices_.sound.playSound(file, "S2", selected(options_.StepSoundSync));
}

} // namespace fare
