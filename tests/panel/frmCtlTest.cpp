#include "panel/frmCtl.h"
#include "PanelKeys.h"
#include "options/model/OptionInfo.h"
#include "panel/BacklightChoice.h"
#include "panel/PanelInfo.h"
#include "reslib/ui/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// The control panel by itself: no board, no engine, no sound device. What it asks of the others
// shows in its signals.
namespace {

struct PlayedSound {
    std::string file, alias;
    bool wait;
    bool operator==(const PlayedSound&) const = default;
};

struct RecordingSound : fare::Sound {
    std::vector<PlayedSound> played;
    void playSound(const std::string& file, const std::string& alias, bool wait) override {
        played.push_back({file, alias, wait});
    }
    void closeAllSounds() override {}
};

struct PanelAlone : ::testing::Test {
    OptionInfo options;
    RecordingSound sound;
    frmCtl panel{options, sound};
    std::vector<msg::Request> messages;
    QMessageBox::StandardButton answer = QMessageBox::No;

    PanelAlone() {
        options.SoundReset = "key.wav";
        msg::setHandler([this](const msg::Request& r) {
            messages.push_back(r);
            return answer;
        });
    }
    ~PanelAlone() override { msg::setHandler({}); }

    template <class W = QPushButton>
    W* find(const char* name) {
        return findControl<W>(panel, name);
    }
    void click(const char* name) { clickControl(panel, name); }
    void type(const QString& digits) { typeDigits(panel, digits); }
    QString route() { return find<QLabel>("Label2_0")->text(); }
};

} // namespace

TEST_F(PanelAlone, KeypadTypesUpToFiveDigitsAndSoundsEveryKey) {
    EXPECT_FALSE(find("CommandButton1_11")->isVisibleTo(&panel));
    EXPECT_FALSE(find("CommandButton1_11")->isEnabled());
    type("0012");
    EXPECT_EQ(route(), "0012");
    type("34");
    EXPECT_EQ(route(), "00123");        // the sixth digit is ignored
    ASSERT_EQ(sound.played.size(), 6u); // ... but still sounds
    EXPECT_EQ(sound.played.back(), (PlayedSound{"key.wav", "S1", false}));
    click("CommandButton1_10");
    EXPECT_EQ(route(), "");
    EXPECT_EQ(sound.played.size(), 7u);
    EXPECT_EQ(find<QLabel>("Label2_2")->text(), "");
}

TEST_F(PanelAlone, PreviewToggleChangesWidthCaptionAndTooltipOnly) {
    QPushButton* toggle = find("Check4");
    panel.move(200, 300);
    EXPECT_EQ(panel.size(), QSize(353, 173));
    EXPECT_EQ(toggle->text(), ">>");
    EXPECT_EQ(toggle->toolTip(), "整理券プレビューを開きます");
    auto* picture = find<QLabel>("picSeirikenPrev");
    EXPECT_GE(picture->mapTo(&panel, QPoint()).x(), 359);
    click("Check4");
    EXPECT_EQ(panel.size(), QSize(594, 173));
    EXPECT_EQ(panel.pos(), QPoint(200, 300));
    EXPECT_EQ(toggle->text(), "<<");
    EXPECT_EQ(toggle->toolTip(), "整理券プレビューを隠します");
    EXPECT_LE(picture->mapTo(&panel, picture->rect().bottomRight()).x(), 594);
    click("Check4");
    EXPECT_EQ(panel.size(), QSize(353, 173));
    EXPECT_EQ(toggle->text(), ">>");
}

TEST_F(PanelAlone, AnnouncementTooltipsShowAtMostTheirFirst120Characters) {
    const QString whole(120, QChar(u'駅'));
    panel.showUpcomingAnnouncements(whole + QStringLiteral("前"), whole);
    EXPECT_EQ(find("cmdTapeNext")->toolTip(), whole + QStringLiteral("…"));
    EXPECT_EQ(find("cmdTapeBack")->toolTip(), whole);
    panel.showUpcomingAnnouncements(QString(27800, QChar(u'駅')), QString());
    EXPECT_EQ(find("cmdTapeNext")->toolTip(), whole + QStringLiteral("…"));
    EXPECT_EQ(find("cmdTapeBack")->toolTip(), QString());
}

TEST_F(PanelAlone, DoubleClickSendsTheFrontEntryFrameBehind) {
    auto front = [&] {
        QWidget* w = panel.childAt(find<QFrame>("Frame1_0")->geometry().center() + QPoint(0, 30));
        return find<QFrame>("Frame1_0")->isAncestorOf(w) || w == find<QFrame>("Frame1_0") ? 0 : 1;
    };
    EXPECT_EQ(front(), 1); // keypad first
    // The displays and titles on a frame are not the frame.
    QTest::mouseDClick(find<QLabel>("Label2_0"), Qt::LeftButton);
    QTest::mouseDClick(find<QLabel>("Label2_1"), Qt::LeftButton);
    EXPECT_EQ(front(), 1);
    QTest::mouseDClick(find<QFrame>("Frame1_1"), Qt::LeftButton, {}, QPoint(3, 100));
    EXPECT_EQ(panel.hiddenEntryFrame(), 1);
    EXPECT_EQ(front(), 0);
    QTest::mouseDClick(find<QLabel>("Label6"), Qt::LeftButton);
    EXPECT_EQ(front(), 0);
    QTest::mouseDClick(find<QFrame>("Frame1_0"), Qt::LeftButton, {}, QPoint(3, 100));
    EXPECT_EQ(panel.hiddenEntryFrame(), 0);
    EXPECT_EQ(front(), 1);
}

TEST_F(PanelAlone, CtrlDataInfoRoundTrips) {
    ASSERT_TRUE(panel.SetCtrlDataInfo({1, 50, 700, 1, 1, 1500, 3000}));
    EXPECT_EQ(panel.pos(), QPoint(100, 200));
    EXPECT_EQ(find<QLabel>("Label1_1")->text(), "700");
    EXPECT_EQ(panel.width(), 594);
    EXPECT_TRUE(find<QCheckBox>("Check2")->isChecked());
    EXPECT_EQ(panel.hiddenEntryFrame(), 1);
    const CtrlDataInfo d = panel.GetCtrlDataInfo();
    EXPECT_EQ(std::tuple(d.HiddenEntryFrame, d.ScrollSpeed, d.ScrollInterval, d.LateNightFare, d.PreviewOpen,
                         d.PanelLeft, d.PanelTop),
              std::tuple(int16_t(1), 50, 700, int16_t(1), int16_t(1), 1500, 3000));

    CtrlDataInfo slow = d;
    slow.ScrollSpeed = 0; // a speed the bar cannot take
    EXPECT_FALSE(panel.SetCtrlDataInfo(slow));
}

TEST_F(PanelAlone, AClosedPreviewKeepsTheDesignedSizeWhateverTheTicket) {
    panel.setPreviewSize(400, 300); // a plugin's ticket taller and wider than the designed one
    EXPECT_EQ(panel.size(), QSize(353, 173));
    click("Check4");
    EXPECT_GE(panel.height(), 300);
    EXPECT_GE(panel.width(), 400);
    // The company list moves below the ticket, still where a click reaches it.
    auto* picture = find<QLabel>("picSeirikenPrev");
    auto* companies = find<QComboBox>("Combo1");
    const QPoint list = companies->mapTo(&panel, companies->rect().center());
    EXPECT_GT(list.y(), picture->mapTo(&panel, picture->rect().bottomLeft()).y());
    EXPECT_EQ(panel.childAt(list), companies);
    click("Check4");
    EXPECT_EQ(panel.size(), QSize(353, 173));
}

TEST_F(PanelAlone, WhatItAsksOfTheBoardIsSignalled) {
    QSignalSpy caption(&panel, &frmCtl::boardCaptionSet);
    QSignalSpy scroll(&panel, &frmCtl::scrollSet);
    QSignalSpy boardUse(&panel, &frmCtl::boardUseChanged);
    panel.show();
    panel.hide();
    panel.show(); // the load runs once
    ASSERT_EQ(caption.count(), 1);
    EXPECT_TRUE(caption[0][0].toString().startsWith("Ferio - 型番:"));

    find<QScrollBar>("HScroll1_1")->setValue(2500);
    find<QScrollBar>("HScroll1_0")->setValue(120);
    ASSERT_EQ(scroll.count(), 2);
    EXPECT_EQ(scroll[1][0].value<int16_t>(), 120);
    EXPECT_EQ(scroll[1][1].value<int32_t>(), 2500);

    QTimer::singleShot(0, [] {
        if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dlg->accept();
    });
    click("Command8"); // the version box
    ASSERT_EQ(boardUse.count(), 2);
    EXPECT_FALSE(boardUse[0][0].toBool());
    EXPECT_TRUE(boardUse[1][0].toBool());
}

TEST_F(PanelAlone, ExitIsAskedAndOnlyYesEndsIt) {
    QSignalSpy exit(&panel, &frmCtl::exitConfirmed);
    panel.show();
    answer = QMessageBox::No;
    EXPECT_FALSE(panel.close());
    EXPECT_EQ(exit.count(), 0);
    EXPECT_TRUE(panel.isVisible());
    answer = QMessageBox::Yes;
    EXPECT_TRUE(panel.close());
    EXPECT_EQ(exit.count(), 1);
}

TEST(PanelInfo, ModelNameIsTheWholeProgramFileName) {
    for (auto [path, model] : {std::pair{"/usr/bin/ferio", "ferio"},
                               {"/opt/ferio-4.0", "ferio-4.0"},
                               {"ferio.tar.gz", "ferio.tar.gz"},
                               {"C:/bus/FERIO.EXE", "FERIO"},
                               {"a.b.exe", "a.b"}})
        EXPECT_EQ(panel::modelNameOf(QString::fromUtf8(path)), QString::fromUtf8(model)) << path;
}

TEST(BacklightChoice, EachStateTakesItsColourAndItsPictureByTheChoiceOfPanel) {
    OptionInfo o;
    o.SeiriNumColorOff = 1;
    o.SeiriNumColorOn1 = 2;
    o.SeiriNumColorOn2 = 3;
    o.PanelOn2User = 1;
    o.PanelOn2File = "/pictures/on2.bmp";
    struct Row {
        int16_t individual, state;
        std::optional<int> builtin;
        std::optional<std::string> file;
        int32_t colour;
        std::optional<ErrorCode> error;
    };
    for (const Row& r : std::vector<Row>{
             {0, 0, 0, {}, 1, {}},
             {0, 2, 2, {}, 3, {}}, // automatic: the file is not looked at
             {1, 1, 1, {}, 2, {}}, // individual, but ON1 keeps the built-in picture
             {1, 2, {}, "/pictures/on2.bmp", 3, {}},
             {1, 3, {}, {}, 0, ErrorCode::Subscript},
             {0, -1, {}, {}, 0, ErrorCode::Subscript},
         }) {
        o.PanelIndividual = r.individual;
        o.PanelAuto = static_cast<int16_t>(1 - r.individual);
        const backlight::Choice c = backlight::choose(o, r.state);
        EXPECT_EQ(std::tuple(c.builtinPicture, c.userFile, c.labelColour, c.error),
                  std::tuple(r.builtin, r.file, r.colour, r.error))
            << "individual " << r.individual << " state " << r.state;
    }
}
