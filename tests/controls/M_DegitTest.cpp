#include "controls/M_Degit.h"
#include "OwnProperties.h"
#include "controls/SegmentFace.h"
#include "reslib/ui/Bgr.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int32_t kBack = 0x000000, kUnlit = 0x0000FF, kLit = 0x00FF00;

void paint(M_Degit& d) {
    d.setBackColor(kBack);
    d.setBaseForeColor(kUnlit);
    d.setDegitForeColor(kLit);
}

// For each cell: does it hold any fully lit pixel?
std::vector<bool> litCells(M_Degit& d) {
    const QImage img = d.grab().toImage();
    const int cell = segface::cellSize(d.DegitSize()).width();
    std::vector<bool> lit(static_cast<size_t>(d.Keta()), false);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == fromBgr(kLit).rgb()) lit[static_cast<size_t>(x / cell)] = true;
    return lit;
}

// The same display showing `text` verbatim: what a formatted value must look like.
QImage reference(int16_t keta, const QString& text) {
    M_Degit r;
    paint(r);
    r.setKeta(keta);
    r.setValue(text);
    return r.grab().toImage();
}

using Cells = std::vector<bool>;

} // namespace

TEST(M_Degit, DefaultsSizesAndCorrections) {
    M_Degit d;
    EXPECT_EQ(d.BaseForeColor(), 0x969696);
    EXPECT_EQ(d.DegitForeColor(), 0x72D2F8);
    EXPECT_EQ(d.BackColor(), 0x808080);
    EXPECT_EQ(d.Keta(), 4);
    EXPECT_TRUE(d.UserSet());
    EXPECT_EQ(std::get<qint64>(d.Value()), 0);
    EXPECT_EQ(d.size(), QSize(52, 20));
    EXPECT_EQ(d.hwnd(), &d);

    const QSize cells[] = {{13, 20}, {17, 26}, {19, 29}, {11, 15}};
    for (int16_t s = 0; s < 4; ++s) {
        d.setDegitSize(s);
        EXPECT_EQ(d.size(), QSize(cells[s].width() * 4, cells[s].height()));
    }
    d.setDegitSize(7);
    EXPECT_EQ(d.DegitSize(), 0);
    d.setKeta(16);
    EXPECT_EQ(d.Keta(), 4);
    d.setKeta(0);
    EXPECT_EQ(d.Keta(), 4);
    EXPECT_EQ(d.size(), QSize(52, 20));

    d.setFillZero(9);
    EXPECT_EQ(d.FillZero(), 4);
    d.setShift(10);
    EXPECT_EQ(d.Shift(), 3);
    d.setShift(-2);
    EXPECT_EQ(d.Shift(), 0);
    d.setZeroMode(4);
    EXPECT_EQ(d.ZeroMode(), 0);
    d.setZeroMode(-3);
    EXPECT_EQ(d.ZeroMode(), -3);
    d.setDegitStyle(99);
    EXPECT_EQ(d.DegitStyle(), 99) << "stored without a check";
}

TEST(M_Degit, LitCellsForTheFormatRules) {
    M_Degit d;
    paint(d);
    d.setKeta(3);
    d.setValue(qint64(1234));
    EXPECT_EQ(litCells(d), Cells({true, true, true}));
    EXPECT_EQ(d.grab().toImage(), reference(3, "234"));

    d.setKeta(4);
    const struct {
        int16_t mode;
        DegitValue value;
        bool zeroShows;
    } rows[] = {
        {0, qint64(0), false}, {1, qint64(0), true},  {1, QString(), true}, {2, qint64(-1), true},
        {2, qint64(0), false}, {3, qint64(-1), true}, {3, qint64(0), true}, {3, QString(), true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.mode);
        d.setZeroMode(r.mode);
        d.setValue(r.value);
        EXPECT_EQ(litCells(d), Cells({false, false, false, r.zeroShows}));
        if (r.zeroShows) {
            EXPECT_EQ(d.grab().toImage(), reference(4, "0"));
        }
    }

    d.setZeroMode(0);
    d.setFillZero(3);
    d.setValue(qint64(7));
    EXPECT_EQ(litCells(d), Cells({false, true, true, true}));
    EXPECT_EQ(d.grab().toImage(), reference(4, "007"));

    d.setFillZero(0);
    d.setShift(1);
    d.setValue(qint64(25));
    EXPECT_EQ(litCells(d), Cells({false, true, true, false}));
    EXPECT_EQ(d.grab().toImage(), reference(4, "25 "));
}

TEST(M_Degit, LampTestLightsEverySegmentAndKeepsTheSettings) {
    M_Degit d;
    paint(d);
    d.setKeta(3);
    d.setShift(1);
    d.setZeroMode(2);
    d.setFillZero(2);
    d.ResetDegit(true);
    EXPECT_EQ(std::get<QString>(d.Value()), "888");
    EXPECT_EQ(d.Shift(), 1);
    EXPECT_EQ(d.ZeroMode(), 2);
    EXPECT_EQ(d.FillZero(), 2);
    const QImage img = d.grab().toImage();
    EXPECT_EQ(litCells(d), Cells({true, true, true}));
    // The lit 8 covers its unlit pattern completely.
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) ASSERT_NE(img.pixel(x, y), fromBgr(kUnlit).rgb()) << x << "," << y;

    d.ResetDegit(false);
    EXPECT_EQ(std::get<QString>(d.Value()), "");
    EXPECT_EQ(litCells(d), Cells({false, false, false}));
}

TEST(M_Degit, FormatSettingsWaitForTheNextRedraw) {
    M_Degit d;
    paint(d);
    d.setValue(qint64(5));
    const QImage before = d.grab().toImage();
    d.setFillZero(4);
    d.setShift(2);
    d.setZeroMode(3);
    d.setUserSet(false);
    EXPECT_EQ(d.grab().toImage(), before);
    d.setValue(d.Value());
    EXPECT_EQ(d.grab().toImage(), reference(4, "05  "));
}

// Applying colours (as the options do) or another face must not blank a value on show.
TEST(M_Degit, ColourAndFaceSettersRedrawTheValue) {
    M_Degit d;
    paint(d);
    d.setValue(qint64(42));
    d.setBackColor(0x203040);
    EXPECT_EQ(litCells(d), Cells({false, false, true, true}));
    EXPECT_EQ(d.grab().toImage().pixel(0, 0), fromBgr(0x203040).rgb());
    const QImage faceA = d.grab().toImage();
    d.setDegitStyle(2);
    EXPECT_NE(d.grab().toImage(), faceA);
    EXPECT_EQ(litCells(d), Cells({false, false, true, true}));
    d.setDegitForeColor(0xFF0000);
    EXPECT_EQ(litCells(d), Cells({false, false, false, false})) << "no pixel left in the old lit colour";
    d.setDegitForeColor(kLit);
    d.setBaseForeColor(0x00FFFF);
    EXPECT_EQ(litCells(d), Cells({false, false, true, true}));
    const QImage img = d.grab().toImage();
    int unlit = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < 13; ++x) unlit += img.pixel(x, y) == fromBgr(0x00FFFF).rgb();
    EXPECT_GT(unlit, 20) << "the first cell's 8 in the new unlit colour";
}

TEST(M_Degit, EveryFaceKeepsOneCellPerCharacterAndLightsOnlyTheSegmentsOfEight) {
    for (int16_t style : {0, 1, 2}) {
        for (int16_t size : {0, 1, 2, 3}) {
            const QImage eight = segface::glyph(style, size, u'8', 0xFFFFFFFF);
            EXPECT_EQ(eight.size(), segface::cellSize(size));
            for (QChar ch : QStringLiteral("0123456789- AbCdEFHLPrU")) {
                const QImage g = segface::glyph(style, size, ch, 0xFFFFFFFF);
                ASSERT_EQ(g.size(), eight.size());
                bool inked = ch == u' ';
                for (int y = 0; y < g.height(); ++y)
                    for (int x = 0; x < g.width(); ++x) {
                        if (qAlpha(g.pixel(x, y)) == 0) continue;
                        inked = true;
                        ASSERT_GE(qAlpha(eight.pixel(x, y)), qAlpha(g.pixel(x, y)))
                            << "style " << style << " '" << ch.toLatin1() << "'";
                    }
                EXPECT_TRUE(inked) << ch.toLatin1();
            }
        }
    }
}

TEST(M_Degit, PropertiesRoundTripAndRestoreUnchecked) {
    M_Degit d;
    QVariantMap bag;
    d.WriteProperties(bag);
    EXPECT_EQ(bag.value("DegitForeColor").toInt(), 7525112);
    EXPECT_EQ(bag.value("BackColor").toInt(), 8421504);

    QVariantMap stored{
        {"Keta", 20},      {"Shift", 30}, {"ZeroMode", 7}, {"Value", QString("A5")}, {"BackColor", 0x123456},
        {"UserSet", false}};
    d.setValue(qint64(88));
    d.ReadProperties(stored);
    EXPECT_EQ(d.Keta(), 20);
    EXPECT_EQ(d.Shift(), 30);
    EXPECT_EQ(d.ZeroMode(), 7);
    EXPECT_FALSE(d.UserSet());
    EXPECT_EQ(d.BaseForeColor(), 9868950) << "missing keys take their defaults";
    EXPECT_EQ(d.size(), QSize(52, 20)) << "the host restores the size";
    // Only the background shows until the next redraw.
    const QImage img = d.grab().toImage();
    EXPECT_EQ(img.pixel(0, 0), img.pixel(30, 10));
    EXPECT_EQ(img.pixel(30, 10), fromBgr(0x123456).rgb());

    QVariantMap again;
    d.WriteProperties(again);
    EXPECT_EQ(again.value("Value").toString(), "A5");
    d.setValue(2.5);
    d.WriteProperties(again);
    M_Degit e;
    e.ReadProperties(again);
    EXPECT_EQ(std::get<double>(e.Value()), 2.5);
}

TEST(M_Degit, DoubleClickIsPassedToTheHost) {
    M_Degit d;
    QSignalSpy spy(&d, &M_Degit::DblClick);
    QTest::mouseDClick(&d, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
}

TEST(M_Degit, SettingsDialogStoresWhatWasChosen) {
    M_Degit d;
    paint(d);
    d.setValue(qint64(7));
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->findChild<QComboBox*>("zeroMode")->setCurrentIndex(3);
        dlg->findChild<QSpinBox*>("fillZero")->setValue(2);
        dlg->findChild<QSpinBox*>("shift")->setValue(1);
        dlg->accept();
    });
    EXPECT_EQ(d.ShowSetDlg(), 1);
    EXPECT_EQ(d.ZeroMode(), 3);
    EXPECT_EQ(d.FillZero(), 2);
    EXPECT_EQ(d.Shift(), 1);
    EXPECT_EQ(d.grab().toImage(), reference(4, "07 ")) << "redrawn with the new settings";
}

TEST(M_Degit, EachPropertyNotifiesOnlyARealChange) {
    M_Degit d;
    expectNotifiesOnlyOnChange(d, [](const QVariant& v) {
        if (v.metaType() == QMetaType::fromType<DegitValue>())
            return QVariant::fromValue(DegitValue(QStringLiteral("12")));
        if (v.typeId() == QMetaType::Bool) return QVariant(!v.toBool());
        return QVariant(v.toInt() + 1);
    });
    // What counts is the corrected value.
    QSignalSpy shift(&d, &M_Degit::ShiftChanged);
    d.setShift(10);
    d.setShift(10);
    d.setShift(static_cast<int16_t>(d.Keta() - 1));
    EXPECT_EQ(shift.count(), 1);
}

// A surface cleared by a restore, or a size the host gave, is redrawn by setting the same values.
TEST(M_Degit, SettingTheSameValueRedrawsWhatIsOutOfDate) {
    M_Degit d;
    paint(d);
    d.setValue(qint64(42));
    QVariantMap bag;
    d.WriteProperties(bag);
    d.ReadProperties(bag);
    EXPECT_EQ(litCells(d), Cells({false, false, false, false}));
    d.setValue(d.Value());
    EXPECT_EQ(litCells(d), Cells({false, false, true, true}));
    d.resize(200, 40);
    d.setKeta(4);
    EXPECT_EQ(d.size(), QSize(52, 20));
    EXPECT_EQ(d.grab().toImage(), reference(4, "42"));
}

TEST(M_Degit, EveryPropertyRoundTripsThroughTheBagAndMissingKeysTakeTheirDefaults) {
    M_Degit d;
    expectBagRoundTrip(d,
                       {{"BaseForeColor", 0x010203},
                        {"DegitForeColor", 0x040506},
                        {"FillZero", 9},
                        {"ZeroMode", 7},
                        {"Shift", -2},
                        {"Keta", 20},
                        {"DegitSize", 5},
                        {"DegitStyle", 2},
                        {"Value", QString("12A")},
                        {"UserSet", false},
                        {"BackColor", 0x0A0B0C}},
                       {{"BaseForeColor", 9868950},
                        {"DegitForeColor", 7525112},
                        {"FillZero", 0},
                        {"ZeroMode", 0},
                        {"Shift", 0},
                        {"Keta", 4},
                        {"DegitSize", 0},
                        {"DegitStyle", 0},
                        {"Value", 0},
                        {"UserSet", true},
                        {"BackColor", 8421504}});
    EXPECT_EQ(std::get<qint64>(d.Value()), 0) << "the integer 0, not the empty text";
}
