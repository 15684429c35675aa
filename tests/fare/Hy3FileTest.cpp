#include "Hy3File.h"

#include <gtest/gtest.h>

using namespace fare;

namespace {
std::string le16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
} // namespace

TEST(Hy3File, LayoutIsCountThenLengthNameTicketAndColumns) {
    FareRecord a;
    a.StopName = "本町～駅";
    a.TicketNumber = -2;
    a.column(1) = 230;
    a.column(150) = -32768;
    FareRecord empty; // a name of 0 bytes is valid
    std::string error;
    auto bytes = hy3::write({a, empty}, &error);
    ASSERT_TRUE(bytes) << error;

    std::string expected = le16(2) + le16(8) + "\x96\x7B\x92\xAC\x81\x60\x89\x77" + le16(-2) + le16(230) +
                           std::string(2 * 148, '\0') + le16(-32768) + le16(0) + le16(0) + std::string(300, '\0');
    EXPECT_EQ(*bytes, expected);
    EXPECT_EQ(bytes->size(), 2u + (304 + 8) + 304);

    auto back = hy3::read(*bytes + "trailing bytes are ignored", &error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0], a);
    EXPECT_EQ((*back)[1], empty);
}

TEST(Hy3File, DamagedFilesAreRefusedWithADescription) {
    const std::string good = *hy3::write(std::vector<FareRecord>(2), nullptr);
    std::string error;
    for (size_t cut = 0; cut < good.size(); cut += 37) {
        EXPECT_FALSE(hy3::read(good.substr(0, cut), &error)) << cut;
        EXPECT_FALSE(error.empty());
    }
    std::string longName = le16(1) + le16(500) + "abc";
    EXPECT_FALSE(hy3::read(longName, &error)) << "a name length past the end";
    EXPECT_NE(error.find("レコード 1"), std::string::npos);
    EXPECT_FALSE(hy3::read(le16(-5), &error));
    EXPECT_FALSE(hy3::read(le16(302) + std::string(400 * 304, '\0'), &error)) << "more rows than the table";
    EXPECT_TRUE(hy3::read(le16(301) + std::string(301 * 304, '\0'), &error));
    EXPECT_TRUE(hy3::read(le16(0), &error));
}

TEST(Hy3File, WriterRefusesWhatTheFileCannotHold) {
    std::string error;
    EXPECT_FALSE(hy3::write(std::vector<FareRecord>(302), &error));
    FareRecord emoji;
    emoji.StopName = "駅\xF0\x9F\x9A\x8C"; // a bus emoji has no CP932 code
    EXPECT_FALSE(hy3::write({emoji}, &error));
    EXPECT_NE(error.find("レコード 1"), std::string::npos);
}
