#pragma once
// Shared by the settings tests: byte helpers and a record whose every field differs from its default.
#include "options/model/OptionTable.h"
#include "settings/SettingsRecords.h"

#include <string>
#include <type_traits>

inline std::string le16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
inline std::string le32(int32_t v) { return le16(v & 0xFFFF) + le16((v >> 16) & 0xFFFF); }

// Distinct values everywhere; texts carry the wave dash and an NEC circled digit, which only
// CP932 (not plain Shift_JIS) holds, and some texts stay empty.
inline SettingsRecord distinctRecord() {
    SettingsRecord r;
    forEachOption(r.Options, [](const OptionField& f, auto& v) {
        using T = std::remove_reference_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>)
            v = f.number % 3 ? "項目" + std::to_string(f.number) + "～①" : "";
        else
            v = static_cast<T>(f.number * (sizeof(T) == 2 ? -7 : 0x01010101));
    });
    r.Ctrl = {1, 250, -3, 1, -1, 123456, -654321};
    r.Form = {-1500, 0x7FFFFFFF};
    for (int i = 0; i < 17; ++i) r.CustomColors[static_cast<size_t>(i)] = 0x010203 * (i + 1);
    for (int i = 0; i < 32; ++i)
        r.Cells[static_cast<size_t>(i)] = {static_cast<int16_t>(i), static_cast<int16_t>(-i),
                                           static_cast<int16_t>(i % 3)};
    return r;
}
