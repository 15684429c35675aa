#include "controls/ChimeiLayout.h"
#include "controls/ChimeiScroll.h"

#include <gtest/gtest.h>

using namespace chimei;

TEST(ChimeiLayout, StillNamesAreCentredLongOnesScroll) {
    for (int cells = 1; cells <= 6; ++cells) {
        for (int16_t mode : {0, 2}) {
            const Layout l = layoutFor(cells, mode);
            EXPECT_EQ(2 * l.first + (cells - 1) * l.pitch + 32, 192) << cells << " cells, mode " << mode;
            EXPECT_FALSE(l.scrolls);
        }
    }
    EXPECT_EQ(layoutFor(2, 1).first, 32) << "only mode 2 sets two characters closer";
    EXPECT_EQ(layoutFor(5, 2).pitch, 38);
    const Layout seven = layoutFor(7, 2);
    EXPECT_TRUE(seven.scrolls);
    EXPECT_EQ(seven.height, 224);
    EXPECT_EQ(layoutFor(20, 0).height, 640);
}

TEST(ChimeiLayout, ThreeToFiveCharactersHaveTheirOwnPitch) {
    const struct { int cells, first, pitch; } rows[] = {{3, 16, 64}, {4, 8, 48}, {5, 4, 38}};
    for (const auto& r : rows) {
        const Layout l = layoutFor(r.cells, 0);
        EXPECT_EQ(l.first, r.first) << r.cells;
        EXPECT_EQ(l.pitch, r.pitch) << r.cells;
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
    int16_t speed = 200; // 400 px/s
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
