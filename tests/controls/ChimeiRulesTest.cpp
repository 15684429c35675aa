#include "ChimeiLayout.h"
#include "ChimeiScroll.h"

#include <gtest/gtest.h>

using namespace chimei;

TEST(ChimeiLayout, CellsByNameLength) {
    struct Row { int cells; int16_t mode; int first, pitch, height; bool scrolls; };
    const Row rows[] = {
        {0, 2, 0, 0, 192, false},  {1, 2, 80, 0, 192, false},  {2, 2, 48, 64, 192, false},
        {2, 0, 32, 96, 192, false}, {2, 1, 32, 96, 192, false}, {3, 2, 16, 64, 192, false},
        {4, 2, 8, 48, 192, false},  {5, 2, 4, 38, 192, false},  {6, 2, 0, 32, 192, false},
        {7, 2, 0, 32, 224, true},   {20, 0, 0, 32, 640, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.cells << " cells, mode " << r.mode);
        const Layout l = layoutFor(r.cells, r.mode);
        EXPECT_EQ(l.first, r.first);
        EXPECT_EQ(l.pitch, r.pitch);
        EXPECT_EQ(l.height, r.height);
        EXPECT_EQ(l.scrolls, r.scrolls);
        // Still names are centred in the panel.
        if (!l.scrolls && r.cells > 0) {
            EXPECT_EQ(2 * l.first + (r.cells - 1) * l.pitch + 32, 192);
        }
    }
}

TEST(ChimeiLayout, VerticalWritingPlacement) {
    QString bar = "ー";
    const Placement p = placementFor(bar, 0);
    EXPECT_EQ(bar, "丨");
    EXPECT_FALSE(p.transpose);
    for (const char* s : {"（", "」", "【", "～", "＝", "→", "⇔"}) {
        QString ch = QString::fromUtf8(s);
        EXPECT_TRUE(placementFor(ch, 0).transpose) << s;
        EXPECT_EQ(ch, QString::fromUtf8(s));
    }
    for (const char* s : {"。", "、"}) {
        QString ch = QString::fromUtf8(s);
        const Placement q = placementFor(ch, 3);
        EXPECT_EQ(q.ox, 10);
        EXPECT_EQ(q.oy, -10);
    }
    QString yama = "山";
    EXPECT_EQ(placementFor(yama, 0).ox, 1);
    EXPECT_EQ(placementFor(yama, 2).ox, 1);
    EXPECT_EQ(placementFor(yama, 1).ox, 0);
    EXPECT_EQ(placementFor(yama, 4).ox, 0);
    QString plain = "東";
    const Placement n = placementFor(plain, 0);
    EXPECT_EQ(n.ox + n.oy, 0);
    EXPECT_FALSE(n.transpose);
}

TEST(ChimeiLayout, FaceByFontModeOnTheSignedCp932Code) {
    const int16_t kanji = cp932Code("亜"), hira = cp932Code("あ"), digit = cp932Code("０"), letter = cp932Code("ｚ");
    EXPECT_EQ(kanji, -30561) << "0x889F";
    EXPECT_EQ(digit, -32177) << "0x824F";
    EXPECT_EQ(letter, -32102) << "0x829A";
    EXPECT_EQ(cp932Code("A"), 65);
    EXPECT_EQ(cp932Code("ｱ"), 0xB1);
    EXPECT_EQ(cp932Code(""), 0);

    EXPECT_FALSE(usesMincho(0, hira));
    EXPECT_FALSE(usesMincho(9, kanji));
    EXPECT_TRUE(usesMincho(1, kanji));
    EXPECT_TRUE(usesMincho(2, hira));
    EXPECT_FALSE(usesMincho(2, kanji));
    EXPECT_FALSE(usesMincho(2, cp932Code("A")));
    EXPECT_FALSE(usesMincho(3, hira));
    EXPECT_TRUE(usesMincho(3, kanji));
    EXPECT_FALSE(usesMincho(4, digit));
    EXPECT_FALSE(usesMincho(4, letter));
    EXPECT_TRUE(usesMincho(4, static_cast<int16_t>(digit - 1)));
    EXPECT_TRUE(usesMincho(4, static_cast<int16_t>(letter + 1)));
    EXPECT_TRUE(usesMincho(4, kanji));
}

TEST(ChimeiScroll, PauseThenRiseThenRestartBelowThePanel) {
    ChimeiScroll s;
    int16_t speed = 200;   // 400 px/s
    s.start(192, 224, 1500);
    s.advance(1499, speed, 1500);
    EXPECT_EQ(s.top(), 192) << "hidden below the panel during the first pause";
    s.advance(101, speed, 1500);
    EXPECT_EQ(s.top(), 192 - 40);
    s.advance(1400, speed, 1500);
    EXPECT_EQ(s.top(), 192 - 600);
    EXPECT_FALSE(s.paused()) << "bottom edge still less than a panel height above the top";
    s.advance(25, speed, 700);
    EXPECT_EQ(s.top(), 192) << "restarted once the bottom edge is 192 px above the panel";
    EXPECT_TRUE(s.paused());
    s.advance(699, speed, 700);
    EXPECT_EQ(s.top(), 192);
    s.advance(11, speed, 700);
    EXPECT_EQ(s.top(), 192 - 4);
}

TEST(ChimeiScroll, SpeedIsReadAtEveryStep) {
    ChimeiScroll s;
    int16_t speed = 0;
    s.start(192, 224, 1000);
    s.advance(999, speed, 1000);
    EXPECT_EQ(speed, 0) << "corrected only when the scroll begins";
    s.advance(1, speed, 1000);
    EXPECT_EQ(speed, 1);
    speed = 100;
    s.advance(100, speed, 1000);
    EXPECT_EQ(s.top(), 172);
    speed = 300;
    s.advance(100, speed, 1000);
    EXPECT_EQ(s.top(), 112);
    EXPECT_DOUBLE_EQ(s.msToNextChange(30), 0.5 / 0.06);
    EXPECT_DOUBLE_EQ(s.msToNextChange(3000), 1.0) << "never less than a millisecond";
    s.stop();
    s.advance(1000, speed, 1000);
    EXPECT_EQ(s.top(), 112);
    EXPECT_FALSE(s.running());
}
