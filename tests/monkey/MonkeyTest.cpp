// A monkey on the real program: random clicks, double-clicks, drags and keys, sent through a real
// X server and window manager to the board, the panel and every dialog that opens, seeded so that
// a failure can be replayed. The program runs in this process, so that between operations its
// state can be checked: the stop name and the fares belong to one record, the current stop lies
// in the table, the program answers within 5 s, and its memory stays bounded.
//
// FERIO_MONKEY_OPERATIONS (1000) and FERIO_MONKEY_SEED (1) choose the run; scripts/monkey.sh
// sets them.
#include "BoardParts.h"
#include "XDesktop.h"
#include "app/DesktopDevices.h"
#include "app/Ferio.h"
#include "board/Form1.h"
#include "controls/M_Degit.h"
#include "reslib/ui/Messages.h"
#include "sound/AudioDevice.h"
#include "sound/JapaneseSpeech.h"
#include "sound/MixerCommands.h"
#include "sound/mdlSndAPI.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <unistd.h>

namespace {

long residentMb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

int fromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

// What the board shows of a record: the stop name and the small numbers. (The fares follow the
// late-night switch at the next draw, so a redraw may change them by design.)
std::pair<std::string, std::vector<DegitValue>> boardShows(const Form1& board) {
    std::vector<DegitValue> values;
    for (int i = 1; i <= 32; ++i) values.push_back(S_Degit(board, i)->Value());
    return {board.shownChimei(), values};
}

class Monkey {
public:
    Monkey(Ferio& ferio, unsigned seed) : ferio_(ferio), random_(seed) {}

    struct Tally {
        int operations = 0, checks = 0, sameRecordChecks = 0, inDialogs = 0, exitQuestions = 0;
        qint64 longestPauseMs = 0;
        long residentAtStartMb = 0, residentPeakMb = 0, residentAtEndMb = 0;
        std::vector<std::string> faults;
    };

    Tally run(int operations) {
        tally_.residentAtStartMb = tally_.residentPeakMb = residentMb();
        QEventLoop done;
        QTimer tick;
        // A timer, not a loop: a dialog's own event loop keeps the operations going inside it.
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (inside_) return;
            inside_ = true;
            check();
            if (tally_.operations < operations) {
                ++tally_.operations;
                operate();
            } else if (QWidget* open = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                                         : QApplication::activeModalWidget()) {
                open->close(); // the outer loop ends only once the dialogs' own loops have
            } else {
                done.quit();
            }
            inside_ = false;
        });
        sinceLast_.start();
        tick.start(20);
        done.exec();
        tally_.residentAtEndMb = residentMb();
        return tally_;
    }

    void exitQuestionAnswered() { ++tally_.exitQuestions; }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void xdotool(const QStringList& args) {
        if (qEnvironmentVariableIsSet("FERIO_MONKEY_TRACE"))
            std::fprintf(stderr, "%d: xdotool %s\n", tally_.operations, qPrintable(args.join(' ')));
        QProcess::execute(QStringLiteral("xdotool"), args);
    }

    QPoint somewhereIn(const QWidget* w) {
        return w->mapToGlobal(QPoint(pick(std::max(1, w->width())), pick(std::max(1, w->height()))));
    }

    void operate() {
        QWidget* target = QApplication::activePopupWidget();
        if (!target) target = QApplication::activeModalWidget();
        if (qobject_cast<QFileDialog*>(target)) { // never let random input loose on the user's files
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
            return;
        }
        if (target) ++tally_.inDialogs;
        if (!target && tally_.operations % 100 == 1 && setRoute()) return;
        if (!target) target = pick(3) ? static_cast<QWidget*>(&ferio_.panel()) : &ferio_.board();
        const QPoint at = somewhereIn(target);
        if (qEnvironmentVariableIsSet("FERIO_MONKEY_TRACE"))
            if (const QWidget* under = QApplication::widgetAt(at))
                std::fprintf(stderr, "   under: %s %s\n", under->metaObject()->className(),
                             qPrintable(under->objectName()));
        const QString x = QString::number(at.x()), y = QString::number(at.y());
        // alt+F4 is the window manager's close: the exit question.
        static const QStringList keys = {"0",      "1",         "2",      "5",    "7",     "Return",
                                         "Escape", "Tab",       "space",  "Left", "Right", "Up",
                                         "Down",   "BackSpace", "Delete", "F1",   "alt+F4"};
        switch (pick(10)) {
        case 0:
            xdotool({QStringLiteral("mousemove"), x, y, QStringLiteral("click"), QStringLiteral("--repeat"),
                     QStringLiteral("2"), QStringLiteral("1")});
            break;
        case 1: {
            const QPoint to = somewhereIn(target);
            xdotool({QStringLiteral("mousemove"), x, y, QStringLiteral("mousedown"), QStringLiteral("1"),
                     QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y()),
                     QStringLiteral("mouseup"), QStringLiteral("1")});
            break;
        }
        case 2:
        case 3:
        case 4: xdotool({QStringLiteral("key"), keys[pick(int(keys.size()))]}); break;
        default: xdotool({QStringLiteral("mousemove"), x, y, QStringLiteral("click"), QStringLiteral("1")});
        }
    }

    // Now and then the operator keys in a route and resets, as the monkey alone seldom does.
    bool setRoute() {
        static const char* const routes[] = {"12", "7", "105"};
        QStringList clicks;
        for (const QChar digit : QString::fromLatin1(routes[pick(3)]))
            clicks << QStringLiteral("CommandButton1_%1").arg(digit);
        clicks << QStringLiteral("Command1_0") << QStringLiteral("Command1_1");
        bool pressed = false;
        for (const QString& name : clicks) {
            const auto* key = ferio_.panel().findChild<QWidget*>(name);
            if (!key || !key->isVisible()) continue;
            const QPoint at = key->mapToGlobal(key->rect().center());
            xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                     QStringLiteral("click"), QStringLiteral("1")});
            pressed = true;
        }
        return pressed;
    }

    void fault(const std::string& what) {
        if (tally_.faults.size() < 20)
            tally_.faults.push_back("operation " + std::to_string(tally_.operations) + ": " + what);
    }

    void check() {
        ++tally_.checks;
        const qint64 pause = sinceLast_.restart();
        tally_.longestPauseMs = std::max(tally_.longestPauseMs, pause);
        if (pause > 5000) fault("no answer for " + std::to_string(pause) + " ms");
        if (pause > 1000 && qEnvironmentVariableIsSet("FERIO_MONKEY_TRACE"))
            std::fprintf(stderr, "   pause %lld ms\n", static_cast<long long>(pause));
        tally_.residentPeakMb = std::max(tally_.residentPeakMb, residentMb());

        fare::FareEngine& engine = ferio_.engine();
        const fare::RouteState& state = engine.state();
        if (state.StopCount > 0 && (state.CurrentStop < 0 || state.CurrentStop >= state.StopCount))
            fault("current stop " + std::to_string(state.CurrentStop) + " of " + std::to_string(state.StopCount));

        // Drawing lets waiting input through, which may open a dialog with its own loop. Qt never
        // fires a timer again inside its own slot, so the redraw runs from a timer of its own,
        // leaving the monkey's free to go on inside that dialog.
        if (tally_.operations >= nextRedraw_ && !redrawPending_) {
            redrawPending_ = true;
            QTimer::singleShot(0, [this] {
                redrawPending_ = false;
                compareRedraw();
            });
        }
    }

    // Drawing the current record again changes nothing when the board already shows it; the
    // comparison holds only when no operation was done meanwhile. It is made every ten operations
    // or, while a dialog is open, as soon as there is none.
    void compareRedraw() {
        fare::FareEngine& engine = ferio_.engine();
        const fare::RouteState& state = engine.state();
        const auto* clear = ferio_.panel().findChild<QAbstractButton*>(QStringLiteral("Check1"));
        if (state.StopCount == 0 || engine.busy() || QApplication::activeModalWidget() ||
            QApplication::activePopupWidget() || (clear && clear->isChecked()))
            return;
        const auto before = boardShows(ferio_.board());
        const int stop = state.CurrentStop + 1, operationsBefore = tally_.operations;
        engine.dispData(stop);
        if (tally_.operations != operationsBefore) return;
        nextRedraw_ = tally_.operations + 10;
        ++tally_.sameRecordChecks;
        if (boardShows(ferio_.board()) != before)
            fault("the board showed another record than stop " + std::to_string(stop));
    }

    Ferio& ferio_;
    std::mt19937 random_;
    Tally tally_;
    QElapsedTimer sinceLast_;
    bool inside_ = false, redrawPending_ = false;
    int nextRedraw_ = 0;
};

} // namespace

TEST(Monkey, TheProgramSurvivesRandomInputAndKeepsItsStateWhole) {
    const int operations = fromEnvironment("FERIO_MONKEY_OPERATIONS", 1000);
    const unsigned seed = unsigned(fromEnvironment("FERIO_MONKEY_SEED", 1));

    // The demonstration in a scratch folder: whatever the monkey saves or picks stays there.
    QTemporaryDir folder;
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"),
                                {QStringLiteral("-r"), QStringLiteral(FERIO_SAMPLES_DIR "/."), folder.path()}),
              0);
    const QString settingsFile = folder.filePath(QStringLiteral("ferio.in4"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(FERIO_BIN_DIR "/ferio-demo-settings"), {settingsFile, folder.path()}),
              0);
    QDir::setCurrent(folder.path());

    audio::open();
    const auto closeAudio = qScopeGuard(audio::close); // after everything that plays
    MixerCommands mixer;
    SoundChannels sound(mixer, "ferio");
    QtEventLoop events;
    fare::Clock& clock = fare::systemClock();
    const auto voice = JapaneseSpeech::create(VoiceSettings{});
    Ferio ferio(FerioDevices{sound, events, clock, voice.get(), {}}, settingsFile);
    Monkey monkey(ferio, seed);
    // Real message boxes, for the monkey to meet, except that the exit is never confirmed.
    msg::setHandler([&](const msg::Request& r) {
        if (r.text == QStringLiteral("Ferioを終了しますか？")) {
            monkey.exitQuestionAnswered();
            return QMessageBox::No;
        }
        return QMessageBox::StandardButton(msg::build(QApplication::activeWindow(), r)->exec());
    });
    ferio.start();
    const Monkey::Tally t = monkey.run(operations);
    msg::setHandler({});

    std::printf("seed %u: %d operations (%d in dialogs), %d checks (%d of the shown record), %d exit questions "
                "answered no, longest pause %lld ms, resident %ld MB at the start, %ld MB at most, %ld MB at the end\n",
                seed, t.operations, t.inDialogs, t.checks, t.sameRecordChecks, t.exitQuestions,
                static_cast<long long>(t.longestPauseMs), t.residentAtStartMb, t.residentPeakMb, t.residentAtEndMb);
    for (const std::string& f : t.faults) ADD_FAILURE() << f;
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FERIO_ADDRESS_SANITIZER
#endif
#endif
#ifndef FERIO_ADDRESS_SANITIZER // which holds on to freed memory for a while, to catch its use
    EXPECT_LT(t.residentPeakMb, t.residentAtStartMb + 150) << "memory grows";
#endif
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
        std::printf("Xvfb or openbox is not installed: the monkey does not run\n");
        return 0;
    }
    Desktop x;
    if (!x.start()) return 1;
    qputenv("DISPLAY", x.display().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (!x.startWindowManager()) return 1;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
