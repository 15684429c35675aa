#pragma once
// Records every call the fare engine makes, in order, so tests can check what it did and when.
#include "fare/EngineViews.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct FakeHost : fare::BoardView, fare::PanelView, fare::Sound, fare::Broadcast, fare::EventLoop, fare::Clock {
    std::vector<std::string> log;
    std::map<fare::EntrySource, fare::RouteEntry> entries;
    bool late = false;
    int16_t company = -1;
    fare::LocalTime clock{2024, 3, 7, 9, 5, 30};
    std::map<int, std::string> fare, small; // what each display shows now, as text
    std::vector<std::string> messages;
    std::vector<fare::TicketArgs> tickets;
    std::string chimei;

    void setFare(int cell, int16_t v) override {
        fare[cell] = std::to_string(v);
        log.push_back("fare");
    }
    void setFareText(int cell, const std::string& t) override {
        fare[cell] = "'" + t + "'";
        log.push_back("fareText");
    }
    void setSmall(int cell, int16_t v) override {
        small[cell] = std::to_string(v);
        log.push_back("small");
    }
    void lampTest() override { log.push_back("lampTest"); }
    void zeroAll() override {
        for (int c = 1; c <= 32; ++c) {
            fare[c] = std::string(1, '0');
            small[c] = std::string(1, '0');
        }
        log.push_back("zeroAll");
    }
    void setChimei(const std::string& n) override {
        chimei = n;
        log.push_back("chimei:" + n);
    }
    void clearDisplays() override { log.push_back("clearDisplays"); }
    void restoreDisplays() override { log.push_back("restoreDisplays"); }

    fare::RouteEntry readEntry(fare::EntrySource source) override {
        log.push_back("readEntry:" + std::to_string(static_cast<int>(source)));
        return entries[source];
    }
    void enableDataControls() override { log.push_back("enable"); }
    bool lateNight() override { return late; }
    int16_t companyIndex() override { return company; }
    void clearPreview() override { log.push_back("clearPreview"); }
    void drawTicket(const fare::TicketArgs& a) override {
        tickets.push_back(a);
        log.push_back("drawTicket");
    }
    void showMessage(const std::string& t) override {
        messages.push_back(t);
        log.push_back("message");
    }

    void playSound(const std::string& f, const std::string& alias, bool wait) override {
        log.push_back("sound:" + alias + ":" + f + (wait ? ":wait" : ""));
    }
    void closeAllSounds() override { log.push_back("closeAllSounds"); }
    void tapeLoad(const std::string& dir, const std::string& n) override { log.push_back("tape:" + dir + n); }
    void tapeRelease() override { log.push_back("tapeRelease"); }
    void processEvents() override {
        log.push_back("events");
        if (onEvents) std::exchange(onEvents, {})(); // what the operator did meanwhile, once
    }
    fare::LocalTime now() override { return clock; }

    // Runs at the next point where the engine lets pending events through.
    std::function<void()> onEvents;
    fare::EngineDevices devices() { return {*this, *this, *this, *this}; }

    // The log without the per-cell drawing calls, which would drown the order of the steps.
    std::vector<std::string> steps() const {
        std::vector<std::string> out;
        for (const auto& s : log)
            if (s != "fare" && s != "small" && s != "fareText") out.push_back(s);
        return out;
    }
};
