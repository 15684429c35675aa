// The broadcast group as the program wires it: with a voice, a route's table loads at its reset,
// "送り" speaks the next announcement and moves the fares when the entry says so, "■" stops the
// voice and "調整" opens its dialog over the panel.
#include "PanelFixture.h"
#include "app/Ferio.h"
#include "fare/Hy3File.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct Voice : Speaker {
    std::vector<std::string> said;
    const Ferio* ferio = nullptr; // when set, the stop the board shows as each text is spoken
    std::vector<int> shownWhenSaid;
    int stops = 0;
    void speak(const std::string& text) override {
        said.push_back(text);
        if (ferio) shownWhenSaid.push_back(ferio->engine().state().CurrentStop);
    }
    void stopSpeaking() override { ++stops; }
    int32_t status() override { return 0; }
    std::vector<std::string> readings;
    void useReadings(const std::string& file) override { readings.push_back(file); }
};

struct TapeWiring : ::testing::Test {
    QTemporaryDir dir;
    RecordingDevices services;
    Voice voice;
    QWidget* adjustedOver = nullptr;
    Ferio ferio{{services, services, services, &voice, [this](QWidget* owner) { adjustedOver = owner; }},
                dir.filePath(QStringLiteral("ferio.in4"))};

    TapeWiring() {
        std::vector<fare::FareRecord> stops(3);
        for (int r = 1; r <= 3; ++r) stops[size_t(r - 1)].column(1) = int16_t(100 * r);
        std::ofstream(QDir(dir.path()).filePath(QStringLiteral("12.hy3")).toStdString(), std::ios::binary)
            << *fare::hy3::write(stops, nullptr);
        QFile tape(QDir(dir.path()).filePath(QStringLiteral("12tp.csv")));
        EXPECT_TRUE(tape.open(QIODevice::WriteOnly));
        tape.write("\"opening\",0,0\r\n\"next stop\",1,0\r\n");
        tape.close();
        OptionInfo o = ferio.dialog().GetOptionInfo();
        o.FareDataDir = o.TapeDataDir = dir.path().toStdString();
        ferio.dialog().SetOptionInfo(o);
        ferio.board().setLampTestMs(0);
        ferio.start();
    }
    void click(const char* name) {
        QTest::mouseClick(ferio.panel().findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
};

} // namespace

TEST_F(TapeWiring, NextSpeaksAndStepsTheFaresWhenTheEntrySaysSo) {
    EXPECT_EQ(ferio.panel().findChild<QGroupBox*>(QStringLiteral("grpM_Tape"))->title(), QStringLiteral("音合使用可"));
    EXPECT_FALSE(ferio.panel().findChild<QPushButton*>(QStringLiteral("cmdTapeNext"))->isEnabled()) << "no table yet";
    click("CommandButton1_1");
    click("CommandButton1_2");
    click("Command1_1");
    ASSERT_EQ(ferio.tape().count(), 2);
    auto* next = ferio.panel().findChild<QPushButton*>(QStringLiteral("cmdTapeNext"));
    EXPECT_EQ(next->toolTip(), QStringLiteral("opening")) << "seen before it is heard";

    click("cmdTapeNext");
    EXPECT_EQ(next->toolTip(), QStringLiteral("next stop"));
    EXPECT_EQ(voice.said, std::vector<std::string>{"opening"});
    EXPECT_EQ(ferio.engine().state().CurrentStop, 0);
    click("cmdTapeNext");
    EXPECT_EQ(voice.said.back(), "next stop");
    EXPECT_EQ(ferio.engine().state().CurrentStop, 1) << "the entry moved the fares";
    click("cmdTapeBack"); // back to "opening", which moves nothing
    EXPECT_EQ(voice.said.back(), "opening");
    EXPECT_EQ(ferio.engine().state().CurrentStop, 1);

    const int stops = voice.stops;
    click("cmdTapeStop");
    EXPECT_EQ(voice.stops, stops + 1);
    click("cmdTapeSet");
    EXPECT_EQ(adjustedOver, &ferio.panel());
}

TEST_F(TapeWiring, RouteSetGivesTheVoiceTheBroadcastFoldersReadings) {
    const std::string readings = QDir(dir.path()).filePath(QStringLiteral("readings.tsv")).toStdString();
    std::ofstream(readings) << "本町\tホンマチ\n";
    click("CommandButton1_1");
    click("CommandButton1_2");
    click("Command1_1");
    EXPECT_EQ(voice.readings, std::vector<std::string>{readings});
}

// --ride: with a table and a voice, each press is "送り", and after the last announcement the
// route is set again from its first stop.
TEST_F(TapeWiring, ARideAnnouncesEachStopAndStartsAgainAtTheEnd) {
    SourceTimer timer;
    Ride ride(ferio, timer, QStringLiteral("12"), std::chrono::hours(1));
    ride.start();
    std::vector<std::pair<int, size_t>> seen; // stop shown, announcements so far
    for (int press = 0; press < 4; ++press) {
        EXPECT_TRUE(ride.step());
        seen.emplace_back(ferio.engine().state().CurrentStop, voice.said.size());
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, size_t>>{{0, 1}, {1, 2}, {0, 2}, {0, 3}}));
    EXPECT_EQ(voice.said, (std::vector<std::string>{"opening", "next stop", "opening"}));
}

// --ride on a route with times: each "次は" is spoken while the board still shows the stop
// before it, then the board moves, and the stop that the table does not announce is stepped.
TEST_F(TapeWiring, ATimetabledRideSpeaksEachNextStopBeforeTheBoardMovesToIt) {
    std::ofstream(QDir(dir.path()).filePath(QStringLiteral("12times.csv")).toStdString()) << "0,0\n60,60\n120,120\n";
    voice.ferio = &ferio;
    SourceTimer timer;
    Ride ride(ferio, timer, QStringLiteral("12"), std::chrono::hours(1), 86400);
    ride.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ferio.engine().state().CurrentStop == 2; }, 10000))
        << "the ride did not reach the terminal";
    EXPECT_EQ(voice.said, (std::vector<std::string>{"opening", "next stop"}));
    EXPECT_EQ(voice.shownWhenSaid, (std::vector<int>{0, 0}));
}
