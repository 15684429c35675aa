#include "reslib/plugin/TicketPlugin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace ticketplugin;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

const std::string kSamples = FERIO_SOURCE_DIR "/samples/";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(TicketPlugin, RefusesWhatIsNotAValidPlugin) {
    const std::string good = readFile(kSamples + "barcode.4SP");
    ASSERT_TRUE(parse(good));
    const struct {
        std::string from, to, reason;
    } faults[] = {
        {"{", "<", "not a JSON object"},
        {"\"version\": 1", "\"version\": 2", "version"},
        {"\"version\": 1,", "", "version is missing"},
        {"\"firstStop\": 1,", "", "printer.firstStop is missing"},
        {"\"width\": 256", "\"width\": -256", "printer.width must lie in"},
        {"\"width\": 256", "\"width\": 18446744073709551615", "printer.width must lie in"},
        {"\"height\": 120", "\"height\": 12.5", "printer.height must be a whole number"},
        {"\"printsDate\": true", "\"printsDate\": 1", "printer.printsDate must be true or false"},
        {"\"serial\"", "\"odd\"", "printer.barcodeScheme has no choice"},
        {"\"lastStop\": 300", "\"lastStop\": 0", "lastStop is below firstStop"},
        {"\"companyCount\": 0", "\"companyCount\": 1", "companies must hold"},
        {"\"barcodeCount\": 2", "\"barcodeCount\": 1", "layout must hold"},
        {"\"printsBarcode\": true", "\"printsBarcode\": false", "printer.printsBarcode must be true exactly"},
        {"\"w\": 254", "\"w\": 256", "layout[0].w must lie in"},
        {"\"type\": \"rule\"", "\"type\": \"circle\"", "layout[7].type has no choice"},
        {"\"size\": 13,", "\"size\": 13, \"colour\": 1,", "layout[1].colour is not a known field"},
        {"{route}系統", "{rout}系統", "layout[2].text has no placeholder {rout}"},
        {"{route}系統", "{route系統", "unmatched brace"},
        {"\"printsTime\": true", "\"printsTime\": false", "uses {H}"},
        {"[\"ticket\"]", "[\"fare\"]", "layout[9].data has no value"},
    };
    for (const auto& f : faults) {
        std::string error;
        EXPECT_FALSE(parse(replaced(good, f.from, f.to), &error)) << f.to;
        EXPECT_NE(error.find(f.reason), std::string::npos) << error;
    }

    // A file over the size limit is not even read.
    const auto big = (std::filesystem::temp_directory_path() / "ticket_big.4SP").string();
    writeFile(big, good + std::string(10 << 20, ' '));
    EXPECT_FALSE(parse(readFile(big)));
    EXPECT_EQ(load(big), nullptr);
    std::filesystem::remove(big);
    EXPECT_EQ(load(big), nullptr) << "a missing file";
}

TEST(TicketPlugin, ParsesOncePerFileVersion) {
    namespace fs = std::filesystem;
    const auto path = (fs::temp_directory_path() / "ticket_cache.4SP").string();
    const std::string text = readFile(kSamples + "plain.4SP");
    writeFile(path, text);
    const auto first = load(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(load(path), first) << "an unchanged file is not parsed again";

    // Same size, one second newer: a new version.
    writeFile(path, replaced(text, "\"width\": 224", "\"width\": 225"));
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(1));
    const auto second = load(path);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->info.width, 225);

    writeFile(path, "not a plugin");
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
    EXPECT_EQ(load(path), nullptr);
    fs::remove(path);
}

TEST(TicketPlugin, BarcodesCarryFixedWidthDigitsOfTheScheme) {
    PlgInfo info{};
    info.highestRoute = 999;
    info.firstStop = 1;
    info.lastStop = 300;
    info.barcodeScheme = 1;
    Item barcode;
    barcode.kind = Item::Barcode;
    barcode.data = {BarcodeItem::Route, BarcodeItem::Stop, BarcodeItem::Ticket};
    TicketData t;
    t.route = 7;
    t.stop = 12;
    t.ticket = 5;
    EXPECT_EQ(barcodeDigits(info, barcode, t), "007012005");

    // Route plus direction: routes 105 and 106 are line 53 out (flag 0) and back (flag 1).
    info.barcodeScheme = 2;
    t.route = 105;
    EXPECT_EQ(barcodeDigits(info, barcode, t), "0530012005");
    t.route = 106;
    EXPECT_EQ(barcodeDigits(info, barcode, t), "0531012005");

    for (auto [route, stop, ticket] :
         {std::tuple{1000, 12, 5}, {0, 12, 5}, {7, 301, 5}, {7, 0, 5}, {7, 12, 1000}, {7, 12, -1}}) {
        t.route = route;
        t.stop = stop;
        t.ticket = ticket;
        EXPECT_EQ(barcodeDigits(info, barcode, t), std::nullopt) << route << " " << stop << " " << ticket;
    }
}

TEST(TicketPlugin, PlaceholdersTakeBothDateForms) {
    TicketData t;
    t.stopName = "本町";
    t.route = 105;
    t.ticket = 12;
    t.time = "09:05:07";
    for (const char* date : {"05-01-2024", "2024/05/01"}) {
        t.date = date;
        EXPECT_EQ(expand("{Y}年{-m}月{-d}日 {y}.{m}.{d}", t), "2024年5月1日 24.05.01");
    }
    EXPECT_EQ(expand("{-H}時{M}分{S}秒 {H}", t), "9時05分07秒 09");
    EXPECT_EQ(expand("{stop}から {route}系統 No.{ticket}{company}", t), "本町から 105系統 No.12");
    t.date = "2024-05-01";
    EXPECT_EQ(expand("[{Y}]", t), "[]") << "a date of another form prints nothing";
}

TEST(TicketPlugin, DocumentationListsEveryFieldAndPlaceholder) {
    const std::string doc = readFile(FERIO_SOURCE_DIR "/docs/plugins.md");
    ASSERT_FALSE(doc.empty());
    for (const auto& f : recordFields()) {
        const std::string range = f.kind == RecordField::Flag ? "true / false"
                                  : f.kind == RecordField::Scheme
                                      ? "\"serial\" / \"routeDirection\""
                                      : std::to_string(f.min) + " … " + std::to_string(f.max);
        const std::string row = "| `" + std::string(f.key) + "` | " + std::to_string(offsetOf(f)) + " | " + range +
                                " | " + f.meaning + " |";
        EXPECT_NE(doc.find(row), std::string::npos) << "docs/plugins.md lacks the row\n" << row;
    }
    const char* needs[] = {
        "—", "`printsDate`", "`printsTime`", "`printsRoute`", "`printsStopName`", "`companyCount` above 0"};
    for (const auto& p : placeholders()) {
        const std::string row = "| `{" + std::string(p.name) + "}` | " + p.meaning + " | " + needs[p.need] + " |";
        EXPECT_NE(doc.find(row), std::string::npos) << "docs/plugins.md lacks the row\n" << row;
    }
}
