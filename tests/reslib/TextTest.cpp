#include "reslib/Cp932.h"
#include "reslib/TextLib.h"

#include <gtest/gtest.h>

TEST(Cp932, WaveDashNecAndIbmExtensionsRoundTrip) {
    // ～ (wave dash as CP932 has it), ① (NEC row 13), Ⅰ, ∵, 髙 and 﨑 (IBM extensions), ¥ is a backslash.
    const std::string bytes = "\x81\x60\x87\x40\x87\x54\x81\xE6\xFB\xFC\xFA\xB1\x5C";
    const std::string text = cp932::toUtf8(bytes);
    EXPECT_EQ(text, "～①Ⅰ∵髙﨑\\");
    EXPECT_EQ(cp932::fromUtf8(text), bytes);
    EXPECT_EQ(cp932::fromUtf8("ｶﾞ"), std::string("\xB6\xDE"));
}

TEST(Cp932, UnmappableTextIsReportedNotGuessed) {
    EXPECT_EQ(cp932::fromUtf8("駅\xF0\x9F\x9A\x8C"), std::nullopt);
    EXPECT_EQ(cp932::fromUtf8Lossy("駅\xF0\x9F\x9A\x8C!"), "\x89\x77?!");
    EXPECT_EQ(cp932::fromUtf8("\xFF"), std::nullopt) << "broken UTF-8";
    // A lone lead byte, and an undefined double-byte code, each decode to one replacement character.
    EXPECT_EQ(cp932::toUtf8("A\x81"), "A\xEF\xBF\xBD");
    EXPECT_EQ(cp932::toUtf8("\x85\x40"
                            "B"),
              "\xEF\xBF\xBD"
              "B");
    EXPECT_EQ(cp932::toUtf8("\x81 A"), "\xEF\xBF\xBD A") << "a lead byte with no trail byte after it";
}

TEST(Cp932, TextsLongerThanOnePieceOfConversionComeOutWhole) {
    // 80 KB of CP932, 120 KB of UTF-8, with faults past the first 64 KiB.
    std::string bytes, utf8;
    for (int i = 0; i < 40000; ++i) {
        bytes += "\x89\x77";
        utf8 += "駅";
    }
    EXPECT_EQ(cp932::toUtf8(bytes), utf8);
    EXPECT_EQ(cp932::fromUtf8(utf8), bytes);
    EXPECT_EQ(cp932::toUtf8(bytes + "\x85\x40" + bytes), utf8 + "\xEF\xBF\xBD" + utf8);
    EXPECT_EQ(cp932::fromUtf8Lossy(utf8 + "\xF0\x9F\x9A\x8C" + utf8), bytes + "?" + bytes);
    EXPECT_EQ(cp932::toUtf8Strict(bytes + "\x85\x40"), std::nullopt);
}

TEST(TextLib, ByteLengthAndByteSlices) {
    const std::string name = *cp932::fromUtf8("本町1丁目");
    EXPECT_EQ(LenB_ASCII(name), 9);
    EXPECT_EQ(LenB_ASCII(""), 0);
    EXPECT_EQ(MidB_ASCII(name, 1, 2), *cp932::fromUtf8("本"));
    EXPECT_EQ(MidB_ASCII(name, 5, 2), *cp932::fromUtf8("1") + "\x92");
    EXPECT_EQ(MidB_ASCII(name, 9, 2), "\xDA") << "at most the bytes that are there";
    EXPECT_EQ(MidB_ASCII(name, 10, 2), "");
    EXPECT_EQ(MidB_ASCII(name, 3, 0), "");
}

TEST(TextLib, OsNameIsThisSystemsNotWindows) {
    const std::string os = GetOsInfo();
    EXPECT_FALSE(os.empty());
    EXPECT_NE(os, "Windows Vista");
}
