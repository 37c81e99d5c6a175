#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "assembler/ScrambledFile.h"
#include "panel/HeadlessCalculator.h"
#include "panel/MainPanel.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Waits for a key; the display on. A key prints its code (C[2] C[1] 0) as digits; key "M"
// prints C = 123456 instead.
const std::vector<std::string> printingMicrocode = {
    "start:  display on",       "idle:   key ready -> s3",
    "        if s3 = 1",        "          then go to getkey",
    "        go to idle",       "getkey: 0 -> c[w]",
    "        1 -> p",           "        load constant 15",
    "        load constant 15", "        c -> data address",
    "        data -> c",        "wait:   printer ready -> s3",
    "        if s3 = 0",        "          then go to wait",
    "        print c digits",   "        go to idle",
};

const std::vector<std::string> digitsMicrocode = {
    "start:  display on",       "idle:   key ready -> s3",
    "        if s3 = 1",        "          then go to getkey",
    "        go to idle",       "getkey: 0 -> c[w]",
    "        1 -> p",           "        load constant 15",
    "        load constant 15", "        c -> data address",
    "        data -> c",        "        0 -> c[w]",
    "        5 -> p",           "        load constant 1",
    "        load constant 2",  "        load constant 3",
    "        load constant 4",  "        load constant 5",
    "        load constant 6",  "wait:   printer ready -> s3",
    "        if s3 = 0",        "          then go to wait",
    "        print c digits",   "        go to idle",
};

// A main panel over a data folder of the build's files and a microcode of the test's own,
// with services that record what the panel asks of the window.
class PanelRig : public MessageBoxes,
                 public SoundOutput,
                 public EventDispatch,
                 public PanelTimers,
                 public PanelWindow {
  public:
    explicit PanelRig(const std::vector<std::string>& microcode = printingMicrocode) {
        for (const char* name : {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat"}) {
            fs::copy_file(fs::path(QUORVEL_DATA_DIR) / name, folder.path(name));
        }
        EXPECT_TRUE(saveScrambledList(folder.path("cal73.pfl"), microcode));
    }

    MainPanel& panel() {
        if (!panel_) {
            PanelServices services;
            services.messages = this;
            services.sounds = this;
            services.events = this;
            services.timers = this;
            services.window = this;
            panel_ = std::make_unique<MainPanel>(folder.path(""), services);
            panel_->pausesEnabled = false;
        }
        return *panel_;
    }

    // Start-up and power-on, then runs until the calculator waits for a key.
    bool start() {
        if (!panel().FormActivate()) return false;
        panel().requestPower(true);
        const bool idle = panel().runUntilIdle(1'000'000) == MainPanel::RunOutcome::idle;
        sounds.clear();  // the power switch's click
        return idle;
    }
    bool pressKey(const std::string& legend) {
        panel().setKeyIndex(keyIndexForName(legend));
        panel().press();
        const auto outcome = panel().runUntilIdle(1'000'000);
        panel().release();
        return outcome == MainPanel::RunOutcome::idle;
    }
    void powerOff() {
        panel().requestPower(false);
        panel().ChgModeTimerTimer();
    }
    int feedUntilStopped(int limit = 1000) {
        int ticks = 0;
        while (feedTimer && ticks < limit) {
            panel().feedTimerTimer();
            ++ticks;
        }
        return ticks;
    }

    void showError(const std::string& text) override { errors.push_back(text); }
    void showInformation(const std::string& text) override { errors.push_back(text); }
    bool confirm(const std::string&) override { return true; }
    void playSound(const std::string& name) override { sounds.push_back(name); }
    void processPendingMessages() override {}
    void sleepMilliseconds(int) override {}
    void setModeTimerEnabled(bool) override {}
    void setFeedTimerEnabled(bool enabled) override { feedTimer = enabled; }
    bool feedTimerEnabled() const override { return feedTimer; }
    void closeWindow() override { closed = true; }
    void refreshListing() override { ++listingRefreshes; }

    test::ScratchFolder folder;
    std::vector<std::string> errors;
    std::vector<std::string> sounds;
    bool feedTimer = false;
    bool closed = false;
    int listingRefreshes = 0;

  private:
    std::unique_ptr<MainPanel> panel_;
};

std::string rollCounterText(const MainPanel& panel) {
    // The counter's pixels in the text colour, as a rough fingerprint of the digits shown.
    int lit = 0;
    for (int y = 0; y < rollCounterHeight; ++y) {
        for (int x = 0; x < rollCounterWidth; ++x) {
            const Rgb p = panel.rollCounterImage.pixel(x, y);
            lit += p == rollCounterColour || p == rollCounterFullColour;
        }
    }
    return std::to_string(lit);
}

TEST(PanelPrinting, APrintedLineReachesTheRollTheCounterAndTheTape) {
    PanelRig rig;
    ASSERT_TRUE(rig.start()) << (rig.errors.empty() ? "" : rig.errors[0]);
    const std::string emptyCounter = rollCounterText(rig.panel());
    ASSERT_TRUE(rig.pressKey("5"));
    ASSERT_EQ(rig.panel().roll.size(), 1);
    EXPECT_NE(rollCounterText(rig.panel()), emptyCounter);
    EXPECT_EQ(rig.sounds, std::vector<std::string>{"prn"});
    EXPECT_EQ(rig.listingRefreshes, 1) << "the listing follows when the printer goes idle";
    EXPECT_EQ(rig.panel().characterSet.lineCharacters(rig.panel().roll.rollLines()[0]),
              "      00000000000220");
    EXPECT_EQ(test::paperEdgeRow(rig.panel().printer.paperImage()), 150);
    EXPECT_TRUE(rig.panel().printer.printerAtRest());

    // Sounds off: the printer prints silently.
    rig.panel().soundsOn = false;
    ASSERT_TRUE(rig.pressKey("6"));
    EXPECT_EQ(rig.sounds.size(), 1u);
    EXPECT_EQ(rig.panel().roll.size(), 2);
}

TEST(PanelPrinting, TheHeadlessRunnerShowsTapeLinesAsCharacters) {
    test::ScratchFolder folder;
    for (const char* name : {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat"}) {
        fs::copy_file(fs::path(QUORVEL_DATA_DIR) / name, folder.path(name));
    }
    ASSERT_TRUE(saveScrambledList(folder.path("cal73.pfl"), digitsMicrocode));
    HeadlessCalculator calculator(folder.path(""));
    ASSERT_EQ(calculator.start(), HeadlessCalculator::Result::ok);
    ASSERT_EQ(calculator.pressKeys({"1"}), HeadlessCalculator::Result::ok);
    ASSERT_EQ(calculator.printedLines().size(), 1u);
    EXPECT_EQ(calculator.tapeText(calculator.printedLines()[0]), "      00000000123456");
    EXPECT_EQ(calculator.tapeText(blankRollLine), std::string(20, ' '));

    // The runner program itself, when the build has made it.
    const fs::path runner = fs::path(QUORVEL_DATA_DIR) / "quorvel-run";
    if (!fs::exists(runner)) GTEST_SKIP() << "quorvel-run is not built";
    const std::string command = runner.string() + " --data " + folder.path("") + " 1 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 4096> buffer{};
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        out.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_NE(out.find("\ntape \"      00000000123456\"\n"), std::string::npos) << out;
}

TEST(PanelFeed, TheButtonFeedsOneBlankLineWithTheDisplayDark) {
    PanelRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    const int countBefore = panel.display.redrawCount();
    panel.printFeedImageMouseDown();
    EXPECT_TRUE(rig.feedTimer);
    EXPECT_EQ(panel.printer.feedCountdown, feedTicksPerLine);
    EXPECT_FALSE(panel.machine.displayOn);
    EXPECT_EQ(panel.display.redrawCount(), countBefore + 1) << "redrawn at once";
    EXPECT_EQ(panel.display.image(), panel.display.maskImage);
    EXPECT_EQ(rig.sounds, std::vector<std::string>{"fed"});

    // A second click while the paper moves is ignored.
    panel.printFeedImageMouseDown();
    EXPECT_EQ(rig.sounds.size(), 1u);

    EXPECT_EQ(rig.feedUntilStopped(), 10);
    ASSERT_EQ(panel.roll.size(), 1);
    EXPECT_EQ(panel.roll.rollLines()[0], blankRollLine);
    EXPECT_EQ(rig.listingRefreshes, 1);
    EXPECT_TRUE(panel.machine.displayOn);
    EXPECT_FALSE(panel.machine.displayChanged) << "redrawn at the end of the feed";
    EXPECT_EQ(test::paperEdgeRow(panel.printer.paperImage()), 149);
    // A stray tick after the timer stopped changes nothing.
    panel.feedTimerTimer();
    EXPECT_EQ(panel.roll.size(), 1);
}

TEST(PanelFeed, AHeldKeyKeepsFeeding) {
    PanelRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    panel.printFeedImageMouseDown();
    panel.setKeyIndex(keyIndexForName("7"));
    panel.press();
    for (int i = 0; i < 30; ++i) panel.feedTimerTimer();
    EXPECT_TRUE(rig.feedTimer);
    EXPECT_EQ(panel.roll.size(), 3);
    EXPECT_EQ(rig.sounds, (std::vector<std::string>{"fed", "fed", "fed", "fed"}));
    panel.release();
    EXPECT_EQ(rig.feedUntilStopped(), 10);
    EXPECT_EQ(panel.roll.size(), 4);
    EXPECT_TRUE(panel.machine.displayOn);
}

TEST(PanelFeed, IgnoredWhilePrintingOrOffAndStoppedByPowerOff) {
    PanelRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    panel.printer.printerBusy = true;
    panel.printFeedImageMouseDown();
    EXPECT_FALSE(rig.feedTimer);
    panel.printer.printerBusy = false;

    panel.printFeedImageMouseDown();
    for (int i = 0; i < 5; ++i) panel.feedTimerTimer();
    rig.powerOff();
    EXPECT_FALSE(rig.feedTimer);
    EXPECT_EQ(panel.printer.feedCountdown, 0);
    EXPECT_EQ(panel.roll.size(), 0) << "the blank line being fed is not stored";
    EXPECT_FALSE(panel.machine.displayOn);

    rig.sounds.clear();
    panel.printFeedImageMouseDown();
    EXPECT_FALSE(rig.feedTimer);
    EXPECT_TRUE(rig.sounds.empty());
}

TEST(PanelRoll, StartUpRedrawsTheStoredRollAndCloseSavesIt) {
    PanelRig rig;
    ASSERT_TRUE(saveScrambledList(rig.folder.path(rollFileName),
                                  {"3~7~11~", blankRollLine, "not~a~line~"}));
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    EXPECT_EQ(panel.roll.size(), 3);
    EXPECT_EQ(panel.printer.paperTopRow, 112);
    EXPECT_EQ(test::paperEdgeRow(panel.printer.paperImage()), 112);
    ASSERT_TRUE(rig.pressKey("1"));
    EXPECT_EQ(test::paperEdgeRow(panel.printer.paperImage()), 112 - 19);
    ASSERT_TRUE(panel.saveRoll());
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(rig.folder.path(rollFileName), lines));
    EXPECT_EQ(lines, panel.roll.rollLines());
    EXPECT_EQ(lines.size(), 4u);
}

TEST(PanelRoll, ADamagedRollFileStartsEmpty) {
    PanelRig rig;
    rig.folder.write(rollFileName, "\x01\x02 not a roll");
    ASSERT_TRUE(rig.start());
    EXPECT_EQ(rig.panel().roll.size(), 0);
    EXPECT_TRUE(rig.errors.empty());
}

TEST(PanelRoll, AFailedStartUpLeavesTheStoredRollAlone) {
    PanelRig rig({"start:  no such instruction"});
    ASSERT_TRUE(saveScrambledList(rig.folder.path(rollFileName), {"kept"}));
    EXPECT_FALSE(rig.start());
    EXPECT_FALSE(rig.panel().saveRoll());
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(rig.folder.path(rollFileName), lines));
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
}

TEST(PanelRoll, DiscardGivesAFreshRollAndTheTearSound) {
    PanelRig rig;
    ASSERT_TRUE(saveScrambledList(rig.folder.path(rollFileName), {"3~7~", "11~"}));
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    RollStore none;
    Bitmap emptyCounter(rollCounterWidth, rollCounterHeight);
    PixelText text;
    none.drawRollCounter(emptyCounter, rollCounterBasePicture(), text);
    EXPECT_NE(panel.rollCounterImage, emptyCounter);

    panel.printer.printerBusy = true;  // the tear sound is not muted by the printer
    panel.DiscardRoll1Click();
    panel.printer.printerBusy = false;
    EXPECT_EQ(panel.roll.size(), 0);
    EXPECT_EQ(panel.printer.paperImage(), panel.printer.freshPaperImage);
    EXPECT_EQ(panel.printer.paperTopRow, freshPaperTopRow);
    EXPECT_EQ(rig.sounds, std::vector<std::string>{"rip"});
    EXPECT_EQ(rig.listingRefreshes, 1);
    EXPECT_EQ(panel.rollCounterImage, emptyCounter);
    // The file keeps the old lines until the next save.
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(rig.folder.path(rollFileName), lines));
    EXPECT_EQ(lines.size(), 2u);

    panel.soundsOn = false;
    panel.DiscardRoll1Click();
    EXPECT_EQ(rig.sounds.size(), 1u);
}

TEST(PanelCharacterSet, BadCharacterFilesStopTheStartUpWithTheirMessages) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<std::string> errors;
    } cases[] = {
        {"missing", {}, {messageNoPrinterData}},
        {"row not a number",
         {"A~00~4~ten~17~17~31~17~17~"},
         {"ten A~00~4~ten~17~17~31~17~17~", messageNoPrinterData}},
        {"one-character code",
         {"A~0~4~10~17~17~31~17~17~"},
         {"0 A~0~4~10~17~17~31~17~17~", messageNoPrinterData}},
    };
    for (const Case& c : cases) {
        PanelRig rig;
        fs::remove(rig.folder.path("chdtfl73.dat"));
        if (!c.lines.empty()) saveScrambledList(rig.folder.path("chdtfl73.dat"), c.lines);
        EXPECT_FALSE(rig.start()) << c.name;
        EXPECT_EQ(rig.errors, c.errors) << c.name;
        EXPECT_TRUE(rig.closed) << c.name;
    }
}

TEST(PanelCharacterSet, AShortSetStillPrints) {
    // Two records, no fallback record: unknown codes (here the 0) print as empty columns.
    PanelRig rig;
    ASSERT_TRUE(saveScrambledList(rig.folder.path("chdtfl73.dat"),
                                  {"2~0B~14~17~1~2~4~8~31~", "+~22~0~4~4~31~4~4~0~"}));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.pressKey("5"));  // code 22: 2, 2, 0
    ASSERT_EQ(rig.panel().roll.size(), 1);
    EXPECT_EQ(rig.panel().characterSet.lineCharacters(rig.panel().roll.rollLines()[0]),
              "      ???????????22?");
    // The empty columns of the paper show nothing of the zeros.
    LineImage expected;
    clearLineImage(expected, black);
    rig.panel().characterSet.drawGlyph(expected, 0, 17);
    rig.panel().characterSet.drawGlyph(expected, 0, 18);
    EXPECT_EQ(rig.panel().printer.lineImage.bitmap, expected.bitmap);
}

}  // namespace
}  // namespace quorvel
