// The demonstration's board face, measured on the board's own pixels: an LED board's contrast
// between lit segments, unlit ones and the cell.
#include "BoardParts.h"
#include "PanelFixture.h"
#include "controls/M_Degit.h"
#include "reslib/ui/Bgr.h"

#include <QProcess>
#include <cmath>
#include <map>

namespace {

double luminance(QColor c) {
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How many pixels of a display's picture have each colour.
std::map<QRgb, int> census(const QImage& img) {
    std::map<QRgb, int> count;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) ++count[img.pixel(x, y)];
    return count;
}

} // namespace

TEST(DemoFace, LitSegmentsStandOutFromTheCellAndFromUnlitOnes) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ferio.in4"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(FERIO_BIN_DIR "/ferio-demo-settings"),
                                {file, QStringLiteral(FERIO_SAMPLES_DIR)}),
              0);
    msg::setHandler([](const msg::Request&) { return QMessageBox::Ok; });
    RecordingDevices services;
    Ferio ferio({services, services, services, nullptr, {}}, file);
    ferio.start();
    msg::setHandler({});
    Form1& board = ferio.board();
    board.setFare(1, 1);
    board.setSmall(1, 1);
    for (const M_Degit* d : {Degit(board, 1), S_Degit(board, 1), TimeDegit(board, 0)}) {
        const std::string name = d->objectName().toStdString();
        const QColor cell = fromBgr(d->BackColor()), unlit = fromBgr(d->BaseForeColor()),
                     lit = fromBgr(d->DegitForeColor());
        auto pixels = census(board.grab(d->geometry()).toImage());
        // The face is drawn in these colours (edges may blend them).
        EXPECT_EQ(
            std::max_element(pixels.begin(), pixels.end(), [](auto a, auto b) { return a.second < b.second; })->first,
            cell.rgb())
            << name;
        EXPECT_GT(pixels[unlit.rgb()], 0) << name;
        EXPECT_GT(pixels[lit.rgb()], 0) << name;
        EXPECT_EQ(cell, Qt::black) << name;
        EXPECT_GE(contrast(lit, cell), 7.0) << name << " lit against the cell";
        EXPECT_GE(contrast(lit, unlit), 3.0) << name << " lit against unlit";
        EXPECT_GT(contrast(unlit, cell), 1.2) << name << " unlit still seen";
        std::printf("%s: lit/cell %.1f:1, lit/unlit %.1f:1\n", name.c_str(), contrast(lit, cell), contrast(lit, unlit));
    }
    EXPECT_EQ(fromBgr(Degit(board, 1)->DegitForeColor()), QColor(255, 176, 0)) << "amber fares";
    EXPECT_EQ(fromBgr(S_Degit(board, 1)->DegitForeColor()).green(), 255) << "green ticket numbers";
}
