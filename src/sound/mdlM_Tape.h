#pragma once
// The broadcast tape: a route's announcements, one per line of <route>tp.csv, walked with the
// panel's "送り" and "戻し" buttons and spoken by the voice, each after its chime.
#include "fare/EngineViews.h"
#include "options/model/OptionInfo.h"
#include "sound/Speaker.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TapeEntry {
    std::string text;      // UTF-8, spoken as it stands
    int16_t stepFlag = 0;  // 1: the fare data moves with this announcement
    int16_t soundFlag = 0; // 1..3: which flag-chosen chime comes before it
    bool operator==(const TapeEntry&) const = default;
};

// A guard no real table comes near (a few kilobytes each); a larger file is refused unread.
inline constexpr std::size_t MaxTapeFileBytes = 16 * 1024 * 1024;

// The entries of a table, or nullopt (and in `error` the line and why) when any line is malformed
// or there is none. A table is CP932, or UTF-8 when it starts with the UTF-8 byte-order mark;
// bytes that are no character of its encoding make it malformed.
std::optional<std::vector<TapeEntry>> parseTapeTable(std::string_view bytes, std::string* error = nullptr);
std::optional<std::vector<TapeEntry>> parseTapeTable(std::istream& in, std::string* error = nullptr);

// The readings dictionary of a broadcast-data folder (its readings.tsv, found like the tables
// whatever the case of its name), or an empty path when it has none.
std::string readingsFileIn(const std::string& tapeDir);

// What the panel's broadcast group shows.
class TapeView {
public:
    virtual ~TapeView() = default;
    // Caption "音合使用可" and group enabled, or "音合使用不可" and group disabled.
    virtual void setSpeechAvailable(bool available) = 0;
    // The group and its four buttons "送り", "戻し", "■" and "調整", after a table was read.
    virtual void enableTapeButtons() = 0;
    // After a table could not be read: the group only; its buttons keep their state, so ■ and
    // 調整 work again once the group is enabled by the display-clear switch.
    virtual void disableTapeGroup() = 0;
    // What "送り" and "戻し" would speak from here (empty: nothing), so that the operator sees
    // the next announcement before it is heard.
    virtual void showUpcoming(const std::string& next, const std::string& back) = 0;
};

// The caller does the fare step that an entry asks for: after tapeNext or tapeBack it reads
// stepFlag(position()), so the chime and the announcement come before the step's own chime.
class BroadcastTape : public fare::Broadcast {
public:
    BroadcastTape(const OptionInfo& options, fare::Sound& sound, TapeView& view)
        : options_(options),
          sound_(sound),
          view_(view) {}

    // At panel load, with the voice or nullptr when it could not be created.
    void tapeInit(Speaker* speaker);
    // Reads dir + number + "tp.csv"; any fault leaves an empty table, the group disabled and
    // the position where it was, and a table that is there but cannot be used is named on
    // standard error with its line. The voice takes the folder's readings dictionary afresh.
    void tapeLoad(const std::string& dir, const std::string& fileNumber) override;
    void tapeNext();
    void tapeBack();
    void tapeSpeak(int32_t p);
    void tapeStop();
    void tapeRelease() override;

    int32_t count() const { return static_cast<int32_t>(table_.size()); }
    int32_t position() const { return position_; }
    // 0 for a position outside 1..count().
    int16_t stepFlag(int32_t p) const;
    int16_t soundFlag(int32_t p) const;

private:
    const std::string* flagSound(int32_t p) const;
    void showUpcoming();
    void chime(const std::string* file, const char* channel);

    const OptionInfo& options_;
    fare::Sound& sound_;
    TapeView& view_;
    Speaker* speaker_ = nullptr;
    bool speechAvailable_ = false;
    std::vector<TapeEntry> table_;
    int32_t position_ = 0;
};
