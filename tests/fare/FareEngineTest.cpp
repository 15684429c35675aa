#include "fare/FareEngine.h"
#include "FakeViews.h"
#include "fare/Hy3File.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace fare;
using ::testing::ElementsAre;
namespace fs = std::filesystem;

namespace {

// Record r: name "停留所r", ticket r, column c = 10 * r + c, small columns 81.. = 100 + c.
std::vector<FareRecord> makeRoute(int count) {
    std::vector<FareRecord> recs(static_cast<size_t>(count));
    for (int r = 1; r <= count; ++r) {
        auto& rec = recs[static_cast<size_t>(r - 1)];
        rec.StopName = "停留所" + std::to_string(r);
        rec.TicketNumber = static_cast<int16_t>(r);
        for (int c = 1; c <= DataColumns; ++c) rec.column(c) = static_cast<int16_t>(10 * r + c);
    }
    return recs;
}

class RouteFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ferio-fare-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        options.FareDataDir = dir.string();
        options.TapeDataDir = "tape";
        options.SoundKeitoSet = "set.wav";
    }
    void TearDown() override { fs::remove_all(dir); }

    void writeRoute(const std::string& name, const std::vector<FareRecord>& recs) {
        writeBytes(name, *hy3::write(recs, nullptr));
    }
    void writeBytes(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    void set(const std::string& route, const std::string& section = "", EntrySource source = EntrySource::Keypad) {
        host.entries[source] = {route, section};
        engine.routeSet(source);
    }

    fs::path dir;
    OptionInfo options;
    FakeHost host;
    FareEngine engine{options, host, host, host.devices()};
};

} // namespace

TEST(FareText, NumericValueFileNameFolderAndSectionRules) {
    EXPECT_EQ(numericValue("00012"), 12);
    EXPECT_EQ(numericValue("12ab3"), 12);
    EXPECT_EQ(numericValue(""), 0);
    EXPECT_EQ(numericValue("x1"), 0);
    EXPECT_EQ(fareFileName("00012"), "12.hy3");
    EXPECT_EQ(fareFileName(""), "0.hy3");
    EXPECT_EQ(fareFileName("00000"), "0.hy3");
    EXPECT_EQ(withTrailingSlash(""), "");
    EXPECT_EQ(withTrailingSlash("/data"), "/data/");
    EXPECT_EQ(withTrailingSlash("/data/"), "/data/");
    EXPECT_EQ(clampSection(0), 1);
    EXPECT_EQ(clampSection(5), 5);
    EXPECT_EQ(clampSection(300), 300);
    EXPECT_EQ(clampSection(999), 300);
    EXPECT_EQ(clampSection(numericValue("99999999999999999999")), 300);
    EXPECT_EQ(dateText({2024, 3, 7, 0, 0, 0}), "03-07-2024");
    EXPECT_EQ(timeText({2024, 3, 7, 9, 5, 3}), "09:05:03");
}

TEST_F(RouteFixture, KeypadRouteWithLeadingZerosLoadsTheFileAndDrawsTheFirstStop) {
    writeRoute("12.hy3", makeRoute(4));
    set("00012");

    EXPECT_TRUE(host.messages.empty());
    EXPECT_THAT(host.steps(), ElementsAre("sound:S1:set.wav", "readEntry:1", "tape:tape/12", "chimei:系統選別中",
                                          "lampTest", "zeroAll", "enable", "clearPreview", "events", "chimei:停留所1"));
    const RouteState& s = engine.state();
    EXPECT_EQ(s.RouteText, "00012");
    EXPECT_EQ(s.StartSection, 1);
    EXPECT_EQ(s.StopCount, 4);
    EXPECT_EQ(s.CurrentStop, 0);
    EXPECT_EQ(s.TicketDate, "03-07-2024");
    EXPECT_EQ(host.fare[1], "11");
    EXPECT_EQ(host.fare[32], "42");
    EXPECT_EQ(host.small[1], "91");
    EXPECT_EQ(host.small[32], "122");
    EXPECT_EQ(engine.table().row(4).StopName, "停留所4");
    EXPECT_EQ(engine.table().row(5), FareRecord{});
}

TEST_F(RouteFixture, ListEntryFrameAndSectionTextChooseTheFirstRecord) {
    writeRoute("7.hy3", makeRoute(10));
    set("00007", "005", EntrySource::DigitLists);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.log[1], "readEntry:0");
    EXPECT_EQ(engine.state().StartSection, 5);
    EXPECT_EQ(engine.state().CurrentStop, 4);
    EXPECT_EQ(host.chimei, "停留所5");

    // Cells below the starting section keep the zero of the lamp test; the rest show record 5.
    EXPECT_EQ(host.fare[4], "0");
    EXPECT_EQ(host.small[4], "0");
    EXPECT_EQ(host.fare[5], "55");
    EXPECT_EQ(host.small[5], "135");
}

TEST_F(RouteFixture, SectionLimitsFollowTheRecordCount) {
    writeRoute("5.hy3", makeRoute(5));
    set("5", "4");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(engine.state().CurrentStop, 3);

    set("5", "5");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "指定した区間はデータの数よりも多いです...\r\n  解決法：正しい区間を入力して下さい.");
    EXPECT_EQ(engine.state().StartSection, 5);
    EXPECT_EQ(engine.state().StopCount, 5);
    EXPECT_EQ(engine.state().CurrentStop, 3); // still the previous route's position

    set("5", "999"); // becomes 300, still too far
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(engine.state().StartSection, 300);

    writeRoute("1.hy3", makeRoute(1));
    set("1");
    EXPECT_EQ(host.messages.size(), 3u) << "a single record leaves nothing after the first section";
}

TEST_F(RouteFixture, FailuresLeaveTheLoadedRouteAsItWas) {
    writeRoute("12.hy3", makeRoute(6));
    set("12");
    engine.step(StepDirection::Forward);
    engine.step(StepDirection::Forward);
    const FareTable before = engine.table();
    const auto logSize = host.log.size();

    struct Case {
        std::string route, file, bytes, message;
        int16_t stopCount;
    };
    std::string tooMany = *hy3::write(makeRoute(2), nullptr);
    tooMany[0] = static_cast<char>(302 & 0xFF);
    tooMany[1] = static_cast<char>(302 >> 8);
    std::string truncated = *hy3::write(makeRoute(3), nullptr);
    truncated.resize(truncated.size() - 1);
    const std::vector<Case> cases = {
        {"40", "", "", NoDataMessage, 6},
        {"41", "41.hy3", std::string("\0\0", 2), ZeroCountMessage, 0},
        {"42", "42.hy3", tooMany, "運賃データファイルのレコード数 302 は上限の 301 を超えています。", 0},
        {"43", "43.hy3", truncated, "運賃データファイルが壊れています（レコード 3 の途中でファイルが終わっています）。",
         0},
        {"44", "44.hy3", std::string("\xFF\xFF", 2), "運賃データファイルのレコード数 -1 は不正です。", 0},
        {"45", "45.hy3", "", "運賃データファイルが壊れています（先頭のレコード数が途中で切れています）。", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.route);
        if (!c.file.empty()) writeBytes(c.file, c.bytes);
        host.messages.clear();
        set(c.route, "2");
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], c.message);
        EXPECT_EQ(engine.state().RouteText, c.route);
        EXPECT_EQ(engine.state().StartSection, 2);
        EXPECT_EQ(engine.state().StopCount, c.stopCount); // only an empty file changes the count
        EXPECT_EQ(engine.state().CurrentStop, 2);
        EXPECT_EQ(engine.table().row(3), before.row(3));
        EXPECT_EQ(engine.table().row(1), before.row(1));
    }
    // A file that exists but cannot be read gives the reason, not "no data" nor "damaged".
    fs::create_symlink("/proc/self/mem", dir / "46.hy3");
    host.messages.clear();
    set("46");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], codedError(ErrorCode::DeviceIo).text);
    EXPECT_EQ(engine.state().CurrentStop, 2);
    EXPECT_EQ(engine.table().row(3), before.row(3));
    // No lamp test, no drawing: only the sound, the entry, the broadcast table and the message.
    for (size_t i = logSize; i < host.log.size(); ++i)
        EXPECT_TRUE(host.log[i].rfind("sound:", 0) == 0 || host.log[i].rfind("readEntry", 0) == 0 ||
                    host.log[i].rfind("tape:", 0) == 0 || host.log[i] == "message")
            << host.log[i];
}

TEST_F(RouteFixture, AfterARefusedEmptyFileForwardNeverPassesTheLastRow) {
    writeRoute("12.hy3", makeRoute(3));
    set("12");
    writeBytes("13.hy3", std::string("\0\0", 2));
    set("13");
    EXPECT_EQ(engine.state().StopCount, 0);
    for (int i = 0; i < 400; ++i) engine.step(StepDirection::Forward);
    EXPECT_EQ(engine.state().CurrentStop, TableRows - 1);
}

TEST_F(RouteFixture, FolderRulesForTheFareFile) {
    writeRoute("12.hy3", makeRoute(3));
    options.FareDataDir = dir.string() + "/";
    set("12");
    EXPECT_TRUE(host.messages.empty());

    const fs::path old = fs::current_path();
    fs::current_path(dir);
    options.FareDataDir.clear();
    set("012");
    fs::current_path(old);
    EXPECT_TRUE(host.messages.empty()) << "an empty folder means the current folder";

    fs::create_directory(dir / "20.hy3");
    set("20");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], NoDataMessage) << "a folder is no fare file";

    // Installed: an empty folder is the samples, unless the current folder holds a route.
    const fs::path empty = dir / "empty";
    fs::create_directory(empty);
    fs::current_path(empty);
    EXPECT_EQ(dataFolder("", dir.string()), dir.string());
    EXPECT_EQ(dataFolder("/mine", dir.string()), "/mine");
    EXPECT_EQ(dataFolder("", ""), "");
    engine.setSampleFolder(dir.string());
    set("12");
    fs::current_path(dir);
    EXPECT_EQ(dataFolder("", (dir / "empty").string()), "") << "the current folder holds routes";
    fs::current_path(old);
    EXPECT_EQ(host.messages.size(), 1u) << "route 12 read from the samples";
}

TEST_F(RouteFixture, EveryResetRepeatsTheWholeSetIncludingTheLampTest) {
    writeRoute("12.hy3", makeRoute(3));
    set("12");
    engine.step(StepDirection::Forward);
    set("12");
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "lampTest"), 2);
    EXPECT_EQ(engine.state().CurrentStop, 0);
}

TEST_F(RouteFixture, LateNightDoublesFaresButNotTheMarkerNorTheSmallNumbers) {
    auto recs = makeRoute(3);
    recs[0].column(1) = 230;
    recs[0].column(2) = -1;
    recs[0].column(81) = 7;
    writeRoute("12.hy3", recs);
    host.late = true;
    set("12");
    EXPECT_EQ(host.fare[1], "460");
    EXPECT_EQ(host.fare[2], "-1");
    EXPECT_EQ(host.small[1], "7");
}

TEST_F(RouteFixture, LateNightOverflowStopsTheUpdateWithAMessage) {
    auto recs = makeRoute(3);
    recs[1].column(3) = 16384;
    writeRoute("12.hy3", recs);
    set("12");
    host.late = true;
    host.log.clear();
    engine.step(StepDirection::Forward);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "オーバーフローしました。");
    EXPECT_EQ(engine.state().CurrentStop, 1) << "the step has happened before the update failed";
    EXPECT_EQ(host.fare[2], "44"); // drawn before the failing cell
    EXPECT_EQ(host.fare[4], "14"); // still the first stop's value
    EXPECT_EQ(host.chimei, "停留所1");

    recs[1].column(3) = -16385;
    writeRoute("12.hy3", recs);
    host.late = false;
    set("12");
    host.late = true;
    engine.step(StepDirection::Forward);
    EXPECT_EQ(host.messages.size(), 2u);
    recs[1].column(3) = 16383;
    writeRoute("12.hy3", recs);
    set("12");
    engine.step(StepDirection::Forward);
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.fare[3], "32766");
}

TEST_F(RouteFixture, InformationCellsOverwriteFaresInTheirOrder) {
    writeRoute("12.hy3", makeRoute(3));
    options.InfoKukanShow = 1;
    options.InfoKukanPos = 0;
    options.InfoKukanFromZero = 1;
    options.InfoSeiriShow = 1;
    options.InfoSeiriPos = 1;
    options.InfoKeitoShow = 1;
    options.InfoKeitoPos = 2;
    set("00012", "2");
    EXPECT_EQ(host.fare[1], "1");       // record 2 counted from zero, even below the section
    EXPECT_EQ(host.fare[2], "2");       // ticket number of record 2
    EXPECT_EQ(host.fare[3], "'00012'"); // the route as entered

    options.InfoColumnShow = 1;
    options.InfoColumnNo = 149;
    options.InfoColumnPos = 2; // same cell as the route: the data column wins
    options.InfoKukanFromZero = 0;
    engine.dispData(1);
    EXPECT_EQ(host.fare[1], "1");
    EXPECT_EQ(host.fare[3], "160");

    options.InfoColumnPos = 40; // a position no cell has is left alone
    options.InfoColumnNo = 400;
    engine.dispData(1);
    EXPECT_EQ(host.fare[3], "'00012'");

    host.log.clear();
    engine.dispData(0);
    engine.dispData(TableRows + 1);
    EXPECT_TRUE(host.log.empty()) << "a record outside the table draws nothing";
}

TEST_F(RouteFixture, TicketPreviewArgumentsAndDateModes) {
    writeRoute("12.hy3", makeRoute(3));
    set("0012");
    EXPECT_TRUE(host.tickets.empty()) << "preview off: cleared and left empty";

    options.UseSeiriPrev = 1;
    options.SeiriPlgPath = "/plugins/a.4SP";
    host.company = 2;
    engine.step(StepDirection::Forward);
    ASSERT_EQ(host.tickets.size(), 1u);
    EXPECT_EQ(host.tickets[0], (TicketArgs{"/plugins/a.4SP", "停留所2", "03-07-2024", "09:05:30", 12, 2, 2, 2}));
    auto order = host.steps();
    EXPECT_THAT(std::vector<std::string>(order.end() - 4, order.end()),
                ElementsAre("clearPreview", "drawTicket", "events", "chimei:停留所2"));

    // Per print: the date follows the clock. At route set: it keeps the date of the last set.
    host.clock = {2024, 3, 8, 0, 0, 1};
    engine.dispData(2);
    EXPECT_EQ(host.tickets.back().dateText, "03-08-2024");
    options.DatePerPrint = 0;
    options.DateAtKeitoSet = -1;
    engine.dispData(2);
    EXPECT_EQ(host.tickets.back().dateText, "03-07-2024");
    set("12");
    EXPECT_EQ(host.tickets.back().dateText, "03-08-2024");

    options.DateAtKeitoSet = 0;
    options.DateFixed = -1;
    options.FixedDate = "2020/01/02";
    engine.dispData(1);
    EXPECT_EQ(host.tickets.back().dateText, "2020/01/02");
    set("12");
    EXPECT_EQ(engine.state().TicketDate, "2020/01/02");
}

TEST_F(RouteFixture, StepsStayWithinTheRouteAndChimeForTheRecordReached) {
    auto recs = makeRoute(3);
    recs[0].column(5) = 1;
    recs[1].column(5) = 2;
    recs[2].column(5) = 4;
    writeRoute("12.hy3", recs);
    options.StepSoundFile = "always.wav";
    set("12", "2");
    ASSERT_EQ(engine.state().CurrentStop, 1);

    host.log.clear();
    engine.step(StepDirection::Forward);
    EXPECT_EQ(engine.state().CurrentStop, 2);
    EXPECT_EQ(host.steps().front(), "sound:S2:always.wav") << "the chime comes before the redraw";
    host.log.clear();
    engine.step(StepDirection::Forward);
    EXPECT_TRUE(host.log.empty()) << "forward at the last record does nothing at all";

    options.StepSoundAlways = 0;
    options.StepSoundByColumn = -1;
    options.StepSoundColumn = 4;
    options.StepSoundFile1 = "one.wav";
    options.StepSoundFile2 = "two.wav";
    options.StepSoundSync = -1;
    options.StepSoundAsync = 0;
    host.log.clear();
    engine.step(StepDirection::Back);
    EXPECT_EQ(host.steps().front(), "sound:S2:two.wav:wait");
    host.log.clear();
    engine.step(StepDirection::Back);
    EXPECT_EQ(host.steps().front(), "sound:S2:one.wav:wait");
    EXPECT_EQ(host.chimei, "停留所1");
    host.log.clear();
    engine.step(StepDirection::Back);
    EXPECT_TRUE(host.log.empty()) << "back at the first record does nothing at all";

    engine.step(StepDirection::Forward);
    engine.step(StepDirection::Forward);
    host.log.clear();
    engine.step(StepDirection::Back); // reaches record 2 (value 2) coming back from record 3 (value 4)
    EXPECT_EQ(host.steps().front(), "sound:S2:two.wav:wait");
    host.log.clear();
    engine.step(StepDirection::Forward); // record 3 holds 4: no chime, but the board changes
    EXPECT_EQ(host.steps().front(), "clearPreview");
    EXPECT_EQ(host.chimei, "停留所3");
}

TEST_F(RouteFixture, OperationsArrivingDuringAnUpdateRunAfterItInOrder) {
    writeRoute("12.hy3", makeRoute(4));
    set("12");
    host.log.clear();
    // While the reset lets pending input through, the operator presses forward twice.
    host.onEvents = [&] {
        engine.step(StepDirection::Forward);
        engine.step(StepDirection::Forward);
    };
    set("12");
    EXPECT_EQ(engine.state().CurrentStop, 2);
    EXPECT_EQ(host.chimei, "停留所3");
    EXPECT_EQ(host.fare[1], "31");
    const auto steps = host.steps();
    auto at = [&](const std::string& s) { return std::find(steps.begin(), steps.end(), s) - steps.begin(); };
    EXPECT_LT(at("chimei:停留所1"), at("chimei:停留所2"));
    EXPECT_LT(at("chimei:停留所2"), at("chimei:停留所3"));
}

TEST_F(RouteFixture, DisplayClearAndTheNameRedrawKeepTheSameStop) {
    writeRoute("12.hy3", makeRoute(4));
    set("12");
    engine.step(StepDirection::Forward);
    host.log.clear();
    engine.displayClear(true);
    EXPECT_THAT(host.steps(), ElementsAre("clearDisplays"));
    host.log.clear();
    engine.displayClear(false);
    EXPECT_THAT(host.steps(), ElementsAre("restoreDisplays", "clearPreview", "events", "chimei:停留所2"));
    EXPECT_EQ(host.fare[1], "21");
    host.log.clear();
    engine.redrawStopName(); // after the options changed, the name is drawn anew, nothing else
    EXPECT_THAT(host.steps(), ElementsAre("chimei:", "chimei:停留所2"));
}
