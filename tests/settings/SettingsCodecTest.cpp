#include "settings/SettingsCodec.h"
#include "SettingsTestData.h"

#include <gtest/gtest.h>

using namespace settings;

namespace {

std::string encoded(const SettingsRecord& r) {
    std::string error;
    auto bytes = encode(r, &error);
    EXPECT_TRUE(bytes) << error;
    return bytes.value_or("");
}

} // namespace

TEST(SettingsCodec, EmptyTextsGiveTheFixedLayout) {
    SettingsRecord r; // defaults: every text empty
    r.Ctrl.HiddenEntryFrame = -2;
    r.Form.BoardLeft = 0x12345678;
    r.CustomColors[16] = 0x00ABCDEF;
    r.Cells[0] = {1, 2, 3};
    r.Cells[31] = {-1, 4, 5};
    const std::string b = encoded(r);
    ASSERT_EQ(b.size(), 442u);
    EXPECT_EQ(b.substr(0, 4), le16(0) + le16(0)) << "the two folders";
    EXPECT_EQ(b.substr(4, 6), le16(1) + le32(0xFFFFFF)) << "UseSeiriNumDisp, SeiriNumColorOff";
    EXPECT_EQ(b.substr(44, 4), le32(0x858585)) << "FareDegitBackColor opens block 3";
    EXPECT_EQ(b.substr(96, 2), le16(-1)) << "ChimeiFontMode";
    EXPECT_EQ(b.substr(150, 6), le16(-2) + le32(1)) << "HiddenEntryFrame, ScrollSpeed";
    EXPECT_EQ(b.substr(172, 4), le32(0x12345678));
    EXPECT_EQ(b.substr(244, 4), le32(0x00ABCDEF)) << "last custom colour";
    EXPECT_EQ(b.substr(248, 8), le16(32) + le16(1) + le16(2) + le16(3)) << "cell count, then cell 1";
    EXPECT_EQ(b.substr(436), le16(-1) + le16(4) + le16(5)) << "cell 32 ends the file";
}

// Every field differs from its neighbours, so a byte-order or sign slip in the reader shows up
// when its record is written again.
TEST(SettingsCodec, EveryFieldRoundTripsAndExtraBytesAreIgnored) {
    const std::string bytes = encoded(distinctRecord());
    std::string altered = bytes + "trailing";
    altered[bytes.size() - 194] = 5; // the stored cell count is not used: 32 records are always read
    std::string error;
    auto back = decode(altered, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->Options.FixedDate, "項目64～①");
    EXPECT_EQ(encoded(*back), bytes);
}

TEST(SettingsCodec, ALongerTextShiftsEveryLaterBlock) {
    SettingsRecord r;
    r.Options.FareDataDir = "C:\\運賃";
    const std::string b = encoded(r);
    ASSERT_EQ(b.size(), 449u);
    EXPECT_EQ(b.substr(0, 9), le16(7) + "C:\\\x89\x5E\x92\xC0");
    EXPECT_EQ(b.substr(11, 2), le16(1)) << "UseSeiriNumDisp";
    EXPECT_EQ(b.substr(255, 2), le16(32)) << "cell count";
    EXPECT_EQ(decode(b, nullptr)->Options.FareDataDir, "C:\\運賃");
}

TEST(SettingsCodec, AFileEndingAnywhereIsRefused) {
    const std::string full = encoded(distinctRecord());
    std::string error;
    for (size_t cut = 0; cut < full.size(); ++cut) {
        error.clear();
        EXPECT_FALSE(decode(std::string_view(full).substr(0, cut), &error)) << cut;
        EXPECT_TRUE(error.starts_with("設定ファイルが壊れています（ブロック ")) << cut << error;
    }
    decode(std::string_view(full).substr(0, full.size() - 192), &error);
    EXPECT_NE(error.find("ブロック 11「コマごとの数字設定」"), std::string::npos) << error;
    // A count larger than the rest of the file is refused before its text is taken.
    EXPECT_FALSE(decode(le16(0xFFFF) + std::string(1000, 'x'), &error));
    EXPECT_NE(error.find("ブロック 1「フォルダー」"), std::string::npos) << error;
}

TEST(SettingsCodec, TextsTheFileCannotHoldAreRefusedByName) {
    std::string error;
    SettingsRecord r;
    r.Options.SoundReset = "ﾊﾞｽ\xF0\x9F\x9A\x8C"; // a bus emoji has no CP932 code
    EXPECT_FALSE(encode(r, &error));
    EXPECT_NE(error.find("オプション項目 41"), std::string::npos) << error;

    r = SettingsRecord{};
    r.Options.SeiriPlgPath = std::string(0xFFFF, 'p');
    EXPECT_EQ(encoded(r).size(), 442u + 0xFFFF) << "the longest text a count can give";
    r.Options.SeiriPlgPath += "p";
    EXPECT_FALSE(encode(r, &error));
    EXPECT_NE(error.find("オプション項目 60"), std::string::npos) << error;
}
