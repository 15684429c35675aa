// The katakana the voice is given for announcements.
#include "sound/JapaneseReading.h"
#include "sound/mdlM_Tape.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

struct Case {
    const char* text;
    const char* reading;
};

class JapaneseReadingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { reading = JapaneseReading::create().release(); }
    static void TearDownTestSuite() { delete reading; }
    static std::string read(const std::string& text) { return reading->katakana(text); }
    static void expectReadings(std::initializer_list<Case> cases) {
        for (const Case& c : cases) EXPECT_EQ(read(c.text), c.reading) << c.text;
    }
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

TEST_F(JapaneseReadingTest, OnlyTheFirstThousandCharactersAreRead) {
    std::string kanji, reading, wide;
    for (int i = 0; i < 999; ++i) {
        kanji += "駅";
        reading += "エキ";
    }
    EXPECT_EQ(read(kanji + "駅駅駅"), reading + "エキ");
    EXPECT_EQ(read(kanji + "ａｂ"), reading + "エー") << "counted after full-width letters become ASCII";
    for (int i = 0; i < 2000; ++i) wide += "𠮷";
    EXPECT_EQ(QString::fromStdString(read(wide)).size(), 2 * 1000) << "a character outside the BMP counts once";
}

// Each rule with the neighbours that make it apply, and those that keep ipadic's reading.
TEST_F(JapaneseReadingTest, WordsAreReadByTheirNeighbours) {
    // 方 is a person after の, a verb or an auxiliary, a direction before へ.
    expectReadings({{"お乗り換えの方は", "オノリカエノカタワ"},
                    {"乗り換える方は", "ノリカエルカタワ"},
                    {"お体の不自由な方に", "オカラダノフジユーナカタニ"},
                    {"駅の方へお進みください", "エキノホーエオススミクダサイ"}});
    // 行き after a noun is where the bus goes; the verb and 行き先 keep their readings.
    expectReadings({{"中央駅前行き", "チューオーエキマエユキ"},
                    {"東京行", "トーキョーユキ"},
                    {"駅へ行きます", "エキエイキマス"},
                    {"行き先", "ユキサキ"}});
    expectReadings({{"整理券をお取りください", "セイリケンオオトリクダサイ"}});
}

TEST_F(JapaneseReadingTest, NumbersBeforeCountersChangeTheirSound) {
    expectReadings({{"一丁目", "イッチョーメ"},
                    {"二丁目", "ニチョーメ"},
                    {"三丁目", "サンチョーメ"},
                    {"四丁目", "ヨンチョーメ"},
                    {"六丁目", "ロクチョーメ"},
                    {"七丁目", "ナナチョーメ"},
                    {"八丁目", "ハッチョーメ"},
                    {"九丁目", "キューチョーメ"},
                    {"十丁目", "ジッチョーメ"},
                    {"十一丁目", "ジューイッチョーメ"},
                    {"二十丁目", "ニジッチョーメ"}});
    // The same in ASCII and full-width digits.
    expectReadings({{"1丁目", "イッチョーメ"},
                    {"１丁目", "イッチョーメ"},
                    {"８丁目", "ハッチョーメ"},
                    {"10丁目", "ジッチョーメ"}});
    expectReadings({{"一番", "イチバン"},
                    {"三番", "サンバン"},
                    {"一号", "イチゴー"},
                    {"3番線", "サンバンセン"},
                    {"４番地", "ヨンバンチ"},
                    {"国道1号", "コクドーイチゴー"},
                    {"三丁目一番五号", "サンチョーメイチバンゴゴー"}});
    expectReadings({{"10分", "ジップン"},
                    {"5分", "ゴフン"},
                    {"4時", "ヨジ"},
                    {"9時", "クジ"},
                    {"四円", "ヨエン"},
                    {"3階", "サンガイ"},
                    {"6系統", "ロッケートー"}});
    // A numeral in kanji is one number, whatever ipadic's split.
    expectReadings({{"三百円", "サンビャクエン"}, {"二〇二六年", "ニセンニジューロクネン"}, {"1万円", "イチマンエン"}});
}

// The shipped table, read by eye once: each rule's cases exactly, and no line with a word the
// announcer would not say, nor anything the voice cannot read.
TEST_F(JapaneseReadingTest, EveryAnnouncementOfTheSampleTable) {
    std::ifstream in(FERIO_SOURCE_SAMPLES "/12tp.csv", std::ios::binary);
    const auto table = parseTapeTable(std::string{std::istreambuf_iterator<char>(in), {}});
    ASSERT_TRUE(table);
    ASSERT_EQ(table->size(), 65u);
    const QRegularExpression spoken(QStringLiteral("^[ァ-ヶー、。]+$"));
    for (const TapeEntry& e : *table) {
        const QString r = QString::fromStdString(read(e.text));
        EXPECT_TRUE(spoken.match(r).hasMatch()) << e.text << " " << r.toStdString();
        for (const char* wrong : {"ホーワ", "イキデス", "イチチョーメ", "ヲ"})
            EXPECT_FALSE(r.contains(QString::fromUtf8(wrong))) << e.text << " " << r.toStdString();
    }
    expectReadings(
        {{"お降りの方は、お近くのボタンでお知らせください。", "オオリノカタワ、オチカクノボタンデオシラセクダサイ。"},
         {"県立病院へお越しの方は、こちらでお降りください。",
          "ケンリツビョーインエオコシノカタワ、コチラデオオリクダサイ。"},
         {"毎度ご乗車ありがとうございます。このバスは、山の上行きです。",
          "マイドゴジョーシャアリガトーゴザイマス。コノバスワ、ヤマノウエユキデス。"},
         {"次は、西山台一丁目です。", "ツギワ、ニシヤマダイイッチョーメデス。"},
         {"次は、西山台二丁目です。", "ツギワ、ニシヤマダイニチョーメデス。"},
         {"次は、緑町三丁目です。", "ツギワ、ミドリチョーサンチョーメデス。"},
         {"次は、新川橋です。", "ツギワ、シンカワバシデス。"}});
}

// The folder's readings win over the built-in ones and are place names to the rules; a damaged
// line costs that line only and is named with its file and line number.
TEST_F(JapaneseReadingTest, FolderReadingsWinAndDamagedLinesAreNamed) {
    const std::string file =
        (std::filesystem::temp_directory_path() / ("ferio-readings-" + std::to_string(getpid()) + ".tsv")).string();
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF# 路線 12 の停留所\n"
                                             "新川橋\tシンカワハシ\n"
                                             "西山台\tニシヤマダイラ\r\n"
                                             "\n"
                                             "港\tこう\n"                    // 5: not katakana
                                             "港 コー\n"                     // 6: no tab
                                             "\tコー\n"                      // 7: no surface
                                             "港\xFF\tコー\n"                // 8: not UTF-8
                                             "港\tコー\tです\n"              // 9: three columns
                                             "ＡＢＣ台\tエービーシーダイ\n"; // matched after NFKC
    testing::internal::CaptureStderr();
    reading->useReadingsFile(file);
    const std::string errors = testing::internal::GetCapturedStderr();
    expectReadings({{"新川橋", "シンカワハシ"},
                    {"西山台行き", "ニシヤマダイラユキ"},
                    {"西山台一丁目", "ニシヤマダイライッチョーメ"},
                    {"ABC台", "エービーシーダイ"},
                    {"出口", "デグチ"},
                    {"港", "ミナト"}});
    for (int line : {5, 6, 7, 8, 9})
        EXPECT_NE(errors.find(file + ":" + std::to_string(line) + ": "), std::string::npos) << line;
    EXPECT_EQ(std::ranges::count(errors, '\n'), 5) << errors;

    reading->useReadingsFile({});
    std::filesystem::remove(file);
    expectReadings({{"新川橋", "シンカワバシ"}, {"西山台", "ニシヤマダイ"}});
    testing::internal::CaptureStderr();
    reading->useReadingsFile(file);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(file), std::string::npos) << "a missing file is named";
    EXPECT_EQ(read("新川橋"), "シンカワバシ");
}

TEST(JapaneseReadingSetup, TheBuiltInTableHasNoDamagedLine) {
    testing::internal::CaptureStderr();
    EXPECT_NE(JapaneseReading::create(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JapaneseReadingSetup, MissingDictionaryGivesNoReading) {
    EXPECT_EQ(JapaneseReading::create("/nonexistent/dictionary"), nullptr);
}

} // namespace
