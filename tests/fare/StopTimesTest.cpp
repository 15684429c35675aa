// The times file beside a route: what it accepts, and the line and fault of what it refuses.
#include "fare/StopTimes.h"

#include <gtest/gtest.h>

using fare::StopTime;
namespace stoptimes = fare::stoptimes;

TEST(StopTimes, GtfsClockTimesGoPastMidnightOfTheServiceDay) {
    const std::vector<std::pair<std::string, std::optional<int32_t>>> cases = {
        {"7:00:00", 25200}, {"25:10:00", 90600}, {"100:00:01", 360001}, {"07:60:00", {}},
        {"7:0:00", {}},     {"-1:00:00", {}},    {"07:00:00 ", {}},     {"1000:00:00", {}},
    };
    for (const auto& [text, seconds] : cases) EXPECT_EQ(stoptimes::parseClock(text), seconds) << text;
}

TEST(StopTimes, FilesAreReadBackAsWrittenAndBadLinesAreNamed) {
    const std::vector<StopTime> late = {{89880, 89970}, {90600, 90600}, {91800, 91830}};
    EXPECT_EQ(stoptimes::write(late), "89880,89970\n90600,90600\n91800,91830\n");
    EXPECT_EQ(stoptimes::read(stoptimes::write(late), nullptr), late);

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0,0\r\n60,90\r\n", ""}, // written on another system
        {"0,0\n60,90", ""},
        {"0,0\n\n60,90\n", "line 2: \"\" is not two times in seconds from 0 to 604800"},
        {"0,0\n60,9x\n", "line 2: \"60,9x\" is not two times"},
        {"0,0\n60,604801\n", "line 2: \"60,604801\" is not two times"},
        {"0,0\n90,60\n", "line 2: the arrival is after the departure"},
        {"0,100\n60,120\n", "line 2: the arrival is before the departure from the stop before"},
        {"0,0\n", "fewer than two stops"},
        {std::string(stoptimes::MaxFileBytes + 1, '0'), "larger than 16384 bytes"},
    };
    for (const auto& [text, error] : cases) {
        std::string why;
        const auto times = stoptimes::read(text, &why);
        EXPECT_EQ(times.has_value(), error.empty()) << text;
        EXPECT_EQ(why.substr(0, error.size()), error) << text;
    }
    std::string why = "left from before";
    EXPECT_FALSE(stoptimes::load("/nonexistent/12times.csv", &why));
    EXPECT_EQ(why, "") << "no file is no fault";
}
