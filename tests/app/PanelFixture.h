#pragma once
// The program as it is wired, after start-up, over a temporary fare-data folder, with the
// sounds and the message boxes recorded instead of played and shown.
#include "PanelKeys.h"
#include "app/Ferio.h"
#include "fare/Hy3File.h"
#include "reslib/ui/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

struct PlayedSound {
    std::string file, alias;
    bool wait;
    bool operator==(const PlayedSound&) const = default;
};

struct RecordingDevices : fare::Sound, fare::EventLoop, fare::Clock {
    std::vector<PlayedSound> sounds;
    std::vector<std::string> released; // what the exit closed
    void playSound(const std::string& file, const std::string& alias, bool wait) override {
        sounds.push_back({file, alias, wait});
    }
    void closeAllSounds() override { released.push_back("sounds"); }
    void processEvents() override { QCoreApplication::processEvents(); }
    fare::LocalTime now() override { return {2024, 3, 7, 10, 0, 0}; }
};

struct PanelTest : ::testing::Test {
    QTemporaryDir dir;
    RecordingDevices services;
    Ferio ferio{{services, services, services, nullptr, {}}, dir.filePath(QStringLiteral("ferio.in4"))};
    Form1& board = ferio.board();
    frmCtl& panel = ferio.panel();
    std::vector<msg::Request> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    PanelTest() {
        changeOptions([this](OptionInfo& o) {
            o.FareDataDir = dir.path().toStdString();
            o.SoundReset = "key.wav";
        });
        board.setLampTestMs(0);
        msg::setHandler([this](const msg::Request& r) {
            messages.push_back(r);
            return answer;
        });
        ferio.start();
    }
    ~PanelTest() override { msg::setHandler({}); }

    // Options change as the settings file changes them: through the options dialog's controls.
    template <class F>
    void changeOptions(F&& change) {
        OptionInfo o = ferio.dialog().GetOptionInfo();
        change(o);
        ferio.dialog().SetOptionInfo(o);
    }

    // Route `number` of `count` stops: stop r charges 100 r in cell 1 and 10 r in cell 2,
    // with the ticket number r above cell 1.
    void writeRoute(int number, int count) {
        std::vector<fare::FareRecord> records(static_cast<size_t>(count));
        for (int r = 1; r <= count; ++r) {
            auto& rec = records[static_cast<size_t>(r - 1)];
            rec.StopName = "停留所" + std::to_string(r);
            rec.TicketNumber = static_cast<int16_t>(r);
            rec.column(1) = static_cast<int16_t>(100 * r);
            rec.column(2) = static_cast<int16_t>(10 * r);
            rec.column(81) = static_cast<int16_t>(r);
        }
        std::string error;
        auto bytes = fare::hy3::write(records, &error);
        ASSERT_TRUE(bytes) << error;
        std::ofstream(QDir(dir.path()).filePath(QString::number(number) + ".hy3").toStdString(), std::ios::binary)
            << *bytes;
    }

    template <class W = QPushButton>
    W* find(const char* name) {
        return findControl<W>(panel, name);
    }
    void click(const char* name) { clickControl(panel, name); }
    void type(const QString& digits) { typeDigits(panel, digits); }
};
