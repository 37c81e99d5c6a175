#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "io/ScrambledFile.h"
#include "panel/HeadlessCalculator.h"
#include "panel/MainPanel.h"
#include "panel/WindowRig.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Waits for a key with the display on; a key prints C as digits: its code (C[2] C[1] 0),
// or with `digits` the number 123456.
std::vector<std::string> printingMicrocode(bool digits = false) {
    std::vector<std::string> lines = {"start:  display on",       "idle:   key ready -> s3",
                                      "        if s3 = 1",        "          then go to getkey",
                                      "        go to idle",       "getkey: 0 -> c[w]",
                                      "        1 -> p",           "        load constant 15",
                                      "        load constant 15", "        c -> data address",
                                      "        data -> c"};
    if (digits) {
        lines.insert(lines.end(), {"        0 -> c[w]", "        5 -> p"});
        for (int d = 1; d <= 6; ++d) lines.push_back("        load constant " + std::to_string(d));
    }
    lines.insert(lines.end(),
                 {"wait:   printer ready -> s3", "        if s3 = 0", "          then go to wait",
                  "        print c digits", "        go to idle"});
    return lines;
}

void copyBuiltData(const test::ScratchFolder& folder) {
    for (const char* name : {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat"}) {
        fs::copy_file(fs::path(QUORVEL_DATA_DIR) / name, folder.path(name));
    }
}

// The window's rig with a microcode that prints, powered on by its start.
class PanelRig : public test::WindowRig {
  public:
    explicit PanelRig(const std::vector<std::string>& microcode = printingMicrocode())
        : WindowRig(microcode) {
        dispatchLimit = 1'000'000'000;  // printing runs long; no script here
        messages.confirmAnswer = true;
    }

    // Start-up and power-on, until the calculator waits for a key.
    bool start() {
        if (!panel().FormActivate()) return false;
        panel().requestPower(true);
        const bool idle =
            panel().session().runUntilIdle(1'000'000) == CalculatorSession::RunOutcome::idle;
        sounds.clear();  // the power switch's click
        return idle;
    }
    bool pressKey(const std::string& legend) {
        panel().setKeyIndex(keyIndexForName(legend));
        panel().press();
        const auto outcome = panel().session().runUntilIdle(1'000'000);
        panel().release();
        return outcome == CalculatorSession::RunOutcome::idle;
    }
    int feedUntilStopped() {
        int ticks = 0;
        for (; feedTimer && ticks < 1000; ++ticks) panel().feedTimerTimer();
        return ticks;
    }
    std::string lastTapeLine() {
        return panel().session().characterSet().lineCharacters(
            panel().session().roll().rollLines().back());
    }
};

Bitmap counterShowing(int lines) {
    RollStore roll;
    roll.assign(std::vector<std::string>(static_cast<size_t>(lines), "x"));
    Bitmap counter(rollCounterWidth, rollCounterHeight);
    PixelText text;
    roll.drawRollCounter(counter, rollCounterBasePicture(), text);
    return counter;
}

TEST(PanelPrinting, APrintedLineReachesTheRollTheCounterAndTheListing) {
    PanelRig rig;
    ASSERT_TRUE(rig.start()) << ::testing::PrintToString(rig.messages.errors);
    EXPECT_EQ(rig.panel().face().rollCounterImage(), counterShowing(0));
    ASSERT_TRUE(rig.pressKey("5"));
    ASSERT_EQ(rig.panel().session().roll().size(), 1);
    EXPECT_EQ(rig.lastTapeLine(), "      00000000000220");
    EXPECT_EQ(rig.panel().face().rollCounterImage(), counterShowing(1));
    EXPECT_EQ(rig.sounds, std::vector<std::string>{"prn"});
    EXPECT_EQ(rig.listingRefreshes, 1) << "when the printer goes idle";
    EXPECT_EQ(test::paperEdgeRow(rig.panel().session().printer().paperImage()), 150);

    rig.panel().session().soundsOn = false;
    ASSERT_TRUE(rig.pressKey("6"));
    EXPECT_EQ(rig.sounds.size(), 1u) << "sounds off: prints silently";
}

TEST(PanelPrinting, TheHeadlessRunnerShowsTapeLinesAsCharacters) {
    test::ScratchFolder folder;
    copyBuiltData(folder);
    ASSERT_TRUE(saveScrambledList(folder.path("cal73.pfl"), printingMicrocode(true)));
    HeadlessCalculator calculator(folder.path(""));
    ASSERT_EQ(calculator.start(), HeadlessCalculator::Result::ok);
    ASSERT_EQ(calculator.pressKeys({"1"}), HeadlessCalculator::Result::ok);
    ASSERT_EQ(calculator.printedLines().size(), 1u);
    EXPECT_EQ(calculator.tapeText(calculator.printedLines()[0]), "      00000000123456");

    const fs::path runner = fs::path(QUORVEL_DATA_DIR) / "quorvel-run";
    if (!fs::exists(runner)) GTEST_SKIP() << "quorvel-run is not built";
    FILE* pipe = popen((runner.string() + " --data " + folder.path("") + " 1 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 4096> buffer{};
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_NE(out.find("\ntape \"      00000000123456\"\n"), std::string::npos) << out;
}

TEST(PanelPrinting, KeysTypedWhileThePrinterIsBusyAreAllTaken) {
    HeadlessCalculator calculator(QUORVEL_DATA_DIR);
    ASSERT_EQ(calculator.start(), HeadlessCalculator::Result::ok);
    // the second PRINT x waits for the head while the sum is typed
    ASSERT_EQ(calculator.typeKeys({"5", "P", "P", "1", "+", "2", "+", "3", "+", "4", "+", "5", "+",
                                   "6", "+", "7", "+"}),
              HeadlessCalculator::Result::ok);
    EXPECT_NE(calculator.displayText().find("33.00"), std::string::npos)
        << calculator.displayText();
    EXPECT_EQ(calculator.printedLines().size(), 2u);
}

TEST(PanelFeed, FeedsBlankLinesWithTheDisplayDarkWhileAKeyIsHeld) {
    PanelRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    panel.printFeedImageMouseDown();
    panel.printFeedImageMouseDown();  // ignored while the paper moves
    EXPECT_TRUE(rig.feedTimer);
    EXPECT_EQ(panel.session().display().image(), panel.session().display().maskImage)
        << "dark at once";
    panel.setKeyIndex(keyIndexForName("7"));
    panel.press();
    for (int i = 0; i < 20; ++i) panel.feedTimerTimer();
    panel.release();
    EXPECT_EQ(rig.feedUntilStopped(), 10);
    EXPECT_EQ(panel.session().roll().rollLines(), std::vector<std::string>(3, blankRollLine));
    EXPECT_EQ(rig.sounds, std::vector<std::string>(3, "fed"));
    EXPECT_EQ(rig.listingRefreshes, 3);
    EXPECT_NE(panel.session().display().image(), panel.session().display().maskImage)
        << "lit again at once";
    EXPECT_EQ(test::paperEdgeRow(panel.session().printer().paperImage()), 169 - 60);
    panel.feedTimerTimer();  // a stray tick after the timer stopped
    EXPECT_EQ(panel.session().roll().size(), 3);
}

TEST(PanelFeed, IgnoredWhilePrintingOrOffAndEndedByPowerOff) {
    PanelRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    panel.session().printer().printerBusy = true;
    panel.printFeedImageMouseDown();
    EXPECT_FALSE(rig.feedTimer);
    panel.session().printer().printerBusy = false;

    panel.printFeedImageMouseDown();
    for (int i = 0; i < 5; ++i) panel.feedTimerTimer();
    panel.requestPower(false);
    panel.ChgModeTimerTimer();
    EXPECT_FALSE(rig.feedTimer);
    EXPECT_EQ(panel.session().printer().feedCountdown, 0);
    EXPECT_EQ(panel.session().roll().size(), 0) << "the blank line being fed is not stored";
    EXPECT_FALSE(panel.session().machine().displayOn);
    panel.printFeedImageMouseDown();
    EXPECT_FALSE(rig.feedTimer);
}

TEST(PanelRoll, StartUpRedrawsTheRollATickWritesANewLineADiscardEmptiesIt) {
    PanelRig rig;
    ASSERT_TRUE(saveScrambledList(rig.folder.path(rollFileName),
                                  {"3~7~11~", blankRollLine, "not~a~line~"}));
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    EXPECT_EQ(panel.session().roll().size(), 3);
    EXPECT_EQ(panel.face().rollCounterImage(), counterShowing(3));
    EXPECT_EQ(test::paperEdgeRow(panel.session().printer().paperImage()), 112);
    ASSERT_TRUE(rig.pressKey("1"));
    EXPECT_EQ(test::paperEdgeRow(panel.session().printer().paperImage()), 112 - 19);
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(rig.folder.path(rollFileName), lines));
    EXPECT_EQ(lines.size(), 3u);
    ASSERT_TRUE(panel.saveRollIfChanged()) << "the roll timer's tick";
    ASSERT_TRUE(loadScrambledList(rig.folder.path(rollFileName), lines));
    EXPECT_EQ(lines, panel.session().roll().rollLines());

    rig.sounds.clear();
    rig.messages.confirmAnswer = false;
    EXPECT_FALSE(panel.DiscardRoll1Click());
    EXPECT_EQ(rig.messages.confirmations, std::vector<std::string>{"Discard the 4 printed lines?"});
    EXPECT_EQ(panel.session().roll().size(), 4);
    rig.messages.confirmAnswer = true;
    panel.session().printer().printerBusy = true;  // the tear sound is not muted by the printer
    EXPECT_TRUE(panel.DiscardRoll1Click());
    panel.session().printer().printerBusy = false;
    EXPECT_EQ(panel.session().roll().size(), 0);
    EXPECT_EQ(panel.session().printer().paperImage(), panel.session().printer().freshPaperImage);
    EXPECT_EQ(panel.session().printer().paperTopRow, freshPaperTopRow);
    EXPECT_EQ(rig.sounds, std::vector<std::string>{"rip"});
    EXPECT_EQ(panel.face().rollCounterImage(), counterShowing(0));
    lines.clear();
    loadScrambledList(rig.folder.path(rollFileName), lines);
    EXPECT_TRUE(lines.empty()) << "a discard is on disk at once";
}

TEST(PanelRoll, DamagedOrKeptRollFiles) {
    PanelRig damaged;
    damaged.folder.write(rollFileName, "\x01\x02 not a roll");
    ASSERT_TRUE(damaged.start());
    EXPECT_EQ(damaged.panel().session().roll().size(), 0);
    ASSERT_EQ(damaged.messages.errors.size(), 1u) << "the set-aside file is said once";
    EXPECT_NE(damaged.messages.errors[0].find("roll file"), std::string::npos)
        << damaged.messages.errors[0];
    EXPECT_NE(damaged.messages.errors[0].find(rollFileName), std::string::npos)
        << damaged.messages.errors[0];
    EXPECT_TRUE(damaged.panel().saveRollIfChanged());
    EXPECT_TRUE(fs::exists(damaged.folder.path(rollFileName))) << "what was read goes back";

    PanelRig failed({"start:  no such instruction"});
    ASSERT_TRUE(saveScrambledList(failed.folder.path(rollFileName), {"kept"}));
    EXPECT_FALSE(failed.start());
    EXPECT_FALSE(failed.panel().saveRoll()) << "a failed start-up writes no roll";
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(failed.folder.path(rollFileName), lines));
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
}

TEST(PanelCharacterSet, BadFilesStopTheStartUpWithTheirMessages) {
    struct Case {
        std::vector<std::string> lines;
        std::vector<std::string> errors;
    } cases[] = {
        {{}, {messageNoPrinterData}},
        {{"A~00~4~ten~17~17~31~17~17~"}, {"ten A~00~4~ten~17~17~31~17~17~", messageNoPrinterData}},
        {{"A~0~4~10~17~17~31~17~17~"}, {"0 A~0~4~10~17~17~31~17~17~", messageNoPrinterData}},
    };
    for (const Case& c : cases) {
        PanelRig rig;
        fs::remove(rig.folder.path("chdtfl73.dat"));
        if (!c.lines.empty()) saveScrambledList(rig.folder.path("chdtfl73.dat"), c.lines);
        EXPECT_FALSE(rig.start());
        EXPECT_EQ(rig.messages.errors, c.errors);
        EXPECT_TRUE(rig.closed);
    }
}

}  // namespace
}  // namespace quorvel
