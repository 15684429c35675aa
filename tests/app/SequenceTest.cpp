// The start-up and the exit as the program runs them: each step, in its order, has done its
// part when the next one begins.
#include "BoardParts.h"
#include "PanelFixture.h"
#include "app/Ferio.h"
#include "controls/M_Degit.h"

#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <map>

namespace {

struct Sequence : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("ferio.in4"));
    RecordingDevices services;
    Sequence() {
        msg::setHandler([](const msg::Request&) { return QMessageBox::Ok; });
    }
    ~Sequence() override { msg::setHandler({}); }

    std::unique_ptr<Ferio> program() {
        auto ferio = std::make_unique<Ferio>(FerioDevices{services, services, services, nullptr, {}}, file);
        ferio->board().setLampTestMs(0);
        return ferio;
    }
    static std::vector<std::string> names(const std::vector<SequenceStep>& steps) {
        std::vector<std::string> n;
        for (const SequenceStep& s : steps) n.emplace_back(s.name);
        return n;
    }
};

} // namespace

TEST_F(Sequence, StartUpRunsInItsOrder) {
    // A settings file that puts the board elsewhere, from an earlier run.
    {
        auto earlier = program();
        earlier->start();
        earlier->board().move(30, 40);
        for (const SequenceStep& step : earlier->exitSteps()) step.run();
    }
    auto ferio = program();
    Form1& board = ferio->board();
    const std::vector<SequenceStep> steps = ferio->startupSteps();
    ASSERT_EQ(names(steps),
              (std::vector<std::string>{"prepare cells", "start-up defaults", "built-in pictures", "apply options",
                                        "show panel", "panel to the top", "board to the top-left",
                                        "panel to the bottom-right", "board shape", "repaint board", "load settings"}));
    const std::map<std::string, std::function<void()>> after{
        {"prepare cells", [&] { EXPECT_EQ(Degit(board, 7)->DegitStyle(), 1); }},
        {"start-up defaults",
         [&] {
             const OptionInfo& o = ferio->options();
             EXPECT_EQ(std::tuple(o.UseSeiriNumDisp, o.SeiriNumColorOff, o.SeiriNumColorOn1, o.SeiriNumColorOn2),
                       std::tuple(int16_t(1), 0xFFFFFF, 0xC0FFC0, 0x80C0FF));
         }},
        {"built-in pictures", [&] { EXPECT_EQ(board.picture().cacheKey(), board.imgRes(0).cacheKey()); }},
        {"show panel",
         [&] {
             EXPECT_TRUE(ferio->panel().isVisible());
             EXPECT_FALSE(board.isVisible());
             EXPECT_TRUE(board.windowTitle().startsWith("Ferio - 型番:")); // the panel's load titles it
         }},
        {"board to the top-left", [&] { EXPECT_EQ(board.pos(), QPoint(0, 0)); }},
        {"panel to the bottom-right",
         [&] {
             const QRect screen = ferio->panel().screen()->geometry();
             EXPECT_EQ(ferio->panel().frameGeometry().bottomRight(), screen.bottomRight());
         }},
        {"board shape", [&] { EXPECT_FALSE(board.mask().isEmpty()); }},
        {"load settings", [&] { EXPECT_EQ(board.pos(), QPoint(30, 40)); }},
    };
    for (const SequenceStep& step : steps) {
        step.run();
        if (auto check = after.find(step.name); check != after.end()) check->second();
    }
}

TEST_F(Sequence, ExitRunsInItsOrder) {
    auto ferio = program();
    ferio->start();
    const std::vector<SequenceStep> steps = ferio->exitSteps();
    ASSERT_EQ(names(steps), (std::vector<std::string>{"blank stop name", "board shape", "key shapes", "close sounds",
                                                      "release tape", "save settings"}));
    QPushButton* key = ferio->panel().findChild<QPushButton*>(QStringLiteral("CommandButton1_7"));
    ASSERT_FALSE(key->mask().isEmpty());
    bool soundsClosed = false;
    for (const SequenceStep& step : steps) {
        const std::string name = step.name;
        // The settings are written last: every release has happened before.
        EXPECT_FALSE(QFile::exists(file)) << name;
        EXPECT_EQ(services.released.empty(), !soundsClosed) << name;
        step.run();
        soundsClosed = soundsClosed || name == "close sounds";
        if (name == "key shapes") {
            EXPECT_TRUE(key->mask().isEmpty());
        }
    }
    EXPECT_EQ(services.released, std::vector<std::string>{"sounds"});
    EXPECT_TRUE(QFile::exists(file));
}
