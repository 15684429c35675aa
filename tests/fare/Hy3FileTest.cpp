#include "fare/Hy3File.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace fare;

namespace {
std::string le16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }

bool isDamagedMessage(const std::string& error) {
    return error.starts_with("運賃データファイルが壊れています（") && error.ends_with("）。");
}

struct TempDir {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("ferio-hy3-" + std::to_string(getpid()));
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() { std::filesystem::remove_all(path); }
};
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
    EXPECT_TRUE(isDamagedMessage(error)) << error;
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

// 301 records with 65535-byte names are the most the format can describe; the reader must take
// all of it, stop at that bound when more follows, and refuse records that run past the end.
TEST(Hy3File, LargestFileLoadsFromDiskAndExtraBytesAreIgnored) {
    auto letter = [](int r) { return static_cast<char>('A' + r % 26); };
    std::string largest = le16(301);
    for (int r = 1; r <= 301; ++r)
        largest += le16(0xFFFF) + std::string(0xFFFF, letter(r)) + le16(r) + std::string(300, '\0');
    ASSERT_EQ(largest.size(), hy3::MaxFileBytes);

    const TempDir dir;
    auto load = [&](const std::string& bytes) {
        const auto path = (dir.path / "route.hy3").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return hy3::loadBytes(path);
    };
    auto whole = load(largest);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(*whole == largest);
    auto withTail = load(largest + std::string(3 * 65536 + 5, '\x7F'));
    ASSERT_TRUE(withTail);
    EXPECT_TRUE(*withTail == largest) << "reading stops at the bound: " << withTail->size();
    std::string error;
    auto records = hy3::read(*withTail, &error);
    ASSERT_TRUE(records) << error;
    ASSERT_EQ(records->size(), 301u);
    EXPECT_EQ(records->back().StopName, std::string(0xFFFF, letter(301)));
    EXPECT_EQ(records->back().TicketNumber, 301);

    auto cut = load(largest.substr(0, largest.size() - 1));
    ASSERT_TRUE(cut);
    EXPECT_FALSE(hy3::read(*cut, &error));
    EXPECT_TRUE(isDamagedMessage(error)) << error;
    EXPECT_NE(error.find("レコード 301"), std::string::npos) << error;
}
