#include "settings/SettingsCodec.h"

#include "options/model/OptionTable.h"
#include "reslib/Cp932.h"

#include <array>
#include <cstdint>
#include <type_traits>

namespace settings {
namespace {

constexpr std::array<const char*, 11> kBlockNames{"フォルダー",
                                                  "整理券番号とパネル画像",
                                                  "デジタル部品の色と情報用数字",
                                                  "停名表示",
                                                  "サウンド",
                                                  "整理券プレビュー",
                                                  "操作盤",
                                                  "表示器の位置",
                                                  "カスタムカラー",
                                                  "コマ数",
                                                  "コマごとの数字設定"};

// Where a field lies: its block (1..11) and, for the options, its field number.
struct Place {
    int block;
    int option = 0;

    std::string describe() const {
        std::string s = "ブロック " + std::to_string(block) + "「" + kBlockNames[static_cast<size_t>(block - 1)] + "」";
        if (option) s += "のオプション項目 " + std::to_string(option);
        return s;
    }
};

// The one description of the file: io(place, value) for every field in file order, value being
// an int16_t, int32_t or std::string of r (const when r is). Encoding, decoding and measuring
// all walk it.
template <class Record, class Io>
void walk(Record& r, Io& io) {
    // The table runs in group order (its own test holds it to that), so this is block 1..6.
    forEachOption(r.Options, [&](const OptionField& f, auto& v) { io(Place{f.group, f.number}, v); });
    io(Place{7}, r.Ctrl.HiddenEntryFrame);
    io(Place{7}, r.Ctrl.ScrollSpeed);
    io(Place{7}, r.Ctrl.ScrollInterval);
    io(Place{7}, r.Ctrl.LateNightFare);
    io(Place{7}, r.Ctrl.PreviewOpen);
    io(Place{7}, r.Ctrl.PanelLeft);
    io(Place{7}, r.Ctrl.PanelTop);
    io(Place{8}, r.Form.BoardLeft);
    io(Place{8}, r.Form.BoardTop);
    for (auto& c : r.CustomColors) io(Place{9}, c);
    // Written as the number of records; on reading it goes into this copy and is forgotten.
    int16_t cellCount = static_cast<int16_t>(r.Cells.size());
    io(Place{10}, cellCount);
    for (auto& cell : r.Cells) {
        io(Place{11}, cell.Shift);
        io(Place{11}, cell.ZeroMode);
        io(Place{11}, cell.FillZero);
    }
}

constexpr size_t MaxText = 0xFFFF;

struct Writer {
    std::string out;
    std::string error; // the first failure; the output is then thrown away

    template <class Int>
    requires std::is_integral_v<Int>
    void operator()(Place, Int v) {
        for (size_t i = 0; i < sizeof v; ++i) out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    }
    void operator()(Place p, const std::string& text) {
        if (!error.empty()) return;
        auto bytes = cp932::fromUtf8(text);
        if (!bytes)
            error = p.describe() + " \"" + text + "\" には CP932 で表せない文字があります。";
        else if (bytes->size() > MaxText)
            error = p.describe() + " が長すぎます（" + std::to_string(bytes->size()) + " バイト、上限 " +
                    std::to_string(MaxText) + " バイト）。";
        if (!error.empty()) return;
        (*this)(p, static_cast<uint16_t>(bytes->size()));
        out += *bytes;
    }
};

struct Reader {
    std::string_view in;
    size_t at = 0;
    std::string error; // the first failure; nothing more is read after it

    // Takes n bytes, or records where the file ended and gives nothing.
    std::optional<std::string_view> take(Place p, size_t n) {
        if (!error.empty()) return std::nullopt;
        if (in.size() - at < n) {
            error = "設定ファイルが壊れています（" + p.describe() + "の途中でファイルが終わっています）。";
            return std::nullopt;
        }
        at += n;
        return in.substr(at - n, n);
    }
    template <class Int>
    requires std::is_integral_v<Int>
    void operator()(Place p, Int& v) {
        auto b = take(p, sizeof v);
        if (!b) return;
        uint32_t u = 0;
        for (size_t i = 0; i < sizeof v; ++i) u |= uint32_t{static_cast<uint8_t>((*b)[i])} << (8 * i);
        v = static_cast<Int>(u);
    }
    void operator()(Place p, std::string& text) {
        uint16_t count = 0;
        (*this)(p, count);
        // The count is checked against what is left before a byte of the text is taken.
        if (auto b = take(p, count)) text = cp932::toUtf8(*b);
    }
};

// The largest file: every text at its longest.
struct Sizer {
    size_t bytes = 0;
    template <class Int>
    requires std::is_integral_v<Int>
    void operator()(Place, Int) { bytes += sizeof(Int); }
    void operator()(Place, const std::string&) { bytes += 2 + MaxText; }
};

} // namespace

std::optional<std::string> encode(const SettingsRecord& record, std::string* error) {
    Writer w;
    walk(record, w);
    if (!w.error.empty()) {
        if (error) *error = "設定を保存できません: " + w.error;
        return std::nullopt;
    }
    return std::move(w.out);
}

std::optional<SettingsRecord> decode(std::string_view bytes, std::string* error) {
    SettingsRecord record;
    Reader r{bytes, 0, {}};
    walk(record, r);
    if (!r.error.empty()) {
        if (error) *error = std::move(r.error);
        return std::nullopt;
    }
    return record;
}

size_t maxFileBytes() {
    static const size_t max = [] {
        const SettingsRecord empty;
        Sizer s;
        walk(empty, s);
        return s.bytes;
    }();
    return max;
}

} // namespace settings
