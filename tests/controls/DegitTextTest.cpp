#include "controls/DegitText.h"

#include <gtest/gtest.h>

namespace {
QString shown(const DegitValue& v, int16_t zeroMode, int16_t fill = 0, int16_t shift = 0, int16_t keta = 4) {
    return degitText(v, zeroMode, fill, shift, keta);
}
const DegitValue kEmpty = QString();
} // namespace

TEST(DegitText, ZeroModesDecideWhatZeroMinusOneAndEmptyShow) {
    struct Row {
        int16_t mode;
        QString zero, minusOne, empty;
    };
    const Row rows[] = {
        {0, "", "-1", ""},  {1, "0", "-1", "0"}, {2, "", "0", ""},
        {3, "0", "0", "0"}, {-5, "0", "-1", ""}, // outside the table: the value as it is
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        EXPECT_EQ(shown(qint64(0), r.mode), r.zero);
        EXPECT_EQ(shown(0.0, r.mode), r.zero) << "numbers compare by value";
        EXPECT_EQ(shown(qint64(-1), r.mode), r.minusOne);
        EXPECT_EQ(shown(kEmpty, r.mode), r.empty);
        EXPECT_EQ(shown(qint64(120), r.mode), "120");
    }
    EXPECT_EQ(shown(QString("0"), 0), "0") << "text is shown as given, even when it reads as 0";
    EXPECT_EQ(shown(QString(" "), 0), " ");
}

TEST(DegitText, FillShiftAndCutToTheCells) {
    EXPECT_EQ(shown(qint64(1234), 0, 0, 0, 3), "234");
    EXPECT_EQ(shown(qint64(7), 0, 3), "007");
    EXPECT_EQ(shown(qint64(12345), 0, 3, 0, 15), "12345") << "a longer number keeps its digits";
    EXPECT_EQ(shown(qint64(-5), 0, 3), "-005");
    EXPECT_EQ(shown(QString("42"), 0, 4), "0042") << "text that reads as a number is padded";
    EXPECT_EQ(shown(QString("A1"), 0, 4), "A1");
    EXPECT_EQ(shown(1.5, 0, 3, 0, 8), "001.5");
    EXPECT_EQ(shown(qint64(0), 1, 3), "000");
    EXPECT_EQ(shown(kEmpty, 0, 3), "") << "blank stays blank";
    EXPECT_EQ(shown(qint64(7), 0, -2), "7") << "negative fill pads nothing";

    EXPECT_EQ(shown(qint64(25), 0, 0, 1), "25 ");
    EXPECT_EQ(shown(qint64(25), 0, 2, 2), "25  ");
    EXPECT_EQ(shown(qint64(1234), 0, 0, 1), "234 ") << "the shift pushes leading digits out";
    EXPECT_EQ(shown(qint64(25), 0, 0, 32767), "    ");
    EXPECT_EQ(shown(qint64(25), 0, 0, 0, 0), "");
    EXPECT_EQ(shown(qint64(25), 0, 0, 0, -3), "");
}

// The zero rule decides first; only a number it leaves is padded.
TEST(DegitText, ZeroModeComesBeforeTheFill) {
    EXPECT_EQ(shown(qint64(0), 0, 3), "") << "a blank fare stays blank";
    EXPECT_EQ(shown(qint64(-1), 2, 3), "000") << "the marker shows a padded 0";
    EXPECT_EQ(shown(qint64(0), 2, 3), "");
    EXPECT_EQ(shown(kEmpty, 3, 3), "000");
    EXPECT_EQ(shown(qint64(-1), 0, 3), "-001");
}

TEST(DegitText, ValueTextIsPlainDecimal) {
    EXPECT_EQ(degitValueText(qint64(-32768)), "-32768");
    EXPECT_EQ(degitValueText(2.0), "2");
    EXPECT_EQ(degitValueText(0.25), "0.25");
    EXPECT_EQ(degitValueText(QString("12A")), "12A");
}
