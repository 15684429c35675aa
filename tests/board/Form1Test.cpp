#include "board/Form1.h"
#include "BoardParts.h"
#include "board/BoardGeometry.h"
#include "board/PanelPicture.h"
#include "controls/ChimeiCtl_B.h"
#include "controls/M_Degit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QRegularExpression>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Board : ::testing::Test {
    Form1 board;
    std::vector<bool> cellDialog; // what the board told the panel: open, closed
    Board() {
        QObject::connect(&board, &Form1::cellDialogOpen, [this](bool open) { cellDialog.push_back(open); });
    }
    M_Degit* cell(int i) { return Degit(board, i); }
};

QString text(const DegitValue& v) {
    if (auto s = std::get_if<QString>(&v)) return *s;
    if (auto i = std::get_if<qint64>(&v)) return QString::number(*i);
    return QString::number(std::get<double>(v));
}

// Runs `action` on the modal dialog that the next call opens.
void onModal(std::function<void(QDialog*)> action) {
    QTimer::singleShot(0, [action] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        action(dlg);
    });
}

} // namespace

TEST_F(Board, ElementsSitWhereTheDesignPutsThem) {
    EXPECT_EQ(board.size(), QSize(643, 240));
    EXPECT_TRUE(board.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Degit(board, 1)->geometry(), QRect(124, 40, 57, 29));
    EXPECT_EQ(Degit(board, 32)->geometry(), QRect(564, 194, 57, 29));
    EXPECT_EQ(S_Degit(board, 1)->geometry(), QRect(141, 22, 22, 15));
    EXPECT_EQ(S_Degit(board, 16)->pos(), QPoint(581, 74));
    EXPECT_EQ(lblSeiriNum(board, 25)->geometry(), QRect(629, 176, 54, 21));
    EXPECT_EQ(TimeDegit(board, 1)->geometry(), QRect(390, -5, 26, 20));
    EXPECT_EQ(ChimeiCtl(board)->geometry(), QRect(34, 23, 35, 192));
    EXPECT_TRUE(board.clockRunning());

    const QPixmap face = board::makePanelPicture();
    EXPECT_EQ(face.size(), QSize(643, 240));
    EXPECT_EQ(face.toImage(), board::makePanelPicture().toImage()); // reproducible
}

// Element 0 of each array stands where it was designed, as designed, whatever the board does.
TEST_F(Board, ElementsZeroStayAsDesigned) {
    const std::vector<std::pair<QWidget*, QRect>> zeros{
        {Degit(board, 0), QRect(140, -7, 57, 29)},
        {S_Degit(board, 0), QRect(70, 5, 22, 15)},
        {lblSeiriNum(board, 0), QRect(79, 3, 54, 21)},
    };
    std::vector<QImage> before;
    for (const auto& [element, place] : zeros) {
        ASSERT_NE(element, nullptr) << place.x();
        EXPECT_EQ(element->geometry(), place) << element->objectName().toStdString();
        before.push_back(element->grab().toImage());
    }
    EXPECT_EQ(lblSeiriNum(board, 0)->text(), "１");

    OptionInfo o;
    o.UseSeiriNumDisp = 0;
    o.FareDegitForeColor = 0x00FF00;
    o.SeiriDegitBackColor = 0x0000FF;
    board.prepareCells();
    board.applyDisplayOptions(o, 1);
    board.restoreCells({}, o);
    board.setLampTestMs(0);
    board.lampTest();
    board.clearDisplays();
    onModal([](QDialog* dlg) { dlg->accept(); });
    QTest::mouseDClick(cell(1), Qt::LeftButton);

    for (size_t i = 0; i < zeros.size(); ++i) {
        EXPECT_EQ(zeros[i].first->grab().toImage(), before[i]) << zeros[i].first->objectName().toStdString();
        EXPECT_FALSE(zeros[i].first->isHidden());
    }
    EXPECT_EQ(lblSeiriNum(board, 0)->text(), "１");
}

TEST_F(Board, ItsOwnStartUpStepsPrepareCellsPicturesAndShape) {
    cell(3)->setValue(qint64(5));
    board.prepareCells();
    EXPECT_EQ(text(Degit(board, 3)->Value()), QString()); // blanked
    EXPECT_EQ(Degit(board, 7)->DegitStyle(), 1);
    EXPECT_EQ(S_Degit(board, 7)->DegitStyle(), 1);

    board.copyBuiltinPicture();
    EXPECT_EQ(board.picture().cacheKey(), board.imgRes(0).cacheKey());
    EXPECT_EQ(board.imgRes(2).cacheKey(), board.imgRes(0).cacheKey());

    // Rounded corners: only the corner pixels are cut away.
    board.setRoundShape();
    EXPECT_FALSE(board.mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(board.mask().contains(QPoint(642, 239)));
    EXPECT_TRUE(board.mask().contains(QPoint(1, 0)));
    EXPECT_TRUE(board.mask().contains(QPoint(642, 238)));
}

TEST_F(Board, TicketLabelsFollowTheStyle) {
    board.SeirikenNumSet(4, 0);
    EXPECT_EQ(lblSeiriNum(board, 1)->text(), "無 券");
    EXPECT_EQ(lblSeiriNum(board, 1)->font().pointSize(), 13);
    EXPECT_EQ(lblSeiriNum(board, 1)->y(), 20);
    EXPECT_EQ(lblSeiriNum(board, 2)->text(), "１");
    board.SeirikenNumSet(0, 1);
    EXPECT_EQ(lblSeiriNum(board, 1)->text(), "０１");
    EXPECT_EQ(lblSeiriNum(board, 1)->font().pointSize(), 17);
    EXPECT_EQ(lblSeiriNum(board, 1)->font().family(), "IPAPGothic");
    EXPECT_EQ(lblSeiriNum(board, 1)->y(), 18);
    EXPECT_EQ(lblSeiriNum(board, 32)->text(), "３２");
    EXPECT_EQ(lblSeiriNum(board, 2)->y(), 22); // only label 1 moves
}

TEST_F(Board, ClockShowsHourAndMinuteAsNumbers) {
    board.showTime(QTime(9, 5, 59));
    EXPECT_EQ(std::get<qint64>(TimeDegit(board, 0)->Value()), 9);
    EXPECT_EQ(std::get<qint64>(TimeDegit(board, 1)->Value()), 5);
}

// Lit green pixels in each row of a rectangle of a picture.
std::vector<int> greenRows(const QImage& picture, const QRect& r) {
    std::vector<int> rows;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        int n = 0;
        for (int x = r.left(); x <= r.right(); ++x) n += picture.pixelColor(x, y) == QColor(0, 255, 0);
        rows.push_back(n);
    }
    return rows;
}

// The clock's displays reach above the window's edge: all their lit segments, the top bars
// included, still show on the board, row for row as a display drawn on its own shows them.
TEST_F(Board, EverySegmentOfTheClockIsInsideTheWindow) {
    board.copyBuiltinPicture();
    for (int16_t scale : {1, 3}) {
        board.setScale(scale);
        M_Degit alone;
        alone.setDegitSize(board::ClockDegitSize);
        alone.setKeta(board::ClockKeta);
        alone.setTopMargin(board::ClockTopMargin);
        alone.setScale(scale);
        for (M_Degit* d : {&alone, TimeDegit(board, 0), TimeDegit(board, 1)}) {
            d->setDegitForeColor(0x00FF00);
            d->ResetDegit(true); // 88
        }
        const std::vector<int> lit = greenRows(alone.grab().toImage(), alone.rect());
        const int top = int(std::find_if(lit.begin(), lit.end(), [](int n) { return n > 0; }) - lit.begin());
        ASSERT_LT(top, int(lit.size())) << "a lit clock display shows green";
        const QImage shot = board.grab().toImage();
        for (int i : {0, 1}) {
            const QRect at = TimeDegit(board, i)->geometry();
            EXPECT_GE(at.top() + top, 0) << "the top bars are inside the window at " << scale << "x";
            const std::vector<int> shown = greenRows(shot, at.intersected(board.rect()));
            EXPECT_EQ(shown, std::vector<int>(lit.end() - long(shown.size()), lit.end()))
                << "clock " << i << " at " << scale << "x";
        }
    }
}

TEST_F(Board, LampTestLightsAllSixtyFourDisplays) {
    board.setLampTestMs(0);
    board.lampTest();
    for (int i = 1; i <= 32; ++i) {
        EXPECT_EQ(text(Degit(board, i)->Value()), "888");
        EXPECT_EQ(text(S_Degit(board, i)->Value()), "88");
    }
    board.zeroAll();
    EXPECT_EQ(std::get<qint64>(Degit(board, 32)->Value()), 0);
    EXPECT_EQ(std::get<qint64>(S_Degit(board, 32)->Value()), 0);
}

TEST_F(Board, DraggedFromThePictureButNotFromTheDisplays) {
    board.move(100, 100);
    board.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
    const QPoint start = board.pos();

    QTest::mousePress(cell(1), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(cell(1), QPoint(25, 15));
    QTest::mouseRelease(cell(1), Qt::LeftButton, {}, QPoint(25, 15));
    EXPECT_EQ(board.pos(), start);

    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(5, 230));
    QTest::mouseMove(&board, QPoint(45, 250));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(45, 250));
    EXPECT_EQ(board.pos(), start + QPoint(40, 20));
}

TEST_F(Board, CellSettingsApplyToAllFareCells) {
    board.prepareCells();
    for (int i = 1; i <= 32; ++i) cell(i)->setValue(qint64(i));

    // Not user-settable: nothing opens, the panel stays enabled.
    cell(4)->setUserSet(false);
    QTest::mouseDClick(cell(4), Qt::LeftButton);
    EXPECT_TRUE(cellDialog.empty());

    cell(5)->setZeroMode(1);
    cell(5)->setShift(1);
    cell(5)->setFillZero(2);
    std::vector<bool> whileOpen;
    onModal([&](QDialog* dlg) {
        whileOpen = cellDialog;
        dlg->reject();
    });
    QTest::mouseDClick(cell(5), Qt::LeftButton);
    EXPECT_EQ(whileOpen, std::vector<bool>{true});
    EXPECT_EQ(cellDialog, (std::vector<bool>{true, false}));
    EXPECT_EQ(Degit(board, 6)->ZeroMode(), 0); // cancelled: nothing copied

    onModal([](QDialog* dlg) { dlg->accept(); });
    QTest::mouseDClick(cell(5), Qt::LeftButton);
    for (int i = 1; i <= 32; ++i) {
        EXPECT_EQ(Degit(board, i)->ZeroMode(), 1);
        EXPECT_EQ(Degit(board, i)->Shift(), 1);
        EXPECT_EQ(Degit(board, i)->FillZero(), 2);
        EXPECT_EQ(std::get<qint64>(Degit(board, i)->Value()), i);
    }
    EXPECT_EQ(S_Degit(board, 1)->Shift(), 0);
    EXPECT_EQ(TimeDegit(board, 0)->FillZero(), 0);
    EXPECT_EQ(cellDialog.back(), false);

    // Another cell is drawn again with the new settings, not only given them.
    M_Degit drawn;
    drawn.setDegitSize(2);
    drawn.setKeta(3);
    drawn.setDegitStyle(1);
    drawn.setZeroMode(1);
    drawn.setShift(1);
    drawn.setFillZero(2);
    drawn.setValue(qint64(7));
    EXPECT_EQ(cell(7)->grab().toImage(), drawn.grab().toImage());
}

TEST_F(Board, PositionRoundTripsThroughFormInfo) {
    board.move(40, 60);
    EXPECT_EQ(std::pair(board.GetFormInfo().BoardLeft, board.GetFormInfo().BoardTop), std::pair(600, 900));
    board.SetFormInfo({1500, 3000});
    EXPECT_EQ(board.pos(), QPoint(100, 200));
    // A place off the screen (a smaller or departed screen) keeps the board within reach.
    board.SetFormInfo({1'000'000, -1'000'000});
    const QRect screen = board.screen()->geometry();
    EXPECT_EQ(board.frameGeometry().topRight(), QPoint(screen.right(), screen.top()));
}

TEST_F(Board, DisplayOptionsReachEveryDisplay) {
    OptionInfo o;
    o.UseSeiriNumDisp = 0;
    o.SeiriNumStyle = 4;
    o.SeiriNumColorOn2 = 0x0000FF;
    o.FareDegitBackColor = 0x010203;
    o.FareDegitForeColor = 0x00FF00;
    o.SeiriDegitBaseForeColor = 0x112233;
    o.ChimeiForeColor = 0x445566;
    o.ChimeiFontMode = 3;
    o.ChimeiFontBold = 2; // only 1 means bold
    board.applyDisplayOptions(o, 2);
    for (int i : {1, 32}) {
        EXPECT_TRUE(lblSeiriNum(board, i)->isHidden());
        EXPECT_EQ(lblSeiriNum(board, i)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_EQ(Degit(board, i)->BackColor(), 0x010203);
        EXPECT_EQ(Degit(board, i)->DegitForeColor(), 0x00FF00);
        EXPECT_EQ(S_Degit(board, i)->BaseForeColor(), 0x112233);
    }
    EXPECT_EQ(lblSeiriNum(board, 1)->text(), "無 券"); // numbered even while hidden
    for (int i : {0, 1}) {
        EXPECT_EQ(TimeDegit(board, i)->BackColor(), 0x010203); // the clock follows the fare digits
        EXPECT_EQ(TimeDegit(board, i)->DegitForeColor(), 0x00FF00);
    }
    EXPECT_EQ(ChimeiCtl(board)->ForeColor(), 0x445566);
    EXPECT_EQ(ChimeiCtl(board)->FontMode(), 3);
    EXPECT_FALSE(ChimeiCtl(board)->FontBold());

    o.UseSeiriNumDisp = 1;
    o.ChimeiFontBold = 1;
    board.applyDisplayOptions(o, -1); // no backlight button selected: black labels
    EXPECT_FALSE(lblSeiriNum(board, 5)->isHidden());
    EXPECT_EQ(lblSeiriNum(board, 5)->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_TRUE(ChimeiCtl(board)->FontBold());
}

TEST_F(Board, AtEveryScaleTheDesignedLayoutIsMagnifiedAndStillDraggedAndDoubleClicked) {
    board.setRoundShape();
    board.SeirikenNumSet(4, 0); // the first label moved and set smaller by the style
    QSignalSpy chosen(&board, &Form1::scaleChosen);
    board.setScale(3);
    EXPECT_EQ(board.size(), QSize(1929, 720));
    EXPECT_EQ(Degit(board, 1)->geometry(), QRect(372, 120, 171, 87));
    EXPECT_EQ(S_Degit(board, 16)->geometry(), QRect(QPoint(581, 74) * 3, QSize(22, 15) * 3));
    EXPECT_EQ(TimeDegit(board, 1)->geometry(), QRect(1170, -15, 78, 60));
    EXPECT_EQ(ChimeiCtl(board)->geometry(), QRect(102, 69, 105, 576));
    EXPECT_EQ(lblSeiriNum(board, 1)->y(), 60);
    EXPECT_EQ(lblSeiriNum(board, 1)->font().pointSize(), 39);
    EXPECT_EQ(lblSeiriNum(board, 2)->font().pointSize(), 51);
    EXPECT_FALSE(board.mask().contains(QPoint(2, 2))) << "the rounded corner magnified";
    EXPECT_TRUE(board.mask().contains(QPoint(3, 0)));
    EXPECT_TRUE(board.contextMenu()->findChild<QAction*>(QStringLiteral("actScale_3"))->isChecked());
    EXPECT_EQ(chosen.count(), 0) << "only the operator's choice is reported";
    board.setScale(9);
    EXPECT_EQ(board.Scale(), 4);
    board.setScale(0);
    EXPECT_EQ(board.Scale(), 1);

    board.contextMenu()->findChild<QAction*>(QStringLiteral("actScale_3"))->trigger();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 3);
    board.move(100, 100);
    board.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
    const QPoint start = board.pos();
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(15, 690));
    QTest::mouseMove(&board, QPoint(55, 710));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(55, 710));
    EXPECT_EQ(board.pos(), start + QPoint(40, 20));

    onModal([](QDialog* dlg) { dlg->reject(); });
    QTest::mouseDClick(cell(32), Qt::LeftButton, {}, QPoint(150, 80));
    EXPECT_EQ(cellDialog, (std::vector<bool>{true, false}));
}

TEST_F(Board, TheMenuCopiesAndSavesThePictureOfTheBoard) {
    board.copyBuiltinPicture();
    board.setScale(2);
    cell(1)->setValue(qint64(230));
    QGuiApplication::clipboard()->clear();
    board.contextMenu()->findChild<QAction*>(QStringLiteral("actCopyPicture"))->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(1286, 480));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              board.grab().toImage().convertToFormat(QImage::Format_RGB32));

    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("board.png"));
    ASSERT_TRUE(board.savePicture(png));
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), copied.convertToFormat(QImage::Format_RGB32));
    QString why;
    EXPECT_FALSE(board.savePicture(dir.filePath(QStringLiteral("no/such/folder.png")), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST_F(Board, TheClockShowsTheTimeAtOnceWhenTheDisplayClearEnds) {
    board.clearDisplays();
    EXPECT_FALSE(board.clockRunning());
    EXPECT_EQ(TimeDegit(board, 0)->Value(), DegitValue(QString()));
    board.restoreDisplays();
    EXPECT_TRUE(board.clockRunning());
    EXPECT_TRUE(std::holds_alternative<qint64>(TimeDegit(board, 0)->Value())) << "a number, not the blank";
    EXPECT_TRUE(std::holds_alternative<qint64>(TimeDegit(board, 1)->Value()));
}

TEST_F(Board, TheMenuStartsAndStopsARecordingAndTheTitleSaysWhileItRuns) {
    QAction* start = board.contextMenu()->findChild<QAction*>(QStringLiteral("actRecordStart"));
    QAction* stop = board.contextMenu()->findChild<QAction*>(QStringLiteral("actRecordStop"));
    ASSERT_TRUE(start && stop);
    EXPECT_EQ(start->text(), QStringLiteral("録画を開始..."));
    EXPECT_EQ(stop->text(), QStringLiteral("録画を停止"));
    QSignalSpy stopped(&board, &Form1::recordStopRequested);

    board.setCaption(QStringLiteral("Ferio - 型番:A"));
    const struct {
        std::function<void()> act;
        bool recording;
        QString title;
    } steps[] = {
        {[] {}, false, QStringLiteral("Ferio - 型番:A")},
        {[&] { board.setRecording(true); }, true, QStringLiteral("Ferio - 型番:A（録画中）")},
        {[&] { board.setCaption(QStringLiteral("Ferio - 型番:B")); }, true, QStringLiteral("Ferio - 型番:B（録画中）")},
        {[&] { board.setRecording(false); }, false, QStringLiteral("Ferio - 型番:B")},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(start->isEnabled(), !step.recording);
        EXPECT_EQ(stop->isEnabled(), step.recording);
        EXPECT_EQ(board.windowTitle(), step.title);
        stop->trigger();
    }
    EXPECT_EQ(stopped.count(), 2); // only while recording

    // Starting asks for the file, proposing an MP4 named for the moment; a name without an
    // extension gets the chosen kind's.
    QTemporaryDir dir;
    QSignalSpy requested(&board, &Form1::recordRequested);
    onModal([&](QDialog* dlg) {
        auto* files = qobject_cast<QFileDialog*>(dlg);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), QStringLiteral("運賃表示器の録画"));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("/ferio-\\d{8}-\\d{6}\\.mp4$")).match(files->selectedFiles().value(0)).hasMatch())
            << files->selectedFiles().value(0).toStdString();
        files->selectNameFilter(QStringLiteral("Matroska 動画 (*.mkv)"));
        files->selectFile(dir.filePath(QStringLiteral("ride")));
        dlg->accept(); // QFileDialog's own accept() is not public
    });
    start->trigger();
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested[0][0].toString(), dir.filePath(QStringLiteral("ride.mkv")));
}
