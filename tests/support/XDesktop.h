#pragma once
// A private X server (and, when asked, a real window manager) for tests that drive the real
// program with xdotool, as a user's mouse and keyboard would.
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QThread>

#include <cstdio>
#include <functional>

#include "XClose.h"

namespace {

constexpr int ScreenW = 1280, ScreenH = 800;
// How long anything a test waits for may take: the program's start on a loaded machine, a window
// manager's framing, a click's effect. Never a reason to fail a healthy run, only a stuck one.
constexpr int PatienceMs = 60000;

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

class Desktop {
public:
    // Xvfb picks a free display itself and reports it, so tests running side by side never meet.
    bool start() {
        // Nobody reads what the servers say: a full pipe would stop them in the middle of a run.
        xvfb_.setStandardErrorFile(qEnvironmentVariable("FERIO_XVFB_LOG", QProcess::nullDevice()));
        sayWhenItEnds(xvfb_, "Xvfb");
        xvfb_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("%1x%2x24").arg(ScreenW).arg(ScreenH), QStringLiteral("-nolisten"),
                     QStringLiteral("tcp"),
                     // no server reset between one program's exit and the next start
                     QStringLiteral("-noreset")});
        if (!xvfb_.waitForStarted(5000)) return false;
        QByteArray out;
        while (!out.contains('\n') && xvfb_.waitForReadyRead(10000)) out += xvfb_.readAllStandardOutput();
        bool ok = false;
        const int n = out.trimmed().toInt(&ok);
        if (!ok) return false;
        display_ = QStringLiteral(":%1").arg(n);
        return true;
    }
    // A real window manager, which frames the windows it maps (title bar and borders).
    bool startWindowManager() {
        wm_.setProcessEnvironment(environment());
        wm_.setStandardOutputFile(QProcess::nullDevice());
        wm_.setStandardErrorFile(qEnvironmentVariable("FERIO_WM_LOG", QProcess::nullDevice()));
        sayWhenItEnds(wm_, "openbox");
        wm_.start(QStringLiteral("openbox"), {});
        if (!wm_.waitForStarted(5000)) return false;
        return waitUntil([this] {
            return run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QStringLiteral("window id"));
        });
    }
    ~Desktop() {
        xvfb_.disconnect();
        wm_.disconnect();
        for (QProcess* p : {&wm_, &xvfb_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) p->kill();
            p->waitForFinished();
        }
    }
    QString display() const { return display_; }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("DISPLAY"), display_);
        return env;
    }
    QString run(const QString& program, const QStringList& args) const {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args);
        p.waitForFinished(PatienceMs);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // Asks `done` again and again until it says yes (true) or the patience runs out (false).
    static bool waitUntil(const std::function<bool()>& done, int ms = PatienceMs) {
        QElapsedTimer t;
        t.start();
        for (;;) {
            if (done()) return true;
            if (t.elapsed() > ms) return false;
            QThread::msleep(50);
        }
    }
    // The first shown window whose title matches, once there is one; empty when none came.
    QString window(const QString& title) const {
        QString id;
        waitUntil([&] {
            id = shownWindow(title);
            return !id.isEmpty();
        });
        return id;
    }
    // True once no shown window has this title.
    bool closed(const QString& title) const {
        return waitUntil([&] { return shownWindow(title).isEmpty(); });
    }
    // Gives the window the keyboard, as a click on it would, and returns once it has it.
    bool focus(const QString& id) const {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
        return p.waitForFinished(PatienceMs) && p.exitCode() == 0;
    }
    Geometry geometry(const QString& id) const {
        Geometry g;
        const QString out =
            run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
        for (const QString& line : out.split('\n')) {
            const QStringList kv = line.split('=');
            if (kv.size() != 2) continue;
            const int v = kv[1].toInt();
            if (kv[0] == "X") g.x = v;
            if (kv[0] == "Y") g.y = v;
            if (kv[0] == "WIDTH") g.w = v;
            if (kv[0] == "HEIGHT") g.h = v;
        }
        return g;
    }
    // The window's client area on the screen and the frame a window manager put round it.
    QRect clientRect(const QString& id) const {
        QRect r;
        for (const QString& line : run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id}).split('\n')) {
            const QString value = line.section(':', 1).trimmed();
            if (line.contains(QStringLiteral("Absolute upper-left X"))) r.moveLeft(value.toInt());
            if (line.contains(QStringLiteral("Absolute upper-left Y"))) r.moveTop(value.toInt());
            if (line.trimmed().startsWith(QStringLiteral("Width:"))) r.setWidth(value.toInt());
            if (line.trimmed().startsWith(QStringLiteral("Height:"))) r.setHeight(value.toInt());
        }
        return r;
    }
    QRect frameRect(const QString& id) const {
        const QStringList e =
            run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")})
                .section('=', 1)
                .split(',');
        if (e.size() != 4) return clientRect(id);
        return clientRect(id).adjusted(-e[0].toInt(), -e[2].toInt(), e[1].toInt(), e[3].toInt());
    }
    // The managed windows from the bottom of the stack to its top, as decimal ids.
    QStringList stacking() const {
        QStringList ids;
        const QString list =
            run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
        for (const QString& id : list.section('#', 1).split(',', Qt::SkipEmptyParts))
            ids << QString::number(id.trimmed().toULong(nullptr, 16));
        return ids;
    }
    void click(int x, int y, int button = 1) const {
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y),
                                        QStringLiteral("click"), QString::number(button)});
    }
    void keys(const QStringList& names) const {
        run(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + names);
    }
    void type(const QString& text) const { run(QStringLiteral("xdotool"), {QStringLiteral("type"), text}); }
    QImage screenshot(const QString& name) const {
        const QString file = QDir::current().filePath(name);
        run(QStringLiteral("import"),
            {QStringLiteral("-display"), display_, QStringLiteral("-window"), QStringLiteral("root"), file});
        return QImage(file);
    }
    bool requestClose(const QString& id) const {
        return sendCloseRequest(display_.toLatin1().constData(), id.toULong());
    }

private:
    QString shownWindow(const QString& title) const {
        return run(QStringLiteral("xdotool"),
                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title})
            .section('\n', 0, 0);
    }
    // A server that goes away in the middle of a test is the first thing to know of its failure.
    static void sayWhenItEnds(QProcess& p, const char* name) {
        QObject::connect(&p, &QProcess::finished, [name](int code, QProcess::ExitStatus status) {
            std::fprintf(stderr, "%s ended: %s %d\n", name, status == QProcess::CrashExit ? "signal" : "status", code);
        });
    }

    QString display_;
    QProcess xvfb_;
    QProcess wm_;
};

} // namespace
