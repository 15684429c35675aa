// The real program on a real X server: key in route 12, reset, wait out the lamp test, step
// forward twice, look at the board's pixels, then close the panel and answer the question.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include "XDesktop.h"
#include "XPlacements.h"
#include "board/BoardGeometry.h"
#include "panel/PanelGeometry.h"
#include "settings/mdlIniIo.h"

namespace {

// Lit segment pixels in a rectangle of the screen: bright and warm, unlike the grey unlit 8s.
int litPixels(const QImage& shot, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 220 && c.green() > 140 && c.blue() < 200) ++n;
        }
    return n;
}

// Pixels of pure lit green (the colour the options test chooses) in a rectangle of the screen.
int greenPixels(const QImage& shot, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += shot.pixelColor(x, y) == QColor(0, 255, 0);
    return n;
}

// Fare cell i on the board at the screen's top-left corner.
QRect fareCell(int i) { return {board::farePos(i), board::FareSize}; }

// Screenshots, saved under `name`, until one shows what `seen` looks for; false when none did.
bool waitForScreen(const Desktop& desk, const char* name, QImage& shot,
                   const std::function<bool(const QImage&)>& seen) {
    return Desktop::waitUntil([&] {
        shot = desk.screenshot(QString::fromLatin1(name));
        return !shot.isNull() && seen(shot);
    });
}

std::string text(const Geometry& g) {
    return std::to_string(g.w) + "x" + std::to_string(g.h) + "+" + std::to_string(g.x) + "+" + std::to_string(g.y);
}
std::string text(const QRect& r) { return text(Geometry{r.x(), r.y(), r.width(), r.height()}); }

// The panel's geometry once the program has put it into the screen's bottom-right corner.
bool panelInTheCorner(const Desktop& desk, const QString& panelId, Geometry& panel) {
    return Desktop::waitUntil([&] {
        panel = desk.geometry(panelId);
        return panel.x + panel.w == ScreenW && panel.y + panel.h == ScreenH;
    });
}

// The program started in the sample folder with its own settings file; it must be ended by
// answering its exit question.
class Ferio {
public:
    Ferio(const Desktop& desk, const QString& settingsFile, const QProcessEnvironment& env,
          const QStringList& more = {})
        : desk_(desk) {
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(QStringLiteral(FERIO_SAMPLES_DIR));
        process_.start(QStringLiteral(FERIO_BIN_DIR "/ferio"),
                       QStringList{QStringLiteral("--settings"), settingsFile} + more);
    }
    Ferio(const Desktop& desk, const QString& settingsFile) : Ferio(desk, settingsFile, desk.environment()) {}
    ~Ferio() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished();
    }
    bool started() { return process_.waitForStarted(5000); }
    // What the program said and how it stands, for a failure message.
    std::string report() {
        return "state " + std::to_string(process_.state()) +
               ", stderr: " + process_.readAllStandardError().toStdString();
    }
    // Closes the panel as its close box does and answers Yes; true when the program then ends.
    bool quit(const QString& panelId) {
        if (!desk_.requestClose(panelId)) return false;
        const QString question = desk_.window(QStringLiteral("Ferioの終了確認"));
        // Return goes where the keyboard is: to the question only once it has the focus.
        if (question.isEmpty() || !desk_.focus(question)) return false;
        desk_.keys({QStringLiteral("Return")});
        return process_.waitForFinished(PatienceMs) && process_.exitStatus() == QProcess::NormalExit &&
               process_.exitCode() == 0;
    }

private:
    const Desktop& desk_;
    QProcess process_;
};

} // namespace

TEST(E2E, KeyInRouteResetStepAndExit) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty());
    ASSERT_TRUE(QFile::exists(QStringLiteral(FERIO_SAMPLES_DIR "/12.hy3")));

    Desktop desk;
    ASSERT_TRUE(desk.start());
    const QTemporaryDir settings;
    Ferio ferio(desk, settings.filePath(QStringLiteral("ferio.in4")));
    ASSERT_TRUE(ferio.started());

    const QString panelId = desk.window(QStringLiteral("集中操作盤"));
    const QString boardId = desk.window(QStringLiteral("Ferio - 型番:ferio"));
    ASSERT_FALSE(panelId.isEmpty()) << ferio.report();
    ASSERT_FALSE(boardId.isEmpty());
    // The program places both windows after it shows them: clicks wait for the panel's place.
    Geometry panel, board;
    ASSERT_TRUE(panelInTheCorner(desk, panelId, panel))
        << "waited for the panel in the bottom-right corner; at " << text(panel);
    EXPECT_TRUE(Desktop::waitUntil([&] {
        board = desk.geometry(boardId);
        return std::tuple(board.x, board.y, board.w, board.h) == std::tuple(0, 0, 643, 240);
    })) << "waited for the board, 643x240, at the top-left corner; at "
        << text(board);

    namespace geo = panel::geometry;
    auto clickAt = [&](QPoint p) { desk.click(panel.x + p.x(), panel.y + p.y()); };
    const QPoint keypad = geo::EntryFrame.topLeft();
    clickAt(keypad + geo::keyRect(1).center());
    clickAt(keypad + geo::keyRect(2).center());
    clickAt(keypad + geo::EntryReset.center()); // リセット
    QImage lamp;
    EXPECT_TRUE(waitForScreen(desk, "e2e-lamptest.png", lamp, [](const QImage& shot) {
        return litPixels(shot, fareCell(32)) > 50;
    })) << "waited for the lamp test to light every display, cell 32 too";

    // Stop 1 lights cell 1 alone: seen only once the lamp test is over.
    QImage first;
    ASSERT_TRUE(waitForScreen(desk, "e2e-stop1.png", first, [](const QImage& shot) {
        return litPixels(shot, fareCell(1)) > 50 && litPixels(shot, fareCell(32)) == 0;
    })) << "waited for the first stop's fare in cell 1 after the lamp test";
    EXPECT_EQ(litPixels(first, fareCell(2)), 0);

    clickAt(geo::DataForward.center()); // データ送り
    clickAt(geo::DataForward.center());
    // Stop 3 of route 12 charges 180 in cells 1 to 3 and nothing beyond; stop 2 leaves cell 3 dark.
    QImage third;
    ASSERT_TRUE(waitForScreen(desk, "e2e-stop3.png", third, [](const QImage& shot) {
        return litPixels(shot, fareCell(3)) > 50;
    })) << "waited for the third stop's fare in cell 3";
    const int lit = litPixels(third, fareCell(1));
    EXPECT_GT(lit, 50);
    EXPECT_EQ(litPixels(third, fareCell(2)), lit);
    EXPECT_EQ(litPixels(third, fareCell(3)), lit);
    EXPECT_EQ(litPixels(third, fareCell(4)), 0);

    EXPECT_TRUE(ferio.quit(panelId)) << "the program ends after the exit question";
}

// Under a window manager the panel's whole frame, title bar and borders included, sits in the
// screen's bottom-right corner, and the close box still asks before the program ends.
TEST(E2E, FramedPanelSitsInTheCorner) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) GTEST_SKIP() << "openbox is not installed";

    Desktop desk;
    ASSERT_TRUE(desk.start());
    ASSERT_TRUE(desk.startWindowManager());
    const QTemporaryDir settings;
    Ferio ferio(desk, settings.filePath(QStringLiteral("ferio.in4")));
    ASSERT_TRUE(ferio.started());
    const QString panelId = desk.window(QStringLiteral("集中操作盤"));
    ASSERT_FALSE(panelId.isEmpty()) << ferio.report();
    // The window manager frames the panel some time after it is shown, and the program then
    // places it: both are waited for.
    QRect frame;
    ASSERT_TRUE(Desktop::waitUntil([&] {
        frame = desk.frameRect(panelId);
        return frame.height() > desk.clientRect(panelId).height() && frame.right() == ScreenW - 1 &&
               frame.bottom() == ScreenH - 1;
    })) << "waited for the panel with its title bar in the bottom-right corner; at "
        << text(frame);
    const QString boardId = desk.window(QStringLiteral("Ferio - 型番:ferio"));
    QRect board;
    EXPECT_TRUE(Desktop::waitUntil([&] { return (board = desk.clientRect(boardId)) == QRect(0, 0, 643, 240); }))
        << "waited for the board, 643x240, at the top-left corner; at " << text(board);

    // ">>" in the corner: the wider window steps left to stay on the screen; "<<" puts it back.
    const QPoint toggle = desk.clientRect(panelId).topLeft() + panel::geometry::PreviewToggle.center();
    desk.click(toggle.x(), toggle.y());
    QRect open;
    EXPECT_TRUE(Desktop::waitUntil([&] {
        open = desk.frameRect(panelId);
        return open.width() > frame.width() && open.right() == ScreenW - 1;
    })) << "waited for the wider panel at the screen's right edge; at "
        << text(open);
    const QPoint back = desk.clientRect(panelId).topLeft() + panel::geometry::PreviewToggle.center();
    desk.click(back.x(), back.y());
    QRect closed;
    EXPECT_TRUE(Desktop::waitUntil([&] { return (closed = desk.frameRect(panelId)) == frame; }))
        << "waited for the panel back at " << text(frame) << "; at " << text(closed);
    EXPECT_TRUE(ferio.quit(panelId));
}

// The panel goes on the screen once, in the place where it stays: the corner on a first start,
// the saved place after. It stays over the board, magnified to lie under it, when the board
// is clicked.
TEST(E2E, PanelAppearsInItsPlaceAndStaysOverTheBoard) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) GTEST_SKIP() << "openbox is not installed";
    Desktop desk;
    ASSERT_TRUE(desk.start());
    ASSERT_TRUE(desk.startWindowManager());
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ferio.in4"));
    for (const bool saved : {false, true}) {
        if (saved) {
            auto record = std::get<SettingsRecord>(settings::loadFile(file));
            record.Ctrl.PanelLeft = 200 * 15;
            record.Ctrl.PanelTop = 150 * 15;
            ASSERT_FALSE(settings::saveFile(file, record));
        }
        PlacementWatch watch(desk.display().toLatin1().constData());
        ASSERT_TRUE(watch.watching());
        Ferio ferio(desk, file, desk.environment(), {QStringLiteral("--scale"), QStringLiteral("3")});
        ASSERT_TRUE(ferio.started());
        const std::vector<ScreenPoint> places = watch.places("集中操作盤", 20000, 1500);
        ASSERT_FALSE(places.empty()) << "the panel was not seen mapped; " << ferio.report();
        const QString panelId = desk.window(QStringLiteral("集中操作盤"));
        const QString boardId = desk.window(QStringLiteral("Ferio - 型番:ferio"));
        const QRect client = desk.clientRect(panelId), frame = desk.frameRect(panelId);
        for (const ScreenPoint& p : places)
            EXPECT_EQ(std::pair(p.x, p.y), std::pair(client.x(), client.y()))
                << "the panel seen elsewhere, saved " << saved;
        if (saved)
            EXPECT_EQ(frame.topLeft(), QPoint(200, 150));
        else
            EXPECT_EQ(std::pair(frame.right(), frame.bottom()), std::pair(ScreenW - 1, ScreenH - 1));

        EXPECT_TRUE(frame.intersects(desk.clientRect(boardId))) << "the board at 3x lies under the panel";
        // The board's face, clear of the panel. The middle button: the left one would start a
        // move of the board, which a click too quick for the window manager leaves hanging.
        desk.click(30, 600, 2);
        const QStringList stack = desk.stacking();
        EXPECT_GE(stack.indexOf(boardId), 0);
        EXPECT_GT(stack.indexOf(panelId), stack.indexOf(boardId)) << "the panel over the board, saved " << saved;
        // Magnified four times from its menu, the board still stays under the panel.
        desk.click(30, 600, 3);
        desk.keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                   QStringLiteral("Return")});
        desk.click(30, 600, 2);
        EXPECT_EQ(desk.clientRect(boardId).width(), 643 * 4);
        EXPECT_GT(desk.stacking().indexOf(panelId), desk.stacking().indexOf(boardId)) << "at 4x, saved " << saved;
        EXPECT_TRUE(ferio.quit(panelId));
    }
}

namespace {

// A settings file read by the layout it is documented to have, independently of the program:
// texts are a 16-bit count and their bytes, numbers little-endian.
class SettingsReader {
public:
    explicit SettingsReader(QByteArray bytes) : bytes_(std::move(bytes)) {}
    int i16() { return static_cast<int16_t>(u8() | (u8() << 8)); }
    int32_t i32() {
        return static_cast<int32_t>(u8() | (u8() << 8) | (u8() << 16) | (static_cast<uint32_t>(u8()) << 24));
    }
    QByteArray text() {
        const int n = static_cast<uint16_t>(i16());
        const QByteArray t = bytes_.mid(at_, n);
        at_ += n;
        return t;
    }
    void skip(int n) { at_ += n; }
    int at() const { return at_; }

private:
    uint32_t u8() { return static_cast<uint8_t>(bytes_.at(at_++)); }
    QByteArray bytes_;
    int at_ = 0;
};

// Where the controls this test uses sit in the options dialog as laid out with the IPA fonts,
// from the dialog's top-left corner.
constexpr QPoint DigitPageButton{52, 162}; // "デジタル部品と情報用数字"
constexpr QPoint RouteInfoCheck{131, 273}; // "系統番号を、" (the cell list follows it)
constexpr QPoint LitColourButton{515, 83}; // "発光時の文字色："
constexpr QPoint DialogOk{648, 383};

} // namespace

// The operator shows the route number in cell 32 and lights the fare digits green; both reach
// the board at "OK", are written at exit and are there again at the next start.
TEST(E2E, OptionsSurviveARestart) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    Desktop desk;
    ASSERT_TRUE(desk.start());
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ferio.in4"));
    namespace geo = panel::geometry;

    // The board once route 12 stands at its first stop: a fare in cell 1 and none in cell 2,
    // which the lamp test lights.
    auto setRoute12 = [&](const Geometry& panel, const char* shotName) {
        auto clickAt = [&](QPoint p) { desk.click(panel.x + p.x(), panel.y + p.y()); };
        clickAt(geo::EntryFrame.topLeft() + geo::keyRect(1).center());
        clickAt(geo::EntryFrame.topLeft() + geo::keyRect(2).center());
        clickAt(geo::EntryFrame.topLeft() + geo::EntryReset.center());
        QImage shot;
        EXPECT_TRUE(waitForScreen(desk, shotName, shot, [](const QImage& s) {
            return greenPixels(s, fareCell(1)) > 50 && greenPixels(s, fareCell(2)) == 0;
        })) << "waited for route 12's first fare in green in cell 1 alone";
        return shot;
    };
    {
        Ferio ferio(desk, file);
        ASSERT_TRUE(ferio.started());
        const QString panelId = desk.window(QStringLiteral("集中操作盤"));
        ASSERT_FALSE(panelId.isEmpty()) << ferio.report();
        Geometry panel;
        ASSERT_TRUE(panelInTheCorner(desk, panelId, panel))
            << "waited for the panel in the bottom-right corner; at " << text(panel);
        EXPECT_FALSE(QFile::exists(file)) << "nothing is written before the exit";

        desk.click(panel.x + geo::OptionsButton.center().x(), panel.y + geo::OptionsButton.center().y());
        const QString dialogId = desk.window(QStringLiteral("オプション"));
        ASSERT_FALSE(dialogId.isEmpty());
        // Keys go to the window that has the keyboard, which a new window gets some time after it shows.
        ASSERT_TRUE(desk.focus(dialogId));
        const Geometry dialog = desk.geometry(dialogId);
        auto clickIn = [&](QPoint p) { desk.click(dialog.x + p.x(), dialog.y + p.y()); };
        clickIn(DigitPageButton);
        clickIn(RouteInfoCheck);
        desk.keys({QStringLiteral("Tab"), QStringLiteral("End")}); // its cell list: the last cell, 32
        clickIn(LitColourButton);
        const QString colourId = desk.window(QStringLiteral("色を選択"));
        ASSERT_FALSE(colourId.isEmpty());
        ASSERT_TRUE(desk.focus(colourId));
        desk.keys({QStringLiteral("alt+h"), QStringLiteral("ctrl+a")});
        desk.type(QStringLiteral("#00ff00"));
        desk.keys({QStringLiteral("Return")});
        // A click on the options dialog while the colour dialog stands would be refused.
        ASSERT_TRUE(desk.closed(QStringLiteral("色を選択"))) << "waited for the colour dialog to close";
        clickIn(DialogOk);
        ASSERT_TRUE(desk.closed(QStringLiteral("オプション"))) << "waited for the options dialog to close";

        const QImage shot = setRoute12(panel, "e2e-options.png");
        EXPECT_GT(greenPixels(shot, fareCell(32)), 50) << "the route number in cell 32";
        EXPECT_TRUE(ferio.quit(panelId));
    }

    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    // Every text is empty but the fixed date, "yyyy/mm/dd".
    EXPECT_EQ(bytes.size(), 442 + 10);
    SettingsReader in(bytes);
    EXPECT_TRUE(in.text().isEmpty() && in.text().isEmpty()); // the two data folders
    EXPECT_EQ(in.i16(), 1);                                  // ticket numbers shown
    in.skip(4 * 3 + 2 * 10);
    for (int i = 0; i < 3; ++i) in.text(); // the panel pictures
    in.skip(4 * 2);
    EXPECT_EQ(in.i32(), 0x00FF00) << "lit fare digits, 0x00BBGGRR";
    in.skip(4 * 3 + 2 * 5);
    EXPECT_EQ(in.i16(), 1) << "route number shown";
    EXPECT_EQ(in.i16(), 31) << "in cell 32";
    in.skip(2 * 3 + 4 * 2 + 2 * 2);
    for (int i = 0; i < 2; ++i) in.text();
    in.skip(2 * 4);
    in.text();
    in.skip(2);
    for (int i = 0; i < 3; ++i) in.text();
    in.skip(2 * 4);
    for (int i = 0; i < 4; ++i) in.text();
    in.skip(2);
    in.text();
    in.skip(2 * 3);
    EXPECT_EQ(in.text().size(), 10) << "the fixed date";
    in.skip(22 + 8 + 68);
    EXPECT_EQ(in.i16(), 32) << "the cell count";
    EXPECT_EQ(in.at() + 32 * 6, bytes.size());

    Ferio again(desk, file);
    ASSERT_TRUE(again.started());
    const QString panelId = desk.window(QStringLiteral("集中操作盤"));
    ASSERT_FALSE(panelId.isEmpty()) << again.report();
    Geometry panel;
    ASSERT_TRUE(panelInTheCorner(desk, panelId, panel))
        << "waited for the panel in the bottom-right corner; at " << text(panel);
    const QImage shot = setRoute12(panel, "e2e-restored.png");
    EXPECT_GT(greenPixels(shot, fareCell(32)), 50);
    EXPECT_TRUE(again.quit(panelId));
}

namespace {

// What the mixer wrote through SDL's disk driver: 44.1 kHz stereo, signed 16-bit; from a byte
// offset on, when only the end of a recording still being written matters.
struct Recording {
    static constexpr size_t Window = 44100 / 20 * 2; // 50 ms

    explicit Recording(const QString& file, qint64 from = 0) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly) || !f.seek(from)) return;
        const QByteArray bytes = f.readAll();
        samples.resize(size_t(bytes.size()) / 2);
        std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    }
    // The sum of squares of the 50 ms window at `at`, or nullopt when it is quieter than -50 dBFS.
    std::optional<double> sounding(size_t at) const {
        double w = 0;
        for (size_t i = at; i < at + Window; ++i) w += double(samples[i]) * samples[i];
        if (w / Window < std::pow(32768 * std::pow(10, -50 / 20.0), 2)) return std::nullopt;
        return w;
    }
    // Something sounded, and the last `quietMs` have been quiet: an announcement has played out.
    bool soundedThenQuiet(int quietMs) const {
        bool sounded = false;
        size_t quiet = 0;
        for (size_t at = 0; at + Window <= samples.size(); at += Window) {
            const bool loud = sounding(at).has_value();
            sounded = sounded || loud;
            quiet = loud ? 0 : quiet + 1;
        }
        return sounded && quiet * 50 >= size_t(quietMs);
    }
    double peakDbfs() const {
        int peak = 0;
        for (int16_t v : samples) peak = std::max(peak, std::abs(int(v)));
        return 20 * std::log10(std::max(peak, 1) / 32768.0);
    }
    // RMS over the 50 ms windows that sound (louder than -50 dBFS), so pauses do not count.
    double soundingRmsDbfs() const {
        double sum = 0;
        size_t n = 0;
        for (size_t at = 0; at + Window <= samples.size(); at += Window) {
            const auto w = sounding(at);
            if (!w) continue;
            sum += *w;
            n += Window;
        }
        return n ? 10 * std::log10(sum / n / (32768.0 * 32768.0)) : -200;
    }
    std::vector<int16_t> samples;
};

} // namespace

// The demonstration as its user hears it, recorded through SDL's disk driver: route 12, reset,
// five broadcast steps. Beside the whole mix, the same steps play once with a silent voice (the
// chimes alone) and once without chimes (the voice alone) on desktops of their own.
TEST(E2E, DemonstrationMixNeverClipsAndItsChimesMatchTheVoice) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(QFile::exists(QStringLiteral(FERIO_SAMPLES_DIR "/12tp.csv"))) << "the announcements of route 12";
    enum Mix { Whole, ChimesAlone, VoiceAlone };
    struct Run {
        Desktop desk;
        QTemporaryDir dir;
        std::unique_ptr<Ferio> ferio;
        QString panelId;
        Geometry panel;
        QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    };
    std::array<Run, 3> runs;
    for (int mix = Whole; mix <= VoiceAlone; ++mix) {
        Run& run = runs[size_t(mix)];
        ASSERT_TRUE(run.desk.start());
        const QString settings = run.file("ferio.in4");
        ASSERT_EQ(QProcess::execute(QStringLiteral(FERIO_BIN_DIR "/ferio-demo-settings"),
                                    {settings, QStringLiteral(FERIO_SAMPLES_DIR)}),
                  0);
        if (mix == ChimesAlone) {
            QFile voice(run.file("ferio.voice"));
            ASSERT_TRUE(voice.open(QIODevice::WriteOnly));
            voice.write("[General]\nvolume=0\n");
        }
        if (mix == VoiceAlone) {
            auto record = std::get<SettingsRecord>(settings::loadFile(settings));
            OptionInfo& o = record.Options;
            for (std::string* chime :
                 {&o.SoundKeitoSet, &o.SoundReset, &o.StepSoundFile1, &o.StepSoundFile2, &o.StepSoundFile3,
                  &o.PreTapeSoundFile1, &o.PreTapeSoundFile2, &o.PreTapeSoundFile3})
                chime->clear();
            ASSERT_FALSE(settings::saveFile(settings, record));
        }
        QProcessEnvironment env = run.desk.environment();
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("disk"));
        env.insert(QStringLiteral("SDL_DISKAUDIOFILE"), run.file("mix.raw"));
        run.ferio = std::make_unique<Ferio>(run.desk, settings, env);
        ASSERT_TRUE(run.ferio->started());
        run.panelId = run.desk.window(QStringLiteral("集中操作盤"));
        ASSERT_FALSE(run.panelId.isEmpty()) << run.ferio->report();
    }
    for (Run& run : runs)
        ASSERT_TRUE(panelInTheCorner(run.desk, run.panelId, run.panel))
            << "waited for the panel in the bottom-right corner; at " << text(run.panel);
    namespace geo = panel::geometry;
    auto pressEverywhere = [&](QPoint p) {
        for (Run& run : runs) run.desk.click(run.panel.x + p.x(), run.panel.y + p.y());
    };
    pressEverywhere(geo::EntryFrame.topLeft() + geo::keyRect(1).center());
    pressEverywhere(geo::EntryFrame.topLeft() + geo::keyRect(2).center());
    pressEverywhere(geo::EntryFrame.topLeft() + geo::EntryReset.center());
    for (Run& run : runs) {
        QImage shot;
        ASSERT_TRUE(waitForScreen(run.desk, "e2e-demo-stop1.png", shot, [](const QImage& s) {
            return litPixels(s, fareCell(1)) > 50 && litPixels(s, fareCell(32)) == 0;
        })) << "waited for the first stop's fare after the lamp test";
    }
    // Each press waits for its announcement to play out where there is one to hear: the next
    // would cut it short, and a chime over a voice could clip.
    constexpr int QuietAfterMs = 2500; // longer than any pause inside an announcement
    for (int step = 1; step <= 5; ++step) {
        std::array<qint64, 3> from{};
        for (size_t i = 0; i < runs.size(); ++i) from[i] = QFileInfo(runs[i].file("mix.raw")).size() & ~qint64(3);
        pressEverywhere(geo::TapeGroup.topLeft() + geo::TapeNext.center());
        for (int mix : {Whole, VoiceAlone})
            ASSERT_TRUE(Desktop::waitUntil([&] {
                return Recording(runs[size_t(mix)].file("mix.raw"), from[size_t(mix)]).soundedThenQuiet(QuietAfterMs);
            })) << "waited for announcement "
                << step << (mix == Whole ? " of the whole mix" : " of the voice alone") << " to sound and end";
    }
    for (Run& run : runs) EXPECT_TRUE(run.ferio->quit(run.panelId));

    const Recording whole(runs[Whole].file("mix.raw")), chimes(runs[ChimesAlone].file("mix.raw")),
        voice(runs[VoiceAlone].file("mix.raw"));
    std::printf("whole mix: %.1f s, peak %.2f dBFS; sounding RMS: chimes %.1f dBFS, voice %.1f dBFS\n",
                double(whole.samples.size()) / 2 / 44100, whole.peakDbfs(), chimes.soundingRmsDbfs(),
                voice.soundingRmsDbfs());
    EXPECT_GT(whole.samples.size(), size_t(44100 * 2 * 30)) << "the mix was written as it played";
    EXPECT_LT(whole.peakDbfs(), -1.0);
    EXPECT_GT(whole.peakDbfs(), -12.0) << "the demonstration was heard";
    EXPECT_NEAR(chimes.soundingRmsDbfs(), voice.soundingRmsDbfs(), 2.0);
}

TEST(Program, AnswersVersionAndHelpAsACommandLineProgram) {
    QProcess p;
    auto run = [&p](const QStringList& arguments, int status = 0) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name)); // a terminal without a window system
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(FERIO_BIN_DIR "/ferio"), arguments);
        EXPECT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "no abort";
        EXPECT_EQ(p.exitCode(), status);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    EXPECT_TRUE(run({QStringLiteral("--version")}).contains(QStringLiteral("4.0.0")));
    const QString help = run({QStringLiteral("--help")});
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: ferio")) && help.contains(QStringLiteral("--settings <FILE>")) &&
                help.contains(QStringLiteral("--scale <N>")))
        << help.toStdString();
    // The windows themselves need a graphical session: without one, a message and status 1.
    run({}, 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("no graphical session")));
    run({QStringLiteral("--scale"), QStringLiteral("5")}, 2);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("--scale")));
}
