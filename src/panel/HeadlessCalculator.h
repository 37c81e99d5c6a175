#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "panel/CalculatorSession.h"

namespace quorvel {

// A powered calculator without a window: the window's own calculator session, with
// silent sounds, messages collected as text, no event dispatch and no pauses. The
// headless runner and the tests drive the calculator through it.
class HeadlessCalculator : private MessageBoxes,
                           private SoundOutput,
                           private EventDispatch,
                           private PanelTimers,
                           private SessionEvents {
  public:
    static constexpr uint64_t defaultWordLimit = 5'000'000;

    enum class Result { ok, startupFailed, runError, timeout };

    explicit HeadlessCalculator(const std::string& dataFolder);

    // Starts up with the given switches, powers on and runs until the calculator waits
    // for a key.
    Result start(PrintModePosition mode = PrintModePosition::man,
                 AnglePosition angle = AnglePosition::deg, uint64_t wordLimit = defaultWordLimit);

    // Presses a key (by index into the key table), runs until the calculator waits for a
    // key again, releases it. `wordsUsed` receives the words the key cost.
    Result pressKey(int keyIndex, uint64_t wordLimit = defaultWordLimit,
                    uint64_t* wordsUsed = nullptr);

    // Presses keys by legend (see keyIndexForLegend, plus BS/BACKSPACE and *); stops at the
    // first failure.
    Result pressKeys(const std::vector<std::string>& legends,
                     uint64_t wordLimit = defaultWordLimit);

    // Presses and releases the keys one after another without letting the calculator run
    // in between, as a typist faster than the calculator would, then runs until it waits for
    // a key again. Keys beyond the type-ahead are refused as in the window.
    Result typeKeys(const std::vector<std::string>& legends, uint64_t wordLimit = defaultWordLimit);

    std::string displayText() const { return displayCellText(session_.display().cells()); }
    // Lines the printer added to the roll since start, oldest first, as line texts.
    const std::vector<std::string>& printedLines() const { return printedLines_; }
    // A line text as the tape shows it: its 20 characters, empty columns as blanks.
    std::string tapeText(const std::string& lineText) const {
        return session_.characterSet().lineCharacters(lineText);
    }
    // Every message shown, in order; run-time errors read "<text>\rAddr: $XXXX".
    const std::vector<std::string>& messages() const { return messages_; }
    uint64_t wordsExecuted() const { return session_.machine().wordsExecuted; }

    CalculatorSession& session() { return session_; }
    const CalculatorSession& session() const { return session_; }

  private:
    Result run(uint64_t wordLimit);
    void collectPrintedLines();

    void showError(const std::string& text) override { messages_.push_back(text); }
    void showInformation(const std::string& text) override { messages_.push_back(text); }
    bool confirm(const std::string&) override { return true; }
    void playSound(const std::string&) override {}
    void processPendingMessages() override {}
    void sleepMilliseconds(int) override {}
    void setModeTimerEnabled(bool) override {}
    void setFeedTimerEnabled(bool enabled) override { feedTimer_ = enabled; }
    bool feedTimerEnabled() const override { return feedTimer_; }
    void closeRequested() override { closeRequested_ = true; }

    CalculatorSession session_;
    std::vector<std::string> messages_;
    std::vector<std::string> printedLines_;
    uint64_t rollLinesSeen_ = 0;
    bool feedTimer_ = false;
    bool closeRequested_ = false;
};

// The legend a runner or test may use for a key: the key table's legend without regard to
// case, "BS" and "BACKSPACE" for Back Space, "*" for X. -1 when it names no key.
int keyIndexForName(const std::string& name);

}  // namespace quorvel
