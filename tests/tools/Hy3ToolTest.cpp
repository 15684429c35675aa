// Runs the real hy3tool as route authors do and checks its contract: output, exit codes, and
// that a failed build never creates or changes the output file.
#include "opendata/RouteWriter.h"
#include "opendata/Timetable.h"
#include "reslib/Cp932.h"
#include "reslib/Csv.h"
#include "sound/mdlM_Tape.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int code = -1;
    std::string out, err;
};

class Hy3Tool : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ferio-hy3tool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(getpid())); // two build folders may run the same test at once
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    ToolRun run(const std::string& args) {
        const std::string outFile = (dir / "stdout").string(), errFile = (dir / "stderr").string();
        const std::string cmd = std::string(FERIO_BIN_DIR) + "/hy3tool " + args + " >" + outFile + " 2>" + errFile;
        ToolRun r;
        int status = std::system(cmd.c_str());
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = read(outFile);
        r.err = read(errFile);
        return r;
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string file(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }

    fs::path dir;
};

std::string le16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }

std::string header150() {
    std::string h = "record,name,ticket";
    for (int c = 1; c <= 150; ++c) h += ",c" + std::to_string(c);
    return h + "\n";
}

} // namespace

TEST_F(Hy3Tool, BuildThenDumpGivesEveryColumnAndQuotesNamesOnlyWhenNeeded) {
    const std::string csv = file("in.csv", "record,name,ticket,c112,c1,c150\r\n"
                                           "1,中央駅前,1,5,180,-1\r\n"
                                           "2,\"東, 西口\",2,0,190,0\n"
                                           "3,\"「港」\"\"北\"\"\",3,0,200,32767\n"
                                           "4, 本町 ,4,0,-32768,0\n"
                                           "5,\"改\n行\",5,0,0,0\n"
                                           "6,,6,0,0,0\n");
    const std::string hy3 = (dir / "12.hy3").string();
    ToolRun b = run("build " + csv + " " + hy3);
    ASSERT_EQ(b.code, 0) << b.err;

    ToolRun d = run("dump " + hy3);
    ASSERT_EQ(d.code, 0) << d.err;
    std::istringstream lines(d.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line + "\n", header150());
    std::vector<std::string> rows;
    while (std::getline(lines, line)) rows.push_back(line);
    ASSERT_EQ(rows.size(), 7u) << "the name with a line break spans two lines";
    auto zeros = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += ",0";
        return s;
    };
    EXPECT_EQ(rows[0], "1,中央駅前,1,180" + zeros(110) + ",5" + zeros(37) + ",-1");
    EXPECT_EQ(rows[1].rfind("2,\"東, 西口\",2,190", 0), 0u) << rows[1];
    EXPECT_EQ(rows[2].rfind("3,\"「港」\"\"北\"\"\",3,200", 0), 0u) << rows[2];
    EXPECT_EQ(rows[3].rfind("4,\" 本町 \",4,-32768", 0), 0u) << rows[3];
    EXPECT_EQ(rows[4], "5,\"改");
    EXPECT_EQ(rows[6], "6,,6,0" + zeros(149));

    // What dump writes, build reads back to the same bytes.
    const std::string again = (dir / "again.hy3").string();
    ASSERT_EQ(run("build " + file("dumped.csv", d.out) + " " + again).code, 0);
    EXPECT_EQ(read(again), read(hy3));

    ToolRun c = run("check " + hy3);
    EXPECT_EQ(c.code, 0);
    EXPECT_EQ(c.out, "6 records\n");
}

TEST_F(Hy3Tool, BadInputNamesTheLineAndLeavesTheOutputAlone) {
    const std::string out = file("out.hy3", "previous contents");
    struct Case {
        std::string csv, line;
    };
    std::string tooMany = "record,name,ticket\n";
    for (int r = 1; r <= 302; ++r) tooMany += std::to_string(r) + ",s,0\n";
    const std::vector<Case> cases = {
        {"record,name,ticket,c1\n1,a,0,32768\n", "line 2"},
        {"record,name,ticket,c1\n1,a,0,12x\n", "line 2"},
        {"record,name,ticket,c1\n1,a,0,\n", "line 2"},
        {"record,name,ticket,c1\n1,a,0\n", "line 2"},
        {"record,name,ticket\n1,a,0\n3,b,0\n", "line 3"},
        {"record,name,ticket\n1,a,0\n2,\"x\ny\",0\n3,駅\xF0\x9F\x9A\x8C,0\n", "line 5"},
        {"record,name,ticket\n1,a,99999\n", "line 2"},
        {"record,ticket,name\n", "line 1"},
        {"record,name,ticket,c151\n", "line 1"},
        {"record,name,ticket,c3,c3\n", "line 1"},
        {tooMany, "line 303"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].csv.substr(0, 60));
        ToolRun r = run("build " + file("bad.csv", cases[i].csv) + " " + out);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(cases[i].line + ":"), std::string::npos) << r.err;
        EXPECT_EQ(read(out), "previous contents");
    }
    ToolRun r = run("build " + file("bad.csv", "record,name,ticket,c1\n1,a,0,x\n") + " " + (dir / "new.hy3").string());
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(fs::exists(dir / "new.hy3"));
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_NE(entry.path().extension(), ".tmp") << "no temporary file is left behind";
}

TEST_F(Hy3Tool, BuildStopsReadingAtTheRecordLimit) {
    // Record 1's name holds a line break, so record 302 starts on line 304.
    std::string records = "record,name,ticket\n1,\"改\n行\",0\n";
    for (int r = 2; r <= 302; ++r) records += std::to_string(r) + ",s,0\n";
    // Fed through a pipe that offers up to 64 MB more, so what the tool reads can be counted.
    const fs::path fifo = dir / "huge.csv";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    std::thread writer([&] {
        const int fd = open(fifo.c_str(), O_WRONLY);
        const std::string more(1 << 20, '\n');
        for (const std::string* chunk = &records; written < (64u << 20); chunk = &more) {
            const ssize_t n = write(fd, chunk->data(), chunk->size());
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        close(fd);
    });
    const std::string out = file("out.hy3", "previous contents");
    ToolRun r = run("build " + fifo.string() + " " + out);
    close(open(fifo.c_str(), O_RDONLY | O_NONBLOCK)); // lets the writer go if the tool never opened the pipe
    writer.join();

    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("line 304: more than 301 records"), std::string::npos) << r.err;
    EXPECT_LT(written, 4u << 20) << "the tool read on past the 302nd record";
    EXPECT_EQ(read(out), "previous contents");
    const std::set<std::string> expected = {"huge.csv", "out.hy3", "stdout", "stderr"};
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_TRUE(expected.contains(entry.path().filename().string())) << entry.path();
}

TEST_F(Hy3Tool, BuildWritesTheSameBytesAndNeverThroughALinkBesideTheTarget) {
    const std::string elsewhere = file("elsewhere", "not ours");
    const std::string out = (dir / "out.hy3").string();
    fs::create_symlink(elsewhere, out + ".tmp");
    ToolRun r = run("build " + file("in.csv", "record,name,ticket,c2\n1,駅,7,-2\n") + " " + out);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(fs::is_symlink(out));
    EXPECT_EQ(read(out), le16(1) + le16(2) + "\x89\x77" + le16(7) + le16(0) + le16(-2) + std::string(296, '\0'));
    EXPECT_EQ(read(elsewhere), "not ours");
    EXPECT_TRUE(fs::is_symlink(out + ".tmp"));
}

TEST_F(Hy3Tool, CheckRefusesWhatTheProgramWouldRefuse) {
    const std::string one = (dir / "1.hy3").string(), zero = (dir / "0.hy3").string();
    ASSERT_EQ(run("build " + file("1.csv", "record,name,ticket\n1,a,1\n") + " " + one).code, 0);
    ASSERT_EQ(run("build " + file("0.csv", "record,name,ticket\n") + " " + zero).code, 0);
    EXPECT_EQ(run("check " + one).code, 1);
    EXPECT_EQ(run("check " + zero).code, 1);
    ToolRun damaged = run("check " + file("d.hy3", std::string("\x02\x00\x00\x00", 4)));
    EXPECT_EQ(damaged.code, 1);
    EXPECT_FALSE(damaged.err.empty());
    EXPECT_EQ(run("check " + (dir / "missing.hy3").string()).code, 1);
    EXPECT_EQ(run("dump " + file("e.hy3", "")).code, 1);
    EXPECT_EQ(run("frobnicate").code, 2);
}

// What help2man reads to write the manual page: help and version on standard output, status 0.
TEST_F(Hy3Tool, HelpAndVersionAnswerOnStandardOutput) {
    const struct {
        const char* args;
        const char* starts;
        const char* holds;
    } cases[] = {{"--help", "usage:\n  hy3tool dump", "--version"},
                 {"-h", "usage:\n", "  hy3tool check FILE.hy3"},
                 {"--version", "hy3tool ", "\nLicence: GPL-3.0-or-later "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.out.starts_with(c.starts)) << r.out;
        EXPECT_NE(r.out.find(c.holds), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(run("--help extra").code, 2);
}

TEST(SampleRoutes, ShipReadyToLoadWithEveryFareWholeByDayAndNight) {
    for (const char* route : {"7", "12", "105"}) {
        const std::string cmd =
            std::string(FERIO_BIN_DIR) + "/hy3tool check " + FERIO_SAMPLES_DIR + "/" + route + ".hy3 2>&1 >/dev/null";
        FILE* p = popen(cmd.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string warnings;
        for (int c; (c = std::fgetc(p)) != EOF;) warnings += static_cast<char>(c);
        EXPECT_EQ(pclose(p), 0) << route;
        EXPECT_EQ(warnings, "") << route;
    }
}

TEST_F(Hy3Tool, FaresLongerThanACellAreWarnedOfWithoutFailing) {
    const std::string csv = file("9.csv", "record,name,ticket,c1,c2,c3,c4\n"
                                          "1,山の上,1,499,500,1240,-1\n"
                                          "2,本町,2,-10,-500,0,0\n");
    const std::string out = (dir / "9.hy3").string();
    for (const ToolRun& r : {run("build " + csv + " " + out), run("check " + out)}) {
        EXPECT_EQ(r.code, 0) << r.err;
        std::vector<std::string> lines;
        for (std::istringstream in(r.err); std::getline(in, lines.emplace_back());) {}
        lines.pop_back();
        ASSERT_EQ(lines.size(), 3u) << r.err;
        EXPECT_NE(lines[0].find("record 1 (山の上), cell 2: the fare 1000 at night has 4 digits; the cell shows 000"),
                  std::string::npos)
            << lines[0];
        EXPECT_NE(lines[1].find("record 1 (山の上), cell 3: the fare 1240 has 4 digits; the cell shows 240"),
                  std::string::npos)
            << lines[1];
        EXPECT_NE(lines[2].find("record 2 (本町), cell 2: the fare -500 has 4 digits"), std::string::npos) << lines[2];
    }
}

TEST_F(Hy3Tool, NamesCp932CannotDecodeAreWarnedOfByDumpAndCheck) {
    // Record 1 is whole; record 2 holds an unassigned code and record 3 ends on a lead byte.
    std::string bytes = le16(3);
    for (const std::string_view name : {"\x96\x7B\x92\xAC", "a\x85\x40", "b\x82"}) {
        bytes += le16(int(name.size())) + std::string(name) + le16(1);
        for (int c = 0; c < 150; ++c) bytes += le16(0);
    }
    const std::string route = file("8.hy3", bytes);
    for (const char* command : {"dump ", "check "}) {
        const ToolRun r = run(command + route);
        EXPECT_EQ(r.code, 0) << command << r.err;
        EXPECT_EQ(r.err, route +
                             ": warning: record 2 (a\xEF\xBF\xBD): the stop name holds bytes CP932 cannot decode; "
                             "each reads as \xEF\xBF\xBD, which build cannot write back\n" +
                             route +
                             ": warning: record 3 (b\xEF\xBF\xBD): the stop name holds bytes CP932 cannot decode; "
                             "each reads as \xEF\xBF\xBD, which build cannot write back\n")
            << command;
    }
}

TEST(SampleRoutes, TheDemonstrationsFolderHoldsOnlySamples) {
    const std::set<std::string> kinds{".hy3", ".csv", ".wav", ".mp3", ".mid", ".4SP", ".tsv"};
    int files = 0;
    for (const auto& entry : fs::directory_iterator(FERIO_SAMPLES_DIR)) {
        ++files;
        EXPECT_TRUE(entry.is_regular_file() && kinds.count(entry.path().extension().string()))
            << entry.path().filename() << " is no sample";
    }
    EXPECT_GE(files, 10);
}

namespace {

const fs::path Town = fs::path(FERIO_TEST_DATA) / "gtfs" / "town";

// The town's feed as a zip archive, its members stored as they are; `replace` gives other
// contents to some members (adding those the town lacks) and drops those it maps to nothing.
void zipFeed(const fs::path& zipPath, const std::map<std::string, std::optional<std::string>>& replace = {}) {
    int code = 0;
    zip_t* z = zip_open(zipPath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(z, nullptr);
    std::map<std::string, std::optional<std::string>> members = replace;
    for (const auto& entry : fs::directory_iterator(Town)) {
        std::ifstream in(entry.path(), std::ios::binary);
        members.emplace(entry.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    std::vector<std::string> keep; // the archive reads its sources when it is closed
    keep.reserve(members.size());
    for (const auto& [name, text] : members) {
        if (!text) continue;
        keep.push_back(*text);
        zip_source_t* source = zip_source_buffer(z, keep.back().data(), keep.back().size(), 0);
        const zip_int64_t index = zip_file_add(z, ("feed/" + name).c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

// Makes the archive claim `size` uncompressed bytes for the member whose name ends in `name`,
// in its local header and in the central directory alike.
void declareSize(std::string& zip, const std::string& name, uint32_t size) {
    auto u16 = [&](size_t at) {
        return static_cast<size_t>(static_cast<uint8_t>(zip[at]) | static_cast<uint8_t>(zip[at + 1]) << 8);
    };
    auto put32 = [&](size_t at) {
        for (int b = 0; b < 4; ++b) zip[at + static_cast<size_t>(b)] = static_cast<char>(size >> (8 * b));
    };
    for (size_t at = zip.find("PK\x01\x02"); at != std::string::npos; at = zip.find("PK\x01\x02", at + 4)) {
        const std::string member = zip.substr(at + 46, u16(at + 28));
        if (!member.ends_with(name)) continue;
        put32(at + 24);
        size_t local = 0;
        for (int b = 3; b >= 0; --b) local = local << 8 | static_cast<uint8_t>(zip[at + 42 + static_cast<size_t>(b)]);
        put32(local + 22);
        return;
    }
    FAIL() << name << " is no member";
}

// The archive's members moved from feed/ to `folder` (five bytes too), which libzip will not write.
std::string refolder(std::string zip, std::string_view folder) {
    for (size_t at = 0; (at = zip.find("feed/", at)) != std::string::npos;) zip.replace(at, 5, folder);
    return zip;
}

std::vector<std::vector<std::string>> dumpedRows(const std::string& csv) {
    std::istringstream in(csv);
    csv::Reader reader(in);
    std::vector<std::vector<std::string>> rows;
    for (std::vector<std::string> row; reader.next(row) == csv::Reader::Next::Row;) rows.push_back(row);
    return rows;
}

} // namespace

// The town feed: route R1 (4 stops, one name CP932 cannot hold, a rule of its own before the
// general one, one zone pair without a fare) and route R33 (35 stops, a fare through all zones
// by contains_id), from the folder (newer translations layout) and from a zip (older layout).
TEST_F(Hy3Tool, TownFeedBecomesRouteFilesBroadcastTablesAndReadings) {
    ToolRun list = run("gtfs " + Town.string() + " list");
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_EQ(list.out, "R1\t1\t港線\n"
                        "\tdirection 0: 中央駅 - 灯台下, 4 stops, 2 trips (T101)\n"
                        "\tdirection 1: 灯台下 - 中央駅, 4 stops, 1 trip (T103)\n"
                        "R33\t33\t湖畔線\n"
                        "\tdirection 0: 中央駅 - 湖畔ホテル, 35 stops, 2 trips (T331)\n"
                        "\tdirection 0: 中央駅 - 滝見台, 30 stops, 1 trip (T333)\n"
                        "\tdirection 1: 湖畔ホテル - 中央駅, 35 stops, 1 trip (T334)\n");

    const fs::path zip = dir / "town.zip";
    zipFeed(zip, {{"translations.txt", read(fs::path(FERIO_TEST_DATA) / "gtfs" / "translations-older.txt")}});
    for (const fs::path& feed : {Town, zip}) {
        SCOPED_TRACE(feed.string());
        const fs::path out = dir / ("out-" + feed.filename().string());
        fs::create_directories(out);
        std::ofstream(out / "readings.tsv") << "# our own\n西山台\tニシヤマダイラ\n灯台下\tトウダイシタ\n";

        ToolRun r1 = run("gtfs " + feed.string() + " --route R1 --direction 0 --number 1 --out " + out.string());
        ASSERT_EQ(r1.code, 0) << r1.err;
        EXPECT_NE(r1.err.find("\"𠮷野町\": 𠮷 (U+20BB7) has no CP932 code and is written 吉"), std::string::npos)
            << r1.err;
        EXPECT_NE(r1.err.find("no fare rule from 中央駅 (zone ZA) to 灯台下 (zone ZC): the cell is left blank"),
                  std::string::npos);
        EXPECT_NE(r1.err.find("no fare rule from 𠮷野町 (zone ZA) to 灯台下 (zone ZC)"), std::string::npos);
        const auto route1 = dumpedRows(run("dump " + (out / "1.hy3").string()).out);
        ASSERT_EQ(route1.size(), 5u);
        // name, ticket, cells 1 ... 4, small numbers 1 ... 4 (columns 81 ... 84)
        const std::vector<std::vector<std::string>> expected1 = {
            {"中央駅", "1", "180", "0", "0", "0", "1", "0", "0", "0"},
            {"吉野町", "2", "180", "200", "0", "0", "1", "2", "0", "0"},
            {"港, 北口", "3", "200", "200", "180", "0", "1", "2", "3", "0"},
            {"灯台下", "4", "0", "0", "180", "180", "1", "2", "3", "4"}};
        for (size_t k = 0; k < 4; ++k) {
            const auto& row = route1[k + 1];
            EXPECT_EQ((std::vector<std::string>{row[1], row[2], row[3], row[4], row[5], row[6], row[83], row[84],
                                                row[85], row[86]}),
                      expected1[k])
                << "record " << k + 1;
        }

        ToolRun r33 = run("gtfs " + feed.string() + " --route R33 --number 33 --out " + out.string());
        ASSERT_EQ(r33.code, 0) << r33.err;
        EXPECT_EQ(r33.err, "");
        const auto route33 = dumpedRows(run("dump " + (out / "33.hy3").string()).out);
        ASSERT_EQ(route33.size(), 36u) << "the most used pattern, not the short trip to 滝見台";
        // From the 32nd stop on: ticket 32, cell 32 the ride from stop 32, small numbers 1 ... 32.
        for (const auto& [record, ticket, cell1, cell30, cell32, small32] :
             std::vector<std::tuple<int, const char*, const char*, const char*, const char*, const char*>>{
                 {10, "10", "180", "0", "0", "0"},
                 {11, "11", "220", "0", "0", "0"},
                 {31, "31", "350", "220", "0", "0"},
                 {32, "32", "350", "220", "180", "32"},
                 {35, "32", "350", "220", "180", "32"}}) {
            const auto& row = route33[static_cast<size_t>(record)];
            EXPECT_EQ((std::vector<std::string>{row[2], row[3], row[32], row[34], row[114]}),
                      (std::vector<std::string>{ticket, cell1, cell30, cell32, small32}))
                << "record " << record;
        }
        EXPECT_EQ(route33[35][1], "湖畔ホテル");
        EXPECT_EQ(run("check " + (out / "33.hy3").string()).out, "35 records\n");

        // The broadcast table as the tape reads it: the route first, then each next stop with a step.
        const auto tape = parseTapeTable(read(out / "33tp.csv"));
        ASSERT_TRUE(tape);
        ASSERT_EQ(tape->size(), 35u);
        EXPECT_EQ(tape->front(), (TapeEntry{"このバスは、湖畔線、湖畔ホテル行きです。", 0, 1}));
        EXPECT_EQ((*tape)[1], (TapeEntry{"次は、市役所前です。", 1, 1}));
        EXPECT_EQ(tape->back(), (TapeEntry{"次は、終点、湖畔ホテルです。", 1, 1}));
        const auto tape1 = parseTapeTable(read(out / "1tp.csv"));
        ASSERT_TRUE(tape1);
        EXPECT_EQ((*tape1)[2].text, "次は、港, 北口です。");

        const std::string readings = read(out / "readings.tsv");
        EXPECT_EQ(readings.rfind("# our own\n西山台\tニシヤマダイラ\n", 0), 0u) << readings;
        EXPECT_EQ(readings.find("トウダイシタ"), std::string::npos) << "replaced by the feed's reading";
        for (const char* entry :
             {"\n灯台下\tトウダイモト\n", "\n吉野町\tヨシノチョウ\n", "\n港, 北口\tミナトキタグチ\n", "\n長谷\tハセ\n",
              "\n湖畔ホテル\tコハンホテル\n", "\n中央駅\tチュウオウエキ\n"})
            EXPECT_NE(readings.find(entry), std::string::npos) << entry;

        const std::string cmd = std::string(FERIO_BIN_DIR) + "/ferio --readings " + (out / "readings.tsv").string() +
                                " --reading 次は、終点、灯台下です。";
        FILE* p = popen(cmd.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string said;
        for (int c; (c = std::fgetc(p)) != EOF;) said += static_cast<char>(c);
        ASSERT_EQ(pclose(p), 0);
        EXPECT_NE(said.find("トウダイモト"), std::string::npos) << said;
    }
}

TEST_F(Hy3Tool, RefusedFeedsSayWhyExitWithOneAndWriteNothing) {
    const fs::path good = dir / "good.zip";
    zipFeed(good);
    std::string damaged = read(good);
    damaged[damaged.find("T331,07:04:00") + 5] = '9'; // its CRC no longer matches
    std::string truncated = read(good).substr(0, 3000);
    const fs::path faresV2 = dir / "faresv2.zip";
    zipFeed(faresV2, {{"fare_rules.txt", std::nullopt},
                      {"fare_products.txt", "fare_product_id,amount,currency\nP1,180,JPY\n"},
                      {"fare_leg_rules.txt", "network_id,fare_product_id\n,P1\n"}});
    const fs::path noFares = dir / "nofares.zip", brokenQuote = dir / "quote.zip", notUtf8Stops = dir / "badstop.zip";
    zipFeed(noFares, {{"fare_rules.txt", std::nullopt}});
    zipFeed(brokenQuote, {{"stops.txt", "stop_id,stop_name,zone_id\nS01,\"中央駅,ZA\n"}});
    zipFeed(notUtf8Stops, {{"stop_times.txt", "trip_id,stop_id,stop_sequence\nT101,S01,1\nT101,S99,2\n"}});
    struct Case {
        std::string feed, args, message;
    };
    const std::vector<Case> cases = {
        {noFares.string(), "--route R1", "the feed has no fare_rules.txt: its fares cannot be known"},
        {faresV2.string(), "--route R1",
         "the feed gives its fares only in fare_products.txt and fare_leg_rules.txt, which are not read"},
        {good.string(), "--route R9", "routes.txt has no route \"R9\""},
        {good.string(), "--route R1 --trip T331", "trips.txt has no trip \"T331\" of route \"R1\""},
        {file("damaged.zip", damaged), "--route R33", "stop_times.txt is damaged"},
        {file("truncated.zip", truncated), "--route R1", "neither a folder nor a readable zip archive"},
        {brokenQuote.string(), "--route R1", "stops.txt: line 2: field 2 opens a quote that is never closed"},
        {notUtf8Stops.string(), "--route R1", "stop_times.txt: line 3: stop_id \"S99\" is no stop of stops.txt"},
    };
    const fs::path out = dir / "out";
    fs::create_directories(out);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args + " " + c.message);
        ToolRun r = run("gtfs " + c.feed + " " + c.args + " --number 5 --out " + out.string());
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_empty(out));
    }
    EXPECT_EQ(run("gtfs " + good.string() + " --route R1 --number 123456 --out " + out.string()).code, 2);
}

// The chosen trip's times are kept beside the route, past 24:00 too; a trip with a stop of
// unknown time keeps none (nor times left from before); a time that is no time refuses the feed.
TEST_F(Hy3Tool, TheTripsTimesAreKeptBesideTheRoute) {
    const std::string header = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n";
    struct Case {
        std::string stopTimes;
        int code;
        std::optional<std::string> times; // none: no times file
        std::string message;
    };
    const std::vector<Case> cases = {
        {header + "T101,07:00:00,07:00:00,S01,1\nT101,,,S02,2\nT101,07:04:00,07:04:00,S03,3\n"
                  "T101,07:06:00,07:06:00,S04,4\n",
         0, std::nullopt, "stop_times.txt: trip \"T101\" has a stop without a time"},
        {header + "T101,07:00:00,07:00:00,S01,1\nT101,7:2:00,07:02:00,S02,2\n", 1, std::nullopt,
         "stop_times.txt: line 3: arrival_time \"7:2:00\" is no time of day such as 25:10:00"},
        {header + "T101,24:58:00,24:59:30,S01,1\nT101,25:10:00,,S02,2\nT101,,25:20:00,S03,3\n"
                  "T101,25:30:00,25:30:00,S04,4\n",
         0, "89880,89970\n90600,90600\n91200,91200\n91800,91800\n", ""},
    };
    const fs::path out = dir / "out", feed = dir / "feed.zip";
    fs::create_directories(out);
    // Times of an earlier route 1 that a route without times must not keep.
    std::ofstream(out / "1times.csv") << "0,0\n1,1\n2,2\n3,3\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopTimes);
        zipFeed(feed, {{"stop_times.txt", c.stopTimes}});
        const ToolRun r = run("gtfs " + feed.string() + " --route R1 --direction 0 --number 1 --out " + out.string());
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(fs::exists(out / "1times.csv"), c.times.has_value());
        EXPECT_EQ(c.times.value_or(""), fs::exists(out / "1times.csv") ? read(out / "1times.csv") : "");
    }
}

// Names as CP932 can hold them: a look-alike, else the compatibility form, else 〓, each said.
TEST(GtfsNames, CharactersCp932CannotHoldGetTheirSubstitutesAndAreReported) {
    const std::vector<std::tuple<std::string, std::string, size_t>> cases = {
        {"𠮷野町", "吉野町", 1}, {"鷗外通り", "鴎外通り", 1}, {"ヷ", "ヴァ", 1},   {"⑴番のりば", "(1)番のりば", 1},
        {"駅🚌前", "駅〓前", 1},  {"ﾊﾞｽ停〜①", "ﾊﾞｽ停〜①", 0}, {"𠮷𠮷", "吉吉", 2},
    };
    for (const auto& [name, written, changes] : cases) {
        std::vector<std::string> said;
        EXPECT_EQ(cp932::substitute(name, &said), written);
        EXPECT_EQ(said.size(), changes) << name;
    }
}

// The voice looks names up in their compatibility form, so ＪＲ and JR, ｶﾅ and カナ are one name:
// the feed's reading replaces the line of that name however it is written, and no second line
// is left for the same name. Other lines and comments stay as they were.
TEST(GtfsReadings, TheFeedReplacesTheLineOfTheSameNameWrittenInAnyWidth) {
    const std::vector<std::pair<std::string, std::string>> feed = {{"JR駅前", "ジェイアールエキマエ"},
                                                                   {"ニシヤマ台", "ニシヤマダイ"}};
    const std::string added = "JR駅前\tジェイアールエキマエ\nニシヤマ台\tニシヤマダイ\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ＪＲ駅前\tジェーアール\n", added},
        {"ﾆｼﾔﾏ台\tニシヤマダイラ\r\n", added},
        {" ＪＲ駅前 \tジェーアール\n# ＪＲ駅前\n西山台\tニシヤマダイラ\n",
         "# ＪＲ駅前\n西山台\tニシヤマダイラ\n" + added},
        {"\xEF\xBB\xBFJR駅前\tジェーアール\nJR駅\tジェーアールエキ\n", "JR駅\tジェーアールエキ\n" + added},
    };
    for (const auto& [existing, merged] : cases) EXPECT_EQ(opendata::mergeReadings(existing, feed), merged) << existing;
}

// The tool's files and printed text for the town feed, byte for byte as recorded in
// data/expected-town (feed and output folder written as FEED and OUT).
TEST_F(Hy3Tool, TownFeedImportIsByteForByteAsRecorded) {
    const fs::path expected = fs::path(FERIO_TEST_DATA) / "expected-town";
    const fs::path out = dir / "out";
    fs::create_directories(out);
    auto placeholders = [&](std::string text) {
        for (const auto& [path, name] : {std::pair{Town.string(), "FEED"}, std::pair{out.string(), "OUT"}})
            for (size_t at; (at = text.find(path)) != std::string::npos;) text.replace(at, path.size(), name);
        return text;
    };
    std::string transcript;
    for (const std::string args :
         {"list", "--route R1 --direction 0 --number 1 --out OUT", "--route R1 --direction 1 --number 2 --out OUT",
          "--route R33 --number 33 --out OUT", "--route R33 --trip T333 --number 34 --out OUT",
          "--route R9 --number 9 --out OUT", "--route R1 --trip T331 --number 9 --out OUT"}) {
        std::string real = args;
        if (const size_t at = real.find("OUT"); at != std::string::npos) real.replace(at, 3, out.string());
        const ToolRun r = run("gtfs " + Town.string() + " " + real);
        transcript += "== gtfs FEED " + args + "\n== exit " + std::to_string(r.code) + "\n== stdout\n" +
                      placeholders(r.out) + "== stderr\n" + placeholders(r.err);
    }
    EXPECT_EQ(transcript, read(expected / "transcript.txt"));
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(out)) {
        written.insert(entry.path().filename().string());
        EXPECT_EQ(read(entry.path()), read(expected / entry.path().filename())) << entry.path().filename();
    }
    EXPECT_EQ(written.size() + 1, static_cast<size_t>(std::distance(fs::directory_iterator(expected), {})))
        << "every recorded file, and no other, is written";
}

// A feed is refused before it is trusted: a table the archive says is too large, a trip with
// too many stops; members named outside the archive are only read.
TEST_F(Hy3Tool, OversizedFeedsAreRefusedAtOnceAndMembersAreNeverExtracted) {
    const fs::path big = dir / "big.zip";
    zipFeed(big);
    std::string bytes = refolder(read(big), "../\x1B/");
    declareSize(bytes, "stop_times.txt", 3u << 30);
    file("big.zip", bytes);
    std::string manyStops = "trip_id,stop_id,stop_sequence\n";
    for (int s = 1; s <= 1001; ++s) manyStops += "T101,S01," + std::to_string(s) + "\n";
    const fs::path longTrip = dir / "long.zip";
    zipFeed(longTrip, {{"stop_times.txt", manyStops}});
    const fs::path outside = dir / "outside.zip";
    zipFeed(outside);
    file("outside.zip", refolder(read(outside), "/tmp/"));

    struct Case {
        fs::path feed;
        int code;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {big, 1,
              "../\\x1B/stop_times.txt holds 3221225472 bytes uncompressed; a table may hold at most "
              "536870912 bytes (512 MiB)\n"},
             {longTrip, 1,
              "stop_times.txt: line 1002: trip_id \"T101\" has more than 1000 stops, the most a trip may have\n"},
             {outside, 0, ""}}) {
        SCOPED_TRACE(c.feed.string());
        for (const std::string& args :
             {std::string("list"), "--route R33 --number 33 --out " + (dir / "out").string()}) {
            fs::create_directories(dir / "out");
            const ToolRun r = run("gtfs " + c.feed.string() + " " + args);
            EXPECT_EQ(r.code, c.code) << r.err;
            EXPECT_EQ(r.err, c.message.empty() ? "" : c.feed.string() + ": " + c.message);
            EXPECT_EQ(fs::is_empty(dir / "out"), c.code != 0 || args == "list");
            fs::remove_all(dir / "out");
        }
    }
    std::set<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"big.zip", "long.zip", "outside.zip", "stdout", "stderr"}));
}

// An archive that says a table is small is still stopped once the table inflates past the bound.
TEST_F(Hy3Tool, FeedStopsReadingATableThatInflatesPastItsBound) {
    std::string rows = "trip_id,stop_id,stop_sequence\n";
    while (rows.size() < (4u << 20)) rows += "T101,S01,1\n";
    const fs::path lying = dir / "lying.zip";
    zipFeed(lying, {{"stop_times.txt", rows}});
    std::string bytes = read(lying);
    declareSize(bytes, "stop_times.txt", 100);
    file("lying.zip", bytes);
    opendata::Feed feed(lying.string(), opendata::Limits{1u << 20, 1000});
    int seen = 0;
    try {
        feed.read("stop_times.txt", {{"trip_id", true}}, [&](const opendata::Feed::Row&) { ++seen; });
        ADD_FAILURE() << "the whole table was read";
    } catch (const opendata::Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "feed/stop_times.txt inflates past 1048576 bytes (1 MiB), the most a table may hold");
    }
    EXPECT_LT(seen, (2 << 20) / 11) << "rows read past the bound";
}

// Stations with their platforms, GTFS-JP's own tables, fares only in the newer layout and
// several agencies, each a small change to the town feed: listed by the tool, and route R1 in
// direction 0 previewed with its stops, fares from the first stop and a warning; or refused.
TEST_F(Hy3Tool, UnusualFeedsAreReadAsTheyMean) {
    const std::string townStops = read(Town / "stops.txt");
    const std::string platforms = "stop_id,stop_name,stop_lat,stop_lon,zone_id,location_type,parent_station\n"
                                  "ST1,中央駅,35.0,139.0,ZA,1,\n"
                                  "S01,中央駅 1番のりば,35.0,139.0,,0,ST1\n"
                                  "S02,𠮷野町,35.0,139.0,ZA,,\n"
                                  "S03,,35.0,139.0,,,ST3\n"
                                  "ST3,\"港, 北口\",35.0,139.0,ZB,1,\n"
                                  "E1,中央駅 東口,35.0,139.0,,2,ST1\n"
                                  "S04,灯台下,35.0,139.0,ZC\n" +
                                  townStops.substr(townStops.find("L01,"));
    std::string callsAtStation = read(Town / "stop_times.txt");
    callsAtStation.replace(callsAtStation.find("S01"), 3, "ST1");
    std::string noStation = platforms;
    noStation.erase(noStation.find("ST3,"), noStation.find("E1,") - noStation.find("ST3,"));
    const std::string townR1 = "R1\t1\t港線\n\tdirection 0: 中央駅 - 灯台下, 4 stops, 2 trips (T101)\n";
    const std::vector<std::pair<std::string, std::optional<int>>> townStopsR1{
        {"中央駅", std::nullopt}, {"吉野町", 180}, {"港, 北口", 200}, {"灯台下", std::nullopt}};
    struct Case {
        std::map<std::string, std::optional<std::string>> replace;
        std::string listed;                                            // how the list starts; empty: refused
        std::vector<std::pair<std::string, std::optional<int>>> stops; // of the preview
        std::string message;                                           // a warning, or why the feed is refused
    };
    const std::vector<Case> cases = {
        {{{"stops.txt", platforms}},
         "R1\t1\t港線\n\tdirection 0: 中央駅 1番のりば - 灯台下, 4 stops, 2 trips (T101)\n",
         {{"中央駅 1番のりば", std::nullopt}, {"吉野町", 180}, {"港, 北口", 200}, {"灯台下", std::nullopt}},
         "no fare rule from 中央駅 1番のりば (zone ZA) to 灯台下 (zone ZC)"},
        {{{"stops.txt", platforms}, {"stop_times.txt", callsAtStation}},
         "",
         {},
         "stop_times.txt: line 2: stop_id \"ST1\" is a station or a part of one in stops.txt, where no trip calls"},
        {{{"stops.txt", noStation}}, "", {}, "stops.txt: line 5: parent_station \"ST3\" is no station of stops.txt"},
        {{{"agency_jp.txt", "agency_id,agency_official_name,agency_zip_number\nminato,みなと市交通局,9000000\n"},
          {"routes_jp.txt",
           "route_id,route_update_date,origin_stop,via_stop,destination_stop\nR1,20250401,中央駅,,灯台下\n"},
          {"office_jp.txt", "office_id,office_name,office_url,office_phone\nO1,港営業所,,\n"}},
         townR1,
         townStopsR1,
         "no fare rule from 中央駅 (zone ZA) to 灯台下 (zone ZC)"},
        {{{"fare_rules.txt", std::nullopt},
          {"fare_attributes.txt", std::nullopt},
          {"fare_products.txt", "fare_product_id,amount,currency\nP1,180,JPY\n"},
          {"fare_leg_rules.txt", "network_id,fare_product_id\n,P1\n"}},
         townR1,
         {{"中央駅", std::nullopt}, {"吉野町", std::nullopt}, {"港, 北口", std::nullopt}, {"灯台下", std::nullopt}},
         "the feed gives its fares only in fare_products.txt and fare_leg_rules.txt, which are not read: every cell is "
         "left blank"},
        {{{"agency.txt", "agency_id,agency_name\nminato,みなと市営バス\nkohan,湖畔交通\n"},
          {"routes.txt",
           "route_id,agency_id,route_short_name,route_long_name\nR1,minato,1,港線\nR33,kohan,33,湖畔線\n"}},
         "R1\t1\t港線\tみなと市営バス\n\tdirection 0: 中央駅 - 灯台下, 4 stops, 2 trips (T101)\n"
         "\tdirection 1: 灯台下 - 中央駅, 4 stops, 1 trip (T103)\nR33\t33\t湖畔線\t湖畔交通\n",
         townStopsR1,
         "no fare rule from 中央駅 (zone ZA) to 灯台下 (zone ZC)"},
    };
    const fs::path feed = dir / "feed.zip";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        zipFeed(feed, c.replace);
        const ToolRun list = run("gtfs " + feed.string() + " list");
        if (c.listed.empty()) {
            EXPECT_EQ(list.code, 1);
            EXPECT_EQ(list.err, feed.string() + ": " + c.message + "\n");
            continue;
        }
        ASSERT_EQ(list.code, 0) << list.err;
        EXPECT_EQ(list.out.substr(0, c.listed.size()), c.listed);
        opendata::Feed opened(feed.string());
        const auto route = opendata::Timetable::read(opened).prepare({"R1", 0, "", true});
        std::vector<std::pair<std::string, std::optional<int>>> stops;
        for (const auto& s : route.stops) stops.emplace_back(s.name, s.fare);
        EXPECT_EQ(stops, c.stops);
        EXPECT_TRUE(std::any_of(route.warnings.begin(), route.warnings.end(),
                                [&](const std::string& w) { return w.find(c.message) != std::string::npos; }));
    }
}

// What a preview shows of a route, from the same model as the import and without writing.
TEST(OpenDataModel, PreviewGivesStopsWithReadingsFaresAndWarnings) {
    opendata::Feed feed(Town.string());
    const auto timetable = opendata::Timetable::read(feed);
    const auto route = timetable.prepare({"R1", 0, ""});
    std::vector<std::tuple<std::string, std::string, std::optional<int>>> stops;
    for (const auto& s : route.stops) stops.emplace_back(s.name, s.reading, s.fare);
    EXPECT_EQ(stops, (decltype(stops){{"中央駅", "チュウオウエキ", std::nullopt},
                                      {"吉野町", "ヨシノチョウ", 180},
                                      {"港, 北口", "ミナトキタグチ", 200},
                                      {"灯台下", "トウダイモト", std::nullopt}}));
    EXPECT_EQ(route.warnings.size(), 3u);
    EXPECT_EQ(timetable.prepare({"R33", std::nullopt, "T333"}).stops.size(), 30u);
}

// Each route's stop patterns come from its own trips only, however the feed interleaves the
// routes' trips: the most used first, the first seen first among equals.
TEST_F(Hy3Tool, PatternsAreEachRoutesOwnWhateverTheOrderOfTrips) {
    file("routes.txt", "route_id\nR1\nR2\n");
    file("stops.txt", "stop_id,stop_name\nA,A\nB,B\nC,C\n");
    file("trips.txt", "route_id,trip_id,direction_id\nR2,T1,0\nR1,T2,0\nR2,T3,1\nR1,T4,0\nR1,T5,1\nR1,T6,0\n");
    file("stop_times.txt", "trip_id,stop_id,stop_sequence\nT1,A,1\nT1,B,2\nT2,A,1\nT2,B,2\nT2,C,3\nT3,B,1\nT3,A,2\n"
                           "T4,B,1\nT4,C,2\nT5,C,1\nT5,A,2\nT6,B,1\nT6,C,2\n");
    opendata::Feed feed(dir.string());
    const auto timetable = opendata::Timetable::read(feed);
    struct Case {
        std::uint32_t route;
        int direction;                                                   // -2: any
        std::vector<std::tuple<std::string, std::string, int>> patterns; // stops, first trip, trips
    };
    const std::vector<Case> cases = {{0, 0, {{"BC", "T4", 2}, {"ABC", "T2", 1}}},
                                     {0, 1, {{"CA", "T5", 1}}},
                                     {0, -2, {{"BC", "T4", 2}, {"ABC", "T2", 1}, {"CA", "T5", 1}}},
                                     {1, -2, {{"AB", "T1", 1}, {"BA", "T3", 1}}}};
    for (const Case& c : cases) {
        std::vector<std::tuple<std::string, std::string, int>> found;
        for (const opendata::Pattern& p : timetable.patterns(
                 c.route, [&](const opendata::Trip& t) { return c.direction == -2 || t.direction == c.direction; })) {
            std::string stops;
            for (std::uint32_t s : p.stops) stops += timetable.stops()[s].name;
            found.emplace_back(stops, timetable.trips()[p.firstTrip].id, p.trips);
        }
        EXPECT_EQ(found, c.patterns) << "route " << c.route << ", direction " << c.direction;
    }
}
