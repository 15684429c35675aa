// The board's drawing at the screen's resolution: a fare cell, a stop-name glyph and the face,
// at scale 1 and 3, compared pixel by pixel. The same tests run once at a device pixel ratio
// of 1 and once at 2 (a screen with QT_SCALE_FACTOR=2).
#include "board/Form1.h"
#include "controls/ChimeiCtl_B.h"
#include "controls/M_Degit.h"
#include "reslib/Cp932.h"
#include "reslib/ui/Bgr.h"

#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace {

constexpr int32_t kBack = 0x000000, kUnlit = 0x0000FF, kLit = 0x00FF00;
const QRgb back = fromBgr(kBack).rgb(), unlit = fromBgr(kUnlit).rgb(), lit = fromBgr(kLit).rgb();

qreal ratio() { return qApp->devicePixelRatio(); }

QImage shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Pixels that are none of the solid colours: the smoothed edges.
int shaded(const QImage& img, std::initializer_list<QRgb> solid) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (std::find(solid.begin(), solid.end(), img.pixel(x, y)) == solid.end()) ++n;
    return n;
}

// The share of pixels of `small` (of the solid colours only, when some are given) that the
// middle of their k x k block in `big` repeats.
double sameShape(const QImage& small, const QImage& big, int k, int tolerance, std::initializer_list<QRgb> solid = {}) {
    int same = 0, compared = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            const QRgb px = small.pixel(x, y);
            if (solid.size() && std::find(solid.begin(), solid.end(), px) == solid.end()) continue;
            ++compared;
            same += near(px, big.pixel(x * k + k / 2, y * k + k / 2), tolerance);
        }
    return double(same) / compared;
}

// Whether some block of k x k pixels (one designed pixel) holds more than one colour: drawn at
// the resolution, not magnified from the designed pixels.
bool finerThanDesignedPixels(const QImage& img, int k) {
    for (int by = 0; by + k <= img.height(); by += k)
        for (int bx = 0; bx + k <= img.width(); bx += k)
            for (int y = by; y < by + k; ++y)
                for (int x = bx; x < bx + k; ++x)
                    if (img.pixel(x, y) != img.pixel(bx, by)) return true;
    return false;
}

QImage fareCell(int16_t scale) {
    M_Degit d; // a fare cell as the board has it: three digits of size 2 in the slanted face
    d.setBackColor(kBack);
    d.setBaseForeColor(kUnlit);
    d.setDegitForeColor(kLit);
    d.setDegitSize(2);
    d.setKeta(3);
    d.setDegitStyle(1);
    d.setScale(scale);
    d.setValue(qint64(180));
    return shot(d);
}

ChimeiCtl_B& stopName(ChimeiCtl_B& c, int16_t scale) {
    c.setBackColor(kBack);
    c.setForeColor(kLit);
    c.setScale(scale);
    return c;
}

// A few characters that vertical writing changes, a half-width pair, then the CP932 kanji from
// 0x889F on, one a cell: no two cells alike, so that a cell drawn in the wrong place cannot pass
// for the right one.
std::vector<QString> distinctCells(int kanji) {
    std::vector<QString> cells{"ー", "。", "「", "→", "AB"};
    for (int code = 0x889F; static_cast<int>(cells.size()) < 5 + kanji; ++code)
        if ((code & 0xFF) >= 0x40 && (code & 0xFF) != 0x7F && (code & 0xFF) <= 0xFC)
            cells.push_back(QString::fromStdString(cp932::toUtf8(std::string{char(code >> 8), char(code & 0xFF)})));
    return cells;
}

} // namespace

#ifdef FERIO_SCALE_FACTOR
#define Resolution ResolutionAtRatio2
#endif

TEST(Resolution, FareCellKeepsItsShapeAndSharpEdgesWhenMagnified) {
    const int r = static_cast<int>(ratio());
    const QImage one = fareCell(1), three = fareCell(3);
    ASSERT_EQ(one.size(), QSize(57, 29) * r);
    ASSERT_EQ(three.size(), QSize(57, 29) * 3 * r);
    EXPECT_GT(sameShape(one, three, 3, 8, {back, unlit, lit}), 0.98);
    // The column through the middle of the 8 crosses three bars: every pixel lit or background.
    for (const QImage* img : {&one, &three}) {
        const int k = img->width() / 57;
        for (int y = 0; y < img->height(); ++y) {
            const QRgb px = img->pixel((19 + 9) * k + k / 2, y);
            EXPECT_TRUE(near(px, lit, 16) || near(px, back, 16))
                << std::hex << px << std::dec << " soft horizontal edge at row " << y << " of " << k << "x";
        }
    }
    // Smoothed pixels lie along the slanted and pointed edges, whose length grows three times;
    // a magnified picture would have nine times as many (blurred or in steps).
    const int edge1 = shaded(one, {back, unlit, lit}), edge3 = shaded(three, {back, unlit, lit});
    EXPECT_GT(edge1, 0);
    EXPECT_LE(edge3, 4 * edge1) << edge1 << " smoothed pixels at 1x, " << edge3 << " at 3x";
    EXPECT_TRUE(finerThanDesignedPixels(three, 3 * r));
    if (r > 1) {
        EXPECT_TRUE(finerThanDesignedPixels(one, r)) << "drawn at the device's resolution, not doubled";
    }
}

TEST(Resolution, StopNameDotsStaySharpSquaresAtEveryScale) {
    const int r = static_cast<int>(ratio());
    QImage at[2];
    for (int16_t scale : {1, 3}) {
        ChimeiCtl_B c;
        c.setBackColor(kBack);
        c.setForeColor(kLit);
        c.setScale(scale);
        c.SetChimei(QStringLiteral("東"));
        at[scale / 3] = shot(c);
        ASSERT_EQ(at[scale / 3].size(), QSize(35, 192) * scale * r);
    }
    EXPECT_GT(at[0].width() * at[0].height() - shaded(at[0], {lit}), 0);
    EXPECT_EQ(shaded(at[1], {back, lit}), 0) << "no shades between dot and background";
    // Every pixel of the glyph at 1x is a whole 3 x 3 block at 3x: the same dots, as squares.
    int dots = 0;
    for (int y = 0; y < at[0].height(); ++y)
        for (int x = 0; x < at[0].width(); ++x) {
            const QRgb want = at[0].pixel(x, y);
            dots += want == lit;
            for (int dy = 0; dy < 3; ++dy)
                for (int dx = 0; dx < 3; ++dx) ASSERT_EQ(at[1].pixel(3 * x + dx, 3 * y + dy), want) << x << "," << y;
        }
    EXPECT_GT(dots, 40 * r * r);
}

TEST(Resolution, TheBoardsFaceIsDrawnAtTheResolutionOfItsScale) {
    const int r = static_cast<int>(ratio());
    Form1 board;
    board.copyBuiltinPicture();
    const QImage one = shot(board);
    board.setScale(3);
    const QImage three = shot(board);
    ASSERT_EQ(one.size(), QSize(643, 240) * r);
    ASSERT_EQ(three.size(), QSize(643, 240) * 3 * r);
    EXPECT_GT(sameShape(one, three, 3, 6), 0.97);
    EXPECT_TRUE(finerThanDesignedPixels(three, 3 * r)) << "headings drawn at the resolution";
}

// A long name scrolls through exactly the dots that each of its characters shows standing alone,
// at every position of the scroll, also far past the start where the dots are drawn afresh.
TEST(Resolution, ALongNameScrollsThroughTheDotsOfItsCharactersStandingAlone) {
    const std::vector<QString> cells = distinctCells(100);
    const int r = static_cast<int>(ratio()), height = 32 * static_cast<int>(cells.size());
    for (int16_t scale : {1, 3}) {
        SCOPED_TRACE(scale);
        const int k = scale * r; // device pixels per designed pixel
        ChimeiCtl_B alone;
        stopName(alone, scale);
        std::vector<QImage> glyph; // each character alone stands at rows 80 … 111
        for (const QString& cell : cells) {
            alone.SetChimei(cell);
            glyph.push_back(shot(alone).copy(0, 80 * k, 35 * k, 32 * k));
        }
        // The viewport as it shows the name with its top at `top`.
        const auto matches = [&](const QImage& img, int top) {
            for (int y = 0; y < img.height(); ++y) {
                const int row = y / k - top, cell = row >= 0 && row < height ? row / 32 : -1;
                for (int x = 0; x < img.width(); ++x) {
                    const QRgb want = cell < 0 ? back : glyph[size_t(cell)].pixel(x, (row % 32) * k + y % k);
                    if (img.pixel(x, y) != want) return false;
                }
            }
            return true;
        };

        ChimeiCtl_B c;
        stopName(c, scale);
        c.setScrollStartWait(0);
        c.setSpeed(1000); // 2,000 designed pixels a second: some 60 views in one pass
        QString name;
        for (const QString& cell : cells) name += cell;
        c.SetChimei(name);
        std::vector<int> tops;
        for (QElapsedTimer t; tops.empty() || (tops.back() > 600 - height && !t.hasExpired(10000));) {
            if (!t.isValid()) t.start();
            QTest::qWait(40);
            const QImage img = shot(c);
            // Searched downward from the last position found, then from the start of a new cycle.
            const auto search = [&](int top) {
                while (top > -height && !matches(img, top)) --top;
                return top;
            };
            int top = search(tops.empty() ? 192 : tops.back());
            if (top == -height) top = search(192);
            ASSERT_GT(top, -height) << "a view that no position of the name shows, after " << tops.size();
            if (tops.empty() || top < tops.back()) tops.push_back(top);
        }
        EXPECT_GE(tops.size(), 6u);
        EXPECT_LE(tops.back(), 600 - height) << "the name's last characters came into view";
    }
}
