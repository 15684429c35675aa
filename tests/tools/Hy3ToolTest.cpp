// Runs the real hy3tool as route authors do and checks its contract: output, exit codes, and
// that a failed build never creates or changes the output file.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
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
              ("ferio-hy3tool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
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
    const std::string csv = file("in.csv",
                                 "record,name,ticket,c112,c1,c150\r\n"
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

TEST(SampleRoutes, ShipReadyToLoadWithEveryFareWholeByDayAndNight) {
    for (const char* route : {"7", "12", "105"}) {
        const std::string cmd = std::string(FERIO_BIN_DIR) + "/hy3tool check " + FERIO_SAMPLES_DIR + "/" + route +
                                ".hy3 2>&1 >/dev/null";
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
        for (std::istringstream in(r.err); std::getline(in, lines.emplace_back());) {
        }
        lines.pop_back();
        ASSERT_EQ(lines.size(), 3u) << r.err;
        EXPECT_NE(lines[0].find("record 1 (山の上), cell 2: the fare 1000 at night has 4 digits; the cell shows 000"),
                  std::string::npos) << lines[0];
        EXPECT_NE(lines[1].find("record 1 (山の上), cell 3: the fare 1240 has 4 digits; the cell shows 240"),
                  std::string::npos) << lines[1];
        EXPECT_NE(lines[2].find("record 2 (本町), cell 2: the fare -500 has 4 digits"), std::string::npos) << lines[2];
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
