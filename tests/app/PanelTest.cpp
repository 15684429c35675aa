#include "Barcodes.h"
#include "BoardParts.h"
#include "PanelFixture.h"
#include "board/BoardGeometry.h"
#include "controls/ChimeiCtl_B.h"
#include "controls/M_Degit.h"
#include "options/ColorButton.h"
#include "panel/PanelInfo.h"
#include "reslib/ui/Bgr.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace {

qint64 number(const DegitValue& v) { return std::get<qint64>(v); }

// Pixels of a digit display drawn in its lit colour, as the board shows it.
int litPixels(Form1& board, const M_Degit* d) {
    const QImage img = board.grab(d->geometry()).toImage();
    const QColor lit = fromBgr(d->DegitForeColor());
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == lit;
    return n;
}

} // namespace

TEST_F(PanelTest, LoadTitlesTheBoardAndLeavesBroadcastUnusable) {
    EXPECT_EQ(board.windowTitle(), "Ferio - 型番:" + QCoreApplication::applicationName());
    EXPECT_EQ(panel.windowTitle(), "集中操作盤");
    auto* tape = find<QGroupBox>("grpM_Tape");
    EXPECT_EQ(tape->title(), "音合使用不可");
    EXPECT_FALSE(tape->isEnabled());
    EXPECT_FALSE(panel.speechAvailable());
    EXPECT_FALSE(find<QGroupBox>("Frame2")->isVisibleTo(&panel));
    EXPECT_TRUE(find<QRadioButton>("Option4_0")->isChecked());
    // Keys are clipped to their rounded shape inside the button border.
    const QRegion key = find("CommandButton1_7")->mask();
    EXPECT_FALSE(key.contains(QPoint(1, 1)));
    EXPECT_FALSE(key.contains(QPoint(2, 2)));
    EXPECT_TRUE(key.contains(QPoint(3, 2)));
    EXPECT_TRUE(key.contains(QPoint(26, 24)));
    EXPECT_FALSE(key.contains(QPoint(27, 24)) || key.contains(QPoint(28, 20)) || key.contains(QPoint(20, 25)));
}

TEST_F(PanelTest, KeypadResetLoadsTheRouteAfterTheLampTest) {
    writeRoute(12, 3);
    EXPECT_FALSE(find("Command2_0")->isEnabled());
    EXPECT_FALSE(find("Command2_1")->isEnabled());
    EXPECT_FALSE(find("Check1")->isEnabled());
    type("00012");
    click("Command1_1");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ferio.engine().state().RouteText, "00012");
    EXPECT_EQ(number(Degit(board, 1)->Value()), 100);
    EXPECT_EQ(number(Degit(board, 2)->Value()), 10);
    EXPECT_EQ(number(Degit(board, 3)->Value()), 0);
    EXPECT_EQ(number(S_Degit(board, 1)->Value()), 1);
    EXPECT_TRUE(find("Command2_0")->isEnabled());
    EXPECT_TRUE(find("Command2_1")->isEnabled());
    EXPECT_TRUE(find("Check1")->isEnabled());
}

TEST_F(PanelTest, ListResetReadsTheSelectedDigits) {
    writeRoute(12, 3);
    panel.switchEntryFrame(1);
    click("Command1_0"); // nothing selected: route 0, which has no file
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "指定した系統のデータがありません...");
    EXPECT_EQ(messages[0].title, "FerioVer4");
    EXPECT_EQ(messages[0].icon, QMessageBox::NoIcon);

    const size_t before = services.sounds.size();
    for (auto [list, row] : {std::pair{"List2_3", 1}, std::pair{"List2_4", 2}}) {
        QListWidget* l = find<QListWidget>(list);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
    }
    EXPECT_EQ(services.sounds.size(), before + 2);
    click("Command1_0");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(ferio.engine().state().RouteText, "12");
    EXPECT_EQ(number(Degit(board, 1)->Value()), 100);

    // The keyboard changes a list's choice too, with the same click.
    QTest::keyClick(find<QListWidget>("List2_4"), Qt::Key_Down);
    EXPECT_EQ(services.sounds.size(), before + 4); // the reset's own sound, then the key
    click("Command1_0");
    EXPECT_EQ(ferio.engine().state().RouteText, "13");
}

TEST_F(PanelTest, DataStepsStopAtBothEnds) {
    writeRoute(12, 3);
    type("12");
    click("Command1_1");
    click("Command2_1");
    click("Command2_1");
    EXPECT_EQ(number(Degit(board, 1)->Value()), 300);
    click("Command2_1"); // at the last stop: nothing happens
    EXPECT_EQ(ferio.engine().state().CurrentStop, 2);
    EXPECT_EQ(number(Degit(board, 1)->Value()), 300);
    for (int i = 0; i < 3; ++i) click("Command2_0");
    EXPECT_EQ(ferio.engine().state().CurrentStop, 0);
    EXPECT_EQ(number(Degit(board, 1)->Value()), 100);
    EXPECT_EQ(number(S_Degit(board, 1)->Value()), 1);
}

TEST_F(PanelTest, DisplayClearBlanksAndDisablesThenRestoresTheSameStop) {
    writeRoute(12, 3);
    type("12");
    click("Command1_1");
    click("Command2_1");
    board.show();

    click("Check1");
    EXPECT_EQ(std::get<QString>(Degit(board, 1)->Value()), QString());
    EXPECT_EQ(std::get<QString>(S_Degit(board, 1)->Value()), QString());
    EXPECT_EQ(std::get<QString>(TimeDegit(board, 0)->Value()), QString());
    EXPECT_EQ(std::get<QString>(TimeDegit(board, 1)->Value()), QString());
    EXPECT_FALSE(board.clockRunning());
    for (const M_Degit* d : {Degit(board, 1), S_Degit(board, 1), TimeDegit(board, 0), TimeDegit(board, 1)})
        EXPECT_EQ(litPixels(board, d), 0) << d->objectName().toStdString();
    for (const char* name : {"Frame1_0", "Frame1_1", "Frame6"}) EXPECT_FALSE(find<QFrame>(name)->isEnabled()) << name;
    for (const char* name : {"Command2_0", "Command2_1"}) EXPECT_FALSE(find(name)->isEnabled()) << name;
    EXPECT_FALSE(find<QGroupBox>("grpM_Tape")->isEnabled());
    for (const char* name : {"Command4", "Command8", "Check4", "Check1"}) EXPECT_TRUE(find(name)->isEnabled()) << name;

    click("Check1");
    EXPECT_EQ(number(Degit(board, 1)->Value()), 200);
    EXPECT_GT(litPixels(board, Degit(board, 1)), 0);
    EXPECT_EQ(number(S_Degit(board, 1)->Value()), 2);
    EXPECT_TRUE(board.clockRunning());
    for (const char* name : {"Frame1_0", "Frame1_1", "Frame6"}) EXPECT_TRUE(find<QFrame>(name)->isEnabled()) << name;
    EXPECT_TRUE(find("Command2_1")->isEnabled());
    EXPECT_FALSE(find<QGroupBox>("grpM_Tape")->isEnabled()); // no speech
}

TEST_F(PanelTest, LateNightDoublesFaresFromTheNextUpdate) {
    writeRoute(12, 3);
    type("12");
    click("Command1_1");
    find<QCheckBox>("Check2")->click();
    EXPECT_EQ(number(Degit(board, 1)->Value()), 100); // no redraw on the switch itself
    click("Command2_1");
    EXPECT_EQ(number(Degit(board, 1)->Value()), 400);
    EXPECT_EQ(number(Degit(board, 2)->Value()), 40);
    EXPECT_EQ(number(S_Degit(board, 1)->Value()), 2);
}

TEST_F(PanelTest, ScrollBarsDriveTheStopNameDisplay) {
    auto* speed = find<QScrollBar>("HScroll1_0");
    auto* interval = find<QScrollBar>("HScroll1_1");
    EXPECT_EQ(speed->minimum(), 1);
    EXPECT_EQ(speed->maximum(), 2000);
    EXPECT_EQ(interval->maximum(), 3000);
    EXPECT_EQ(find<QLabel>("Label1_0")->text(), "1");
    EXPECT_EQ(find<QLabel>("Label1_1")->text(), "0");
    speed->setValue(120);
    EXPECT_EQ(find<QLabel>("Label1_0")->text(), "120");
    EXPECT_EQ(ChimeiCtl(board)->Speed(), 120);
    EXPECT_EQ(ChimeiCtl(board)->ScrollStartWait(), 0);
    interval->setValue(2500);
    EXPECT_EQ(find<QLabel>("Label1_1")->text(), "2500");
    EXPECT_EQ(ChimeiCtl(board)->ScrollStartWait(), 2500);
}

TEST_F(PanelTest, VersionBoxShowsModelAndVersionWhileTheBoardIsDisabled) {
    EXPECT_EQ(
        panel::versionText("ferio", 2031),
        "型番：ferio\r\nバージョン：4.0.0\r\n\r\n配布：Ferio プロジェクト\r\n開発：Ferio 開発チーム 2026-2031\r\n");
    QString shown;
    bool boardDisabled = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        shown = dlg->findChild<QLabel*>("text")->text();
        boardDisabled = !board.isEnabled();
        dlg->accept();
    });
    click("Command8");
    EXPECT_TRUE(shown.startsWith("型番：" + panel::modelName() + "\nバージョン：4.0.0\n\n")) << shown.toStdString();
    EXPECT_TRUE(boardDisabled);
    EXPECT_TRUE(board.isEnabled());
}

TEST_F(PanelTest, PreviewMenuCopiesThePicture) {
    click("Check4");
    auto* pic = find<QLabel>("picSeirikenPrev");
    auto* menu = find<QMenu>("MnuHide");
    QTest::mouseClick(pic, Qt::LeftButton);
    EXPECT_FALSE(menu->isVisible());
    QTest::mouseClick(pic, Qt::RightButton);
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "コピー(&C)");
    menu->actions()[0]->trigger();
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), panel.previewImage().size());
    EXPECT_EQ(copied.pixelColor(5, 5), QColor(Qt::white));
}

TEST_F(PanelTest, ExitAsksFirstAndNoKeepsRunning) {
    answer = QMessageBox::No;
    EXPECT_FALSE(panel.close());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Ferioの終了確認");
    EXPECT_EQ(messages[0].text, "Ferioを終了しますか？");
    EXPECT_EQ(messages[0].icon, QMessageBox::Question);
    EXPECT_EQ(messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(services.released.empty());
    answer = QMessageBox::Yes;
    EXPECT_TRUE(panel.close());
    EXPECT_EQ(services.released, std::vector<std::string>{"sounds"});
}

TEST_F(PanelTest, OptionsButtonShowsTheDialogWithBothWindowsOutOfUseAndOkAppliesIt) {
    writeRoute(12, 3);
    type("12");
    click("Command1_1");
    bool bothDisabled = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<frmOption*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        bothDisabled = !board.isEnabled() && !panel.isEnabled();
        dlg->findChild<ColorButton*>(QStringLiteral("Command8_2"))->setColor(0x00FF00);
        EXPECT_NE(Degit(board, 1)->DegitForeColor(), 0x00FF00) << "the board waits for OK";
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    click("Command4");
    EXPECT_TRUE(bothDisabled);
    EXPECT_TRUE(board.isEnabled() && panel.isEnabled());
    EXPECT_FALSE(ferio.dialog().isVisible());
    EXPECT_EQ(Degit(board, 1)->DegitForeColor(), 0x00FF00);
    EXPECT_EQ(TimeDegit(board, 0)->DegitForeColor(), 0x00FF00);
    EXPECT_EQ(number(Degit(board, 1)->Value()), 100) << "the fares stay";
}

TEST_F(PanelTest, PreviewOpenedInTheCornerStaysOnTheScreenAndItsPlaceDoesNotCreep) {
    const QRect screen = panel.screen()->geometry();
    const QPoint corner(screen.right() + 1 - panel.frameGeometry().width(), 300);
    panel.move(corner);
    click("Check4");
    EXPECT_EQ(panel.frameGeometry().right(), screen.right());
    EXPECT_EQ(panel.GetCtrlDataInfo().PanelLeft, board::twips(corner.x())) << "saved where it stands closed";
    click("Check4");
    EXPECT_EQ(panel.pos(), corner);
}

TEST_F(PanelTest, TheTicketOfEveryStopIsDrawnAndACopiedTicketScans) {
    writeRoute(12, 3);
    changeOptions([](OptionInfo& o) {
        o.UseSeiriPrev = 1;
        o.SeiriPlgPath = FERIO_SAMPLES_DIR "/barcode.4SP";
    });
    EXPECT_EQ(panel.previewImage().size(), QSize(256, 120)) << "the preview takes the ticket's size";
    type("12");
    click("Command1_1");
    const QImage first = panel.previewImage();
    int printed = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x) printed += first.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_GT(printed, 1000) << "a ticket is printed";
    click("Command2_1");
    EXPECT_NE(panel.previewImage(), first);

    find<QMenu>("MnuHide")->actions()[0]->trigger();
    const auto found = scanBarcodes(QApplication::clipboard()->image());
    if (!found) GTEST_SKIP() << "zbarimg is not installed";
    // Route 12 at stop 2, ticket 2: the route and stop in ITF, the ticket in NW-7.
    EXPECT_EQ(*found, (QStringList{QStringLiteral("Codabar:A002A"), QStringLiteral("I2/5:012002")}));
}

// --ride without a voice presses "データ送り" to the last stop, then resets; a route that
// cannot be set stops the ride after its message.
TEST_F(PanelTest, ARideStepsTheDataToTheEndThenResetsAndStopsOnARouteThatCannotBeSet) {
    writeRoute(5, 3);
    SourceTimer timer;
    Ride ride(ferio, timer, QStringLiteral("5"), std::chrono::hours(1));
    ride.start();
    std::vector<int> stops;
    for (int press = 0; press < 4; ++press) {
        EXPECT_TRUE(ride.step());
        stops.push_back(ferio.engine().state().CurrentStop);
    }
    EXPECT_EQ(stops, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_TRUE(messages.empty());
    QFile::remove(dir.filePath(QStringLiteral("5.hy3")));
    EXPECT_TRUE(ride.step());
    EXPECT_FALSE(ride.step()) << "the reset finds no route";
    EXPECT_EQ(messages.size(), 1u);
}
