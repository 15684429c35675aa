// The settings file as the program uses it: written at the confirmed exit from every window's
// state, read at the next start and applied to every window; a bad file applies nothing.
#include "BoardParts.h"
#include "PanelFixture.h"
#include "app/BoardScale.h"
#include "app/Ferio.h"
#include "controls/ChimeiCtl_B.h"
#include "controls/M_Degit.h"
#include "reslib/ui/Messages.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct SettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("ferio.in4"));
    RecordingDevices services;
    std::vector<msg::Request> messages;

    SettingsTest() {
        msg::setHandler([this](const msg::Request& r) {
            messages.push_back(r);
            return r.buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
        });
    }
    ~SettingsTest() override { msg::setHandler({}); }

    std::unique_ptr<Ferio> start() {
        auto ferio = std::make_unique<Ferio>(FerioDevices{services, services, services, nullptr, {}}, file);
        ferio->board().setLampTestMs(0);
        ferio->start();
        return ferio;
    }
};

} // namespace

TEST_F(SettingsTest, EveryWindowsStateSurvivesTheExitAndTheNextStart) {
    OptionInfo changed;
    {
        auto ferio = start();
        EXPECT_FALSE(QFile::exists(file)) << "a first start reads nothing and writes nothing";
        changed = ferio->dialog().GetOptionInfo();
        changed.FareDataDir = "/data/運賃";
        changed.SeiriDegitForeColor = 0x123456;
        changed.InfoKeitoShow = 1;
        changed.InfoKeitoPos = 31;
        changed.StepSoundAlways = 0;
        changed.StepSoundByColumn = -1;
        ferio->dialog().SetOptionInfo(changed);
        ferio->dialog().customColors()[16] = 0x0A0B0C;
        auto* cell3 = ferio->board().findChild<M_Degit*>(QStringLiteral("Degit_3"));
        cell3->setShift(1);
        cell3->setFillZero(2);
        ferio->panel().findChild<QScrollBar*>(QStringLiteral("HScroll1_0"))->setValue(77);
        ferio->panel().findChild<QCheckBox*>(QStringLiteral("Check2"))->setChecked(true);
        ferio->board().move(30, 40);
        EXPECT_TRUE(ferio->panel().close());
        EXPECT_TRUE(messages.size() == 1 && messages[0].text == "Ferioを終了しますか？");
    }
    ASSERT_TRUE(QFile::exists(file));

    auto ferio = start();
    EXPECT_EQ(messages.size(), 1u) << "no message at load";
    const OptionInfo loaded = ferio->dialog().GetOptionInfo();
    EXPECT_EQ(loaded.FareDataDir, changed.FareDataDir);
    EXPECT_EQ(loaded.InfoKeitoPos, 31);
    EXPECT_EQ(loaded.StepSoundByColumn, -1);
    EXPECT_EQ(loaded.FixedDate, changed.FixedDate);
    EXPECT_EQ(ferio->options().SeiriDegitForeColor, 0x123456);
    EXPECT_EQ(ferio->dialog().customColors()[16], 0x0A0B0C);
    EXPECT_EQ(Degit(ferio->board(), 3)->Shift(), 1);
    EXPECT_EQ(Degit(ferio->board(), 3)->FillZero(), 2);
    EXPECT_EQ(Degit(ferio->board(), 4)->Shift(), 0);
    EXPECT_EQ(S_Degit(ferio->board(), 9)->DegitForeColor(), 0x123456) << "applied to the board";
    for (int i : {1, 32}) EXPECT_EQ(std::get<QString>(Degit(ferio->board(), i)->Value()), QStringLiteral(" "));
    EXPECT_EQ(ferio->panel().findChild<QScrollBar*>(QStringLiteral("HScroll1_0"))->value(), 77);
    EXPECT_EQ(ChimeiCtl(ferio->board())->Speed(), 77);
    EXPECT_TRUE(ferio->panel().findChild<QCheckBox*>(QStringLiteral("Check2"))->isChecked());
    EXPECT_EQ(ferio->board().pos(), QPoint(30, 40));
}

TEST_F(SettingsTest, ADamagedFileIsReportedAndAppliesNothing) {
    {
        auto ferio = start();
        OptionInfo o = ferio->dialog().GetOptionInfo();
        o.FareDataDir = "/somewhere";
        ferio->dialog().SetOptionInfo(o);
        EXPECT_TRUE(ferio->panel().close());
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(f.size() - 1); // the last cell record ends early
    f.close();
    messages.clear();

    auto ferio = start();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("エラー Code:"))) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\r\n内容:")));
    EXPECT_EQ(messages[0].title, msg::AppTitle);
    EXPECT_EQ(messages[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(ferio->options().FareDataDir, "") << "nothing of the file is applied";
}

// The defaults that the exit saves after a refused file must not cost the user that file.
TEST_F(SettingsTest, ARefusedFileIsKeptBesideItBeforeTheDefaultsReplaceIt) {
    const QString kept = file + QStringLiteral(".damaged");
    auto readAll = [](const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    for (const QByteArray& damaged : {QByteArray(759, 'x'), QByteArray("short")}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(damaged);
        f.close();
        messages.clear();
        {
            auto ferio = start();
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_TRUE(messages[0].text.contains(QDir::toNativeSeparators(kept))) << messages[0].text.toStdString();
            EXPECT_EQ(readAll(kept), damaged) << "kept whole, replacing an older copy";
            EXPECT_TRUE(ferio->panel().close());
        }
        EXPECT_NE(readAll(file), damaged) << "the exit saved the defaults";
        EXPECT_EQ(readAll(kept), damaged);
    }

    // Where no copy can be made, the refused file is the only one left: it is never replaced.
    QFile::remove(kept);
    ASSERT_TRUE(QDir().mkpath(kept + QStringLiteral("/in-the-way")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("damaged");
    f.close();
    messages.clear();
    {
        auto ferio = start();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].text.contains(QStringLiteral("終了時に設定を保存しません")))
            << messages[0].text.toStdString();
        EXPECT_TRUE(ferio->panel().close());
    }
    EXPECT_EQ(readAll(file), QByteArray("damaged"));
}

TEST_F(SettingsTest, ASaveThatFailsIsReportedAndKeepsTheOldFile) {
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));         // a previous (empty, damaged) file
    file = dir.filePath(QStringLiteral("ferio.in4/inside.in4")); // its "folder" is a file
    auto ferio = start();
    EXPECT_TRUE(ferio->panel().close());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].text.startsWith(QStringLiteral("エラー Code:"))) << messages[1].text.toStdString();
    EXPECT_EQ(QFile(dir.filePath(QStringLiteral("ferio.in4"))).size(), 0);
}

TEST_F(SettingsTest, TheScaleChosenFromTheBoardsMenuComesBackAtTheNextStart) {
    const QString scaleFile = dir.filePath(QStringLiteral("ferio.board"));
    EXPECT_EQ(boardSettingsFile(file), scaleFile);
    {
        auto ferio = start();
        EXPECT_EQ(ferio->board().Scale(), 1) << "no file: the designed size";
        ferio->board().setScale(2); // as --scale does: for this run only
        EXPECT_FALSE(QFile::exists(scaleFile));
        ferio->board().contextMenu()->findChild<QAction*>(QStringLiteral("actScale_3"))->trigger();
    }
    EXPECT_EQ(loadBoardScale(scaleFile), 3);
    EXPECT_EQ(start()->board().Scale(), 3);
    ASSERT_TRUE(saveBoardScale(scaleFile, 9));
    EXPECT_EQ(loadBoardScale(scaleFile), 4) << "brought within 1 … 4";
    EXPECT_TRUE(messages.empty());
}
