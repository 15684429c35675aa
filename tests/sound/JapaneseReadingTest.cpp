// The katakana the voice is given for announcements.
#include "sound/JapaneseReading.h"

#include <gtest/gtest.h>

namespace {

class JapaneseReadingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { reading = JapaneseReading::create().release(); }
    static void TearDownTestSuite() { delete reading; }
    static std::string read(const std::string& text) { return reading->katakana(text); }
    void SetUp() override { ASSERT_NE(reading, nullptr) << "MeCab with ipadic-utf8 is needed"; }
    static JapaneseReading* reading;
};
JapaneseReading* JapaneseReadingTest::reading = nullptr;

TEST_F(JapaneseReadingTest, KanjiAnnouncementsReadWithParticlesAsSpoken) {
    EXPECT_EQ(read("次は、東京駅です"), "ツギワ、トーキョーエキデス");
    EXPECT_EQ(read("駅へ向かいます。"), "エキエムカイマス。");
    EXPECT_EQ(read("毎度ご乗車ありがとうございます。"), "マイドゴジョーシャアリガトーゴザイマス。");
}

TEST_F(JapaneseReadingTest, OwnReadingsReplaceWrongDictionaryReadings) {
    EXPECT_EQ(read("お降りの方は"), "オオリノカタワ");
    EXPECT_EQ(read("お降りください"), "オオリクダサイ");
    EXPECT_EQ(read("運賃は後払いです"), "ウンチンワアトバライデス");
    EXPECT_EQ(read("出口"), "デグチ");
}

TEST_F(JapaneseReadingTest, NumbersAreReadAsJapaneseNumbers) {
    EXPECT_EQ(read("12番"), "ジューニバン");
    EXPECT_EQ(read("１２番"), "ジューニバン"); // full-width digits too
    EXPECT_EQ(read("300円"), "サンビャクエン");
    EXPECT_EQ(read("1,000円"), "センエン");
    EXPECT_EQ(read("8600"), "ハッセンロッピャク");
    EXPECT_EQ(read("10000"), "イチマン");
    EXPECT_EQ(read("12345678"), "センニヒャクサンジューヨンマンゴセンロッピャクナナジューハチ");
    EXPECT_EQ(read("10000000"), "イッセンマン");
    EXPECT_EQ(read("100000000"), "イチオク");
    EXPECT_EQ(read("0"), "ゼロ");
    EXPECT_EQ(read("1.5"), "イチテンゴ");
    EXPECT_EQ(read("0120"), "ゼロイチニゼロ"); // a leading zero: digit by digit
    EXPECT_EQ(read("1 2"), "イチ ニ");
}

TEST_F(JapaneseReadingTest, LettersKanaAndPunctuationAreNeverSkipped) {
    EXPECT_EQ(read("ABCバス"), "エービーシーバス");
    EXPECT_EQ(read("ｊｒ線"), "ジェーアールセン");
    EXPECT_EQ(read("ｶﾀｶﾅ"), "カタカナ");
    EXPECT_EQ(read("ぴえんぱおん"), "ピエンパオン"); // unknown to ipadic: kana as written
    EXPECT_EQ(read("「中央」・北口?"), "、チューオー、、キタグチ?");
    EXPECT_EQ(read(""), "");
}

TEST(JapaneseReadingSetup, MissingDictionaryGivesNoReading) {
    EXPECT_EQ(JapaneseReading::create("/nonexistent/dictionary"), nullptr);
}

} // namespace
