#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "assembler/Assembler.h"
#include "assembler/InstructionTable.h"
#include "panel/CalculatorData.h"
#include "panel/DisplayRenderer.h"
#include "panel/Settings.h"
#include "panel/SwitchPositions.h"
#include "platform/Platform.h"
#include "printer/CharacterSet.h"
#include "printer/PrintMechanism.h"
#include "printer/RollStore.h"
#include "processor/MachineState.h"
#include "processor/RunLoop.h"

namespace quorvel {

constexpr int characterSetType = 73;
inline constexpr const char* microcodeFileName = "cal73.pfl";

inline constexpr const char* messageInvalidTable = "ERROR: Invalid OCM file";
inline constexpr const char* messageNoCalculatorData = "ERROR: Failed to load calculator data file";
inline constexpr const char* messageNoPrinterData = "ERROR Failed to load printer data";

// Presses kept for the machine while the microcode is busy (the printer can keep it busy
// for seconds); a press beyond them is refused.
constexpr int typeAheadCapacity = 64;

// The timers of whoever runs the session: it calls dispatch and feedTick when they fire.
class PanelTimers {
  public:
    virtual ~PanelTimers() = default;
    // The one-shot 25 ms mode-change timer.
    virtual void setModeTimerEnabled(bool enabled) = 0;
    // The 40 ms paper-feed timer.
    virtual void setFeedTimerEnabled(bool enabled) = 0;
    virtual bool feedTimerEnabled() const = 0;
};

// What the session tells whoever shows it; all of it may be ignored.
class SessionEvents {
  public:
    virtual ~SessionEvents() = default;
    // The display was redrawn or the printer moved.
    virtual void faceChanged() {}
    // A switch changed its position.
    virtual void switchesChanged() {}
    // The SHIFT lamp goes on or off.
    virtual void shiftLampChanged(bool /*lit*/) {}
    // The roll gained or lost lines.
    virtual void rollCountChanged() {}
    // The printer stopped or a fed line ended: the listing shows the roll again.
    virtual void printingEnded() {}
    // The machine took a waiting press.
    virtual void keyTaken() {}
    // The dispatcher ends the calculator: a close was asked for, or a run-time error.
    virtual void closeRequested() {}
    // The power went off for real; a stored state is no longer wanted.
    virtual void poweredOff() {}
};

struct SessionServices {
    MessageBoxes* messages = nullptr;
    SoundOutput* sounds = nullptr;
    EventDispatch* events = nullptr;
    PanelTimers* timers = nullptr;
    SessionEvents* listener = nullptr;
};

// One calculator: the data files, the machine and its ROM, the printer and its roll, the
// display, the switches, the key path and the mode-change dispatcher that runs the
// processor. The window's panel and the headless calculator both own one.
class CalculatorSession final : public RunLoopHost, public PrinterEvents {
  public:
    CalculatorSession(std::string dataFolder, SessionServices services);
    CalculatorSession(const CalculatorSession&) = delete;
    CalculatorSession& operator=(const CalculatorSession&) = delete;

    // --- start-up ---------------------------------------------------------------------
    // The instruction table; false after its message. Checks first that none of the data
    // files this reads is a special file, whose opening could block for ever.
    bool loadInstructionTable();
    // Calculator data, character set, machine parameters and the microcode; false after
    // the message of the first failure.
    bool loadCalculator();
    std::string dataPath(const std::string& name) const { return folder_ + "/" + name; }

    // --- power, switches, dispatcher ----------------------------------------------------
    void requestPower(bool on);
    // ON while on and OFF while off change nothing; they withdraw a waiting request for the
    // other position.
    void powerClick(bool on);
    // The mode-change timer fired.
    void dispatch();
    void setPrintMode(PrintModePosition position, bool withSound);
    void setAngle(AnglePosition position, bool withSound);
    // Moves the switches as stored settings left them; power on powers the machine later.
    void placeSwitches(PowerPosition power, PrintModePosition printMode);
    PowerPosition powerPosition() const { return power_; }
    PrintModePosition printModePosition() const { return printMode_; }
    AnglePosition anglePosition() const { return angle_; }
    bool powerIsOn() const { return power_ == PowerPosition::on; }
    // Asks the dispatcher to end the calculator; with the power off there is nothing to end.
    void askToClose() { requestFlags_ |= requestClose; }
    // Keeps the calculator running after a refused close.
    void restartAfterRefusedClose();
    int32_t pendingRequests() const { return requestFlags_; }
    bool endedByRunTimeError() const { return runTimeError_; }
    // The next power-on resumes from this state file (once).
    void resumeAtPowerOn(std::string statePath);

    // --- keys ---------------------------------------------------------------------------
    // Whether a press can be kept now (the power off keeps none and refuses none).
    bool acceptsPress() const { return !powerIsOn() || typeAhead_.size() < typeAheadCapacity; }
    // A key goes down: with the power on it waits in the type-ahead. False (nothing kept)
    // when the type-ahead is full.
    bool pressKey(int keyIndex);
    // The key comes up.
    void releaseKey() { machine_.keyReleased = 1; }
    // Keys typed at once (pasted); false, and nothing kept, when they do not all fit.
    bool typeKeys(const std::vector<int>& keyIndices);
    // Presses not yet handed to the machine, oldest first (key indices). Each goes to the
    // machine's queue, its code chosen by the shift bit of that moment, when the microcode
    // looks for a key and finds the queue empty.
    const std::deque<int>& typeAhead() const { return typeAhead_; }
    void keyQueuePut(int32_t code);

    // --- printer and roll ----------------------------------------------------------------
    // The paper feed button; the feed timer's tick, `keyHeld` keeps the paper moving.
    void startFeed();
    void feedTick(bool keyHeld);
    // Tears the paper off: an empty roll.
    void tearOffRoll();
    uint64_t rollLinesAppended() const { return rollLinesAppended_; }

    // --- headless running ------------------------------------------------------------------
    enum class RunOutcome { idle, error, wordLimit, stopped };
    // Runs the processor until it waits for a key with the printer idle, at most
    // `wordLimit` words and about runTimeLimit (either end gives wordLimit).
    RunOutcome runUntilIdle(uint64_t wordLimit);
    static constexpr std::chrono::milliseconds defaultRunTimeLimit{5000};
    std::chrono::milliseconds runTimeLimit = defaultRunTimeLimit;

    // --- behaviour switches --------------------------------------------------------------
    bool soundsOn = true;
    // No pauses in the processor's run and the head at its fastest.
    bool fastMode = false;
    // Whether the run loop pauses for real (a window) or not at all (headless).
    bool pausesEnabled = true;
    int burstLength = computeBurstLength(defaultSpeedSetting);
    // The session's sounds, muted while the printer is busy.
    void playSound(const std::string& name);
    // A sound that plays while the printer is busy too.
    void playSoundAlways(const std::string& name);

    // --- the parts ------------------------------------------------------------------------
    MachineState& machine() { return machine_; }
    const MachineState& machine() const { return machine_; }
    RollStore& roll() { return roll_; }
    const RollStore& roll() const { return roll_; }
    PrintMechanism& printer() { return printer_; }
    const PrintMechanism& printer() const { return printer_; }
    const CharacterSet& characterSet() const { return characterSet_; }
    DisplayRenderer& display() { return display_; }
    const DisplayRenderer& display() const { return display_; }
    const AssemblyJob& assembly() const { return assembly_; }

    // --- RunLoopHost ----------------------------------------------------------------------
    void renderDisplay() override;
    bool printerAtRest() override { return printer_.printerAtRest(); }
    void renderPrintLine() override { printer_.renderPrintLine(); }
    void startPrinting() override { printer_.startPrinting(); }
    void keyTestFoundEmpty() override;
    bool printerBusy() override { return printer_.busy(); }
    void printerTick() override;
    void processPendingMessages() override;
    void pause(int milliseconds) override;
    int32_t requestFlags() override;
    bool powerSwitchOn() override { return powerIsOn(); }
    uint64_t askAgainAtWord() override { return idleStopArmed_ ? wordLimitAt_ : UINT64_MAX; }

    // --- PrinterEvents --------------------------------------------------------------------
    void printPassStarted() override;
    void rollLineAdded() override;
    void printerWentIdle() override;
    void printerMoved() override;

  private:
    void powerOnSequence();
    void powerOffSequence();
    // Runs the processor; false after a run-time error (shown, close asked for).
    bool runProcessor();
    void restoreState();
    // Hands the oldest waiting press to the machine's queue when that is empty.
    void feedTypeAhead();
    // The SHIFT lamp follows the machine's shift bit.
    void showShiftLamp();

    std::string folder_;
    SessionServices services_;
    SessionEvents noListener_;
    SessionEvents& listener_;

    MachineState machine_;
    InstructionTable instructionTable_;
    AssemblyJob assembly_;
    RollStore roll_;
    CharacterSet characterSet_;
    PrintMechanism printer_{machine_, roll_, characterSet_, *this};
    DisplayRenderer display_;
    uint64_t rollLinesAppended_ = 0;

    PowerPosition power_ = PowerPosition::off;
    PrintModePosition printMode_ = PrintModePosition::man;
    AnglePosition angle_ = AnglePosition::deg;
    int32_t requestFlags_ = 0;
    bool dispatching_ = false;
    bool runTimeError_ = false;
    bool shiftLit_ = false;
    std::string resumePath_;
    std::deque<int> typeAhead_;

    // Headless stop conditions, armed by runUntilIdle.
    bool idleStopArmed_ = false;
    bool idleReached_ = false;
    uint64_t wordLimitAt_ = 0;
    std::chrono::steady_clock::time_point idleDeadline_{};
    bool idleTimedOut_ = false;
};

}  // namespace quorvel
