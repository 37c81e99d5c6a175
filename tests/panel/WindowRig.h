#pragma once

// A main panel over a scratch copy of the build's data files, with a window that records
// what the panel asks of it and closes the way the real one does (close query, then
// close). Events dispatched by the run loop run the test's scripted actions.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/MainPanel.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel::test {

// Waits for keys; a key's code goes to A.
inline const std::vector<std::string> idleMicrocode = {
    "start:  display on",       "idle:   key ready -> s3",
    "        if s3 = 1",        "          then go to getkey",
    "        go to idle",       "getkey: 0 -> c[w]",
    "        1 -> p",           "        load constant 15",
    "        load constant 15", "        c -> data address",
    "        data -> c",        "        c -> a[w]",
    "        go to idle",
};

class WindowRig : public SoundOutput, public EventDispatch, public PanelTimers, public PanelWindow {
  public:
    explicit WindowRig(const std::vector<std::string>& microcode = idleMicrocode) {
        for (const char* name : {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat"}) {
            std::filesystem::copy_file(std::filesystem::path(QUORVEL_DATA_DIR) / name,
                                       folder.path(name));
        }
        EXPECT_TRUE(saveScrambledList(folder.path("cal73.pfl"), microcode));
    }

    MainPanel& panel() {
        if (!panel_) {
            panel_ =
                std::make_unique<MainPanel>(folder.path(""), PanelServices{.messages = &messages,
                                                                           .sounds = this,
                                                                           .events = this,
                                                                           .timers = this,
                                                                           .window = this});
            panel_->session().pausesEnabled = false;
        }
        return *panel_;
    }

    // Start-up, then the power request it ends with, run until the calculator waits.
    bool start() {
        if (!panel().FormActivate()) return false;
        return settle();
    }
    // Runs the dispatcher (the timer fired) until the calculator waits for a key, or until
    // it has nothing to run with the power off.
    bool settle() {
        const CalculatorSession::RunOutcome outcome = panel().session().runUntilIdle(1'000'000);
        if (outcome == CalculatorSession::RunOutcome::idle) return true;
        return outcome == CalculatorSession::RunOutcome::stopped && !panel().powerIsOn();
    }

    // Actions run at the run loop's next event dispatches, one each. Run the dispatcher
    // itself (panel().ChgModeTimerTimer()) for a script: settle() stops at the first
    // dispatch that finds the calculator waiting.
    std::deque<std::function<void()>> script;

    ScratchFolder folder;
    RecordingMessages messages;
    std::vector<std::string> sounds;
    bool modeTimer = false;
    bool feedTimer = false;
    int dispatches = 0;
    int dispatchLimit = 20000;
    int closeCalls = 0;
    int listingRefreshes = 0;
    bool closed = false;
    int minimized = 0;
    std::vector<bool> dragCursor;
    WindowPosition position{100, 50};
    int clientWidth = 0;
    int clientHeight = 0;
    bool documentOpens = true;
    std::vector<std::string> openedDocuments;
    std::vector<std::string> helpPages;
    std::string clipboard;

    // SoundOutput
    void playSound(const std::string& name) override { sounds.push_back(name); }
    // EventDispatch
    void processPendingMessages() override {
        ++dispatches;
        if (script.empty()) {
            // a dispatcher run without an end in its script stops rather than hangs
            if (dispatches > dispatchLimit) {
                ADD_FAILURE() << "the processor ran on past " << dispatchLimit << " dispatches";
                panel().requestPower(false);
            }
            return;
        }
        auto action = std::move(script.front());
        script.pop_front();
        action();
    }
    void sleepMilliseconds(int) override {}
    // PanelTimers
    void setModeTimerEnabled(bool enabled) override { modeTimer = enabled; }
    void setFeedTimerEnabled(bool enabled) override { feedTimer = enabled; }
    bool feedTimerEnabled() const override { return feedTimer; }
    // PanelWindow
    void closeWindow() override {
        ++closeCalls;
        if (closed || !panel().FormCloseQuery()) return;
        panel().FormClose();
        closed = true;
    }
    void refreshListing() override { ++listingRefreshes; }
    void setClientSize(int width, int height) override {
        clientWidth = width;
        clientHeight = height;
    }
    void screenSize(int& width, int& height) const override {
        width = 1920;
        height = 1080;
    }
    WindowPosition windowPosition() const override { return position; }
    void moveWindow(WindowPosition to) override { position = to; }
    void minimizeWindow() override { ++minimized; }
    void showDragCursor(bool dragging) override { dragCursor.push_back(dragging); }
    bool openDocument(const std::string& path) override {
        openedDocuments.push_back(path);
        return documentOpens;
    }
    bool showHelpDocument(const std::string& path) override {
        helpPages.push_back(path);
        return documentOpens;
    }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    std::string clipboardText() const override { return clipboard; }
    // A place is on the screen when its corner is inside the 1920 x 1080 screen.
    bool placeOnScreen(WindowPosition at, int, int) const override {
        return at.left >= 0 && at.top >= 0 && at.left < 1920 && at.top < 1080;
    }

    // The stored files, as lines.
    std::vector<std::string> stored(const std::string& name) {
        std::vector<std::string> lines;
        loadScrambledList(folder.path(name), lines);
        return lines;
    }

  private:
    std::unique_ptr<MainPanel> panel_;
};

}  // namespace quorvel::test
