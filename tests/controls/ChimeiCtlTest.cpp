#include "OwnProperties.h"
#include "controls/ChimeiCtl_B.h"
#include "reslib/ui/Bgr.h"

#include <QFontDatabase>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int32_t kBack = 0x000000, kDot = 0x00FF00;

struct Dots {
    std::vector<QPoint> points;
    QRect box() const {
        QRect r;
        for (const QPoint& p : points) r |= QRect(p, QSize(1, 1));
        return r;
    }
    Dots within(int top, int bottom) const {
        Dots d;
        for (const QPoint& p : points)
            if (p.y() >= top && p.y() < bottom) d.points.push_back(p);
        return d;
    }
};

// Every lit dot of the control; fails the test on any pixel that is neither dot nor background.
Dots dotsOf(ChimeiCtl_B& c) {
    const QImage img = c.grab().toImage();
    Dots d;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y);
            if (px == fromBgr(kDot).rgb())
                d.points.emplace_back(x, y);
            else
                EXPECT_EQ(px, fromBgr(kBack).rgb()) << "stray shade at " << x << "," << y;
        }
    return d;
}

struct Panel : ChimeiCtl_B {
    Panel() {
        setBackColor(kBack);
        setForeColor(kDot);
    }
};

} // namespace

TEST(ChimeiCtl_B, DefaultsAndStoredProperties) {
    ChimeiCtl_B c;
    EXPECT_EQ(c.BackColor(), 0x404040) << "before stored properties are applied";
    EXPECT_EQ(c.ForeColor(), 0x80C0FF);
    EXPECT_EQ(c.Speed(), 5);
    EXPECT_EQ(c.ScrollStartWait(), 1500);
    EXPECT_EQ(c.Mode(), 2);
    EXPECT_EQ(c.Appearance(), 1);
    EXPECT_EQ(c.size(), QSize(35, 192));
    c.ReadProperties({{"Speed", -3}, {"FontBold", true}});
    EXPECT_EQ(c.BackColor(), 8421504);
    EXPECT_EQ(c.ForeColor(), 48895);
    EXPECT_EQ(c.Speed(), -3) << "restored values are not checked";
    EXPECT_TRUE(c.FontBold());
    QVariantMap bag;
    c.WriteProperties(bag);
    EXPECT_EQ(bag.value("ScrollStartWait").toInt(), 1500);
    EXPECT_EQ(bag.value("Speed").toInt(), -3);
}

TEST(ChimeiCtl_B, StillNamesSitInTheirLayoutRowsOnTheDotPitch) {
    Panel c;
    struct Row {
        const char* name;
        int16_t mode;
        std::vector<int> tops;
    };
    const Row rows[] = {
        {"東", 2, {80}},
        {"東京", 2, {48, 112}},
        {"東京", 0, {32, 128}},
        {"本町一丁目", 2, {4, 42, 80, 118, 156}},
        {"本町一丁", 2, {8, 56, 104, 152}},
        {"本町一", 2, {16, 80, 144}},
        {"本町一丁目南", 2, {0, 32, 64, 96, 128, 160}},
        {"AB", 2, {80}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        c.setMode(r.mode);
        c.SetChimei(QString::fromUtf8(r.name));
        const Dots all = dotsOf(c);
        size_t counted = 0;
        for (int top : r.tops) {
            const Dots cell = all.within(top, top + 32);
            EXPECT_FALSE(cell.points.empty()) << "cell at " << top;
            counted += cell.points.size();
        }
        EXPECT_EQ(counted, all.points.size()) << "no dot outside the cells";
        for (const QPoint& p : all.points) {
            EXPECT_EQ(p.x() % 2, 0);
            EXPECT_EQ(p.y() % 2, 0);
            EXPECT_GE(p.x(), 2);
            EXPECT_LE(p.x(), 32);
        }
    }
}

TEST(ChimeiCtl_B, VerticalWritingCharacters) {
    Panel c;
    c.SetChimei("ー");
    QRect box = dotsOf(c).box();
    EXPECT_GT(box.height(), 3 * box.width()) << "a vertical bar";

    c.SetChimei("→");
    box = dotsOf(c).box();
    EXPECT_GT(box.height(), box.width()) << "turned to point down";

    c.SetChimei("「");
    box = dotsOf(c).box();
    EXPECT_GT(box.width(), box.height()) << "the long stroke lies across";

    c.SetChimei("。");
    box = dotsOf(c).box();
    EXPECT_GE(box.left(), 2 + 2 * 10);
    EXPECT_LT(box.bottom(), 80 + 12) << "upper right of the cell";
    EXPECT_GE(box.top(), 80);

    c.SetChimei("AB"); // two half-width characters share one cell, each in its own half
    const Dots pair = dotsOf(c);
    EXPECT_FALSE(pair.within(80, 112).points.empty());
    int left = 0, right = 0;
    for (const QPoint& p : pair.points) (p.x() <= 16 ? left : right)++;
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);
}

TEST(ChimeiCtl_B, FontsAndBoldChangeTheDots) {
    if (!QFontDatabase::families().contains("IPAMincho") || !QFontDatabase::families().contains("IPAGothic"))
        GTEST_SKIP() << "needs both IPA faces";
    Panel c;
    c.SetChimei("駅");
    const size_t gothic = dotsOf(c).points.size();
    c.setFontMode(1);
    c.SetChimei("駅");
    const size_t mincho = dotsOf(c).points.size();
    EXPECT_NE(gothic, mincho);
    c.setFontMode(2); // kanji from Gothic
    c.SetChimei("駅");
    EXPECT_EQ(dotsOf(c).points.size(), gothic);
    c.setFontMode(0);
    c.setFontBold(true);
    c.SetChimei("駅");
    EXPECT_GT(dotsOf(c).points.size(), gothic);
}

TEST(ChimeiCtl_B, BackColorAndAppearanceClearTheName) {
    Panel c;
    c.resize(40, 200);
    c.SetChimei("本町一丁目南");
    EXPECT_FALSE(dotsOf(c).within(185, 200).points.empty()) << "last row shows in the 192 px viewport";
    c.setBackColor(kBack);
    EXPECT_TRUE(dotsOf(c).points.empty());
    c.SetChimei("本町一丁目南");
    c.setAppearance(0);
    EXPECT_TRUE(dotsOf(c).points.empty());
    c.SetChimei("本町一丁目南");
    EXPECT_TRUE(dotsOf(c).within(185, 200).points.empty()) << "the flat viewport is 185 px high";
    c.setAppearance(1);
    c.SetChimei("本町一丁目南");
    EXPECT_FALSE(dotsOf(c).within(185, 200).points.empty());
    c.SetChimei("");
    EXPECT_TRUE(dotsOf(c).points.empty());
}

TEST(ChimeiCtl_B, LongNamesScrollFromATimer) {
    Panel c;
    c.setSpeed(0);
    c.setScrollStartWait(0);
    c.SetChimei("東京都庁前バスターミナル"); // returns at once
    EXPECT_TRUE(dotsOf(c).points.empty()) << "starts below the panel";
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.Speed() == 1; }, 2000));
    c.setSpeed(2000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dotsOf(c).points.empty(); }, 2000)) << "rises into view";

    // A new short name stops the scroll and stands still.
    c.SetChimei("東");
    const QImage still = c.grab().toImage();
    QTest::qWait(100);
    EXPECT_EQ(c.grab().toImage(), still);

    // An empty name alone leaves the scroll running over the blank surface.
    c.SetChimei("東京都庁前バスターミナル");
    c.SetChimei("");
    QString mark = "東";
    c.DrawDot16(2, 0, mark);
    const QImage first = c.grab().toImage();
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.grab().toImage() != first; }, 2000));
}

TEST(ChimeiCtl_B, EachPropertyNotifiesOnlyARealChange) {
    ChimeiCtl_B c;
    expectNotifiesOnlyOnChange(c, [](const QVariant& v) {
        return v.typeId() == QMetaType::Bool ? QVariant(!v.toBool()) : QVariant(v.toInt() + 1);
    });
    // The scroll's own correction of a zero speed is a change too.
    c.setSpeed(0);
    c.setScrollStartWait(0);
    QSignalSpy speed(&c, &ChimeiCtl_B::SpeedChanged);
    c.SetChimei("東京都庁前バスターミナル");
    ASSERT_TRUE(speed.wait(2000));
    EXPECT_EQ(speed.count(), 1);
    EXPECT_EQ(speed.at(0).at(0).toInt(), 1);
    c.SetChimei("東");
}

TEST(ChimeiCtl_B, EveryPropertyRoundTripsThroughTheBagAndMissingKeysTakeTheirDefaults) {
    ChimeiCtl_B c;
    expectBagRoundTrip(c,
                       {{"BackColor", 0x010203},
                        {"ForeColor", 0x040506},
                        {"Speed", -3},
                        {"ScrollStartWait", 70000},
                        {"Mode", 9},
                        {"Appearance", 0},
                        {"FontMode", 6},
                        {"FontBold", true}},
                       {{"BackColor", 8421504},
                        {"ForeColor", 48895},
                        {"Speed", 5},
                        {"ScrollStartWait", 1500},
                        {"Mode", 2},
                        {"Appearance", 1},
                        {"FontMode", 0},
                        {"FontBold", false}});
    EXPECT_EQ(c.grab().toImage().pixel(0, 0), fromBgr(8421504).rgb()) << "the restored background is applied";
}
