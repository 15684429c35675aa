#include "LargestInputs.h"

#include "fare/Hy3File.h"
#include "options/model/OptionTable.h"
#include "reslib/Cp932.h"
#include "reslib/plugin/TicketPlugin.h"
#include "settings/SettingsCodec.h"
#include "sound/mdlM_Tape.h"

#include <stdexcept>
#include <type_traits>

namespace largest {
namespace {

template <class T>
T need(std::optional<T> value, const std::string& what) {
    if (!value) throw std::runtime_error("cannot make " + what);
    return std::move(*value);
}

void mustBe(size_t size, size_t limit, const std::string& what) {
    if (size != limit)
        throw std::runtime_error(what + " is " + std::to_string(size) + " bytes, not the limit " +
                                 std::to_string(limit));
}

} // namespace

std::string longestName() {
    std::string name;
    for (int i = 0; i < 0xFFFF / 2; ++i) name += "駅";
    return name + "1";
}

std::string route() {
    fare::FareRecord record{longestName(), -32768, {}};
    record.Data.fill(-32768);
    std::string error;
    std::string bytes =
        need(fare::hy3::write(std::vector<fare::FareRecord>(fare::TableRows, record), &error), "the largest route");
    mustBe(bytes.size(), fare::hy3::MaxFileBytes, "the largest route");
    return bytes;
}

std::string settingsFile() {
    SettingsRecord record;
    forEachOption(record.Options, [](const OptionField&, auto& v) {
        if constexpr (std::is_same_v<std::remove_reference_t<decltype(v)>, std::string>) v = longestName();
    });
    std::string error;
    std::string bytes = need(settings::encode(record, &error), "the largest settings");
    mustBe(bytes.size(), settings::maxFileBytes(), "the largest settings");
    return bytes;
}

std::string tapeTable() {
    const std::string line = need(cp932::fromUtf8("\"次は、\"\"本町\"\"です。\",1,3\r\n"), "a table line");
    std::string table;
    while (table.size() + line.size() <= MaxTapeFileBytes) table += line;
    table.append(MaxTapeFileBytes - table.size(), ' ');
    return table;
}

std::string plugin(const std::string& text) {
    if (text.size() > ticketplugin::kMaxFileSize) throw std::runtime_error("the plugin is already too large");
    std::string padded = text;
    padded.append(ticketplugin::kMaxFileSize - text.size(), '\n');
    if (!ticketplugin::parse(padded)) throw std::runtime_error("the largest plugin is refused");
    return padded;
}

} // namespace largest
