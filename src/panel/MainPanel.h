#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "assembler/Assembler.h"
#include "assembler/InstructionTable.h"
#include "panel/CalculatorData.h"
#include "panel/DisplayCells.h"
#include "panel/DisplayRenderer.h"
#include "panel/FaceLayout.h"
#include "panel/KeyTable.h"
#include "panel/Settings.h"
#include "panel/StorageFolder.h"
#include "panel/SwitchPositions.h"
#include "panel/WindowCommands.h"
#include "platform/Bitmap.h"
#include "platform/PixelText.h"
#include "platform/Platform.h"
#include "printer/CharacterSet.h"
#include "printer/PrintMechanism.h"
#include "printer/RollStore.h"
#include "processor/MachineState.h"
#include "processor/RunLoop.h"

namespace quorvel {

// The window's timers, run by the front end: it calls ChgModeTimerTimer and feedTimerTimer
// when they fire.
class PanelTimers {
  public:
    virtual ~PanelTimers() = default;
    // The one-shot 25 ms mode-change timer.
    virtual void setModeTimerEnabled(bool enabled) = 0;
    // The 40 ms paper-feed timer.
    virtual void setFeedTimerEnabled(bool enabled) = 0;
    virtual bool feedTimerEnabled() const = 0;
};

// What the panel asks of the window that shows it.
class PanelWindow {
  public:
    virtual ~PanelWindow() = default;
    // Asks the window to close; the window then calls FormCloseQuery and FormClose.
    virtual void closeWindow() = 0;
    // The display picture or another part of the face changed.
    virtual void faceChanged() {}
    // The roll changed; the listing window, if it is visible, shows it again.
    virtual void refreshListing() {}

    // Geometry, in screen pixels: the window's client area and its top left corner.
    virtual void setClientSize(int /*width*/, int /*height*/) {}
    virtual void screenSize(int& width, int& height) const { width = height = 0; }
    virtual WindowPosition windowPosition() const { return {}; }
    virtual void moveWindow(WindowPosition /*position*/) {}
    // Whether a window of this size at this place would be seen on some screen.
    virtual bool placeOnScreen(WindowPosition /*position*/, int /*width*/, int /*height*/) const {
        return false;
    }
    virtual void minimizeWindow() {}
    // The closed hand while the window is dragged, else the part's own cursor.
    virtual void showDragCursor(bool /*dragging*/) {}
    // Opens a document with the desktop's program for it; false when there is no such
    // program or it could not start.
    virtual bool openDocument(const std::string& /*path*/) { return false; }
    // The roll's own windows.
    virtual void showListingWindow() {}
    virtual void printRoll() {}
    virtual void showPrintHeadSpeedDialog() {}
    virtual void saveRollAsText() {}
    // The desktop's clipboard, as plain text, and the locale's decimal point.
    virtual void setClipboardText(const std::string& /*text*/) {}
    virtual std::string clipboardText() const { return {}; }
    virtual char decimalSeparator() const { return '.'; }
    // Shows the help document inside the program; false when it cannot.
    virtual bool showHelpDocument(const std::string& /*path*/) { return false; }
};

struct PanelServices {
    MessageBoxes* messages = nullptr;
    SoundOutput* sounds = nullptr;
    EventDispatch* events = nullptr;
    PanelTimers* timers = nullptr;
    PanelWindow* window = nullptr;
    // The roll counter's text; a built-in pixel face when not given.
    TextDrawing* text = nullptr;
};

constexpr int calculatorType = 91;
inline constexpr const char* facePictureFileName = "PMnon.dat";
constexpr int characterSetType = 73;
constexpr int defaultSpeedSetting = 55;

// Start-up messages.
inline constexpr const char* messageInvalidTable = "ERROR: Invalid OCM file";
inline constexpr const char* messageNoCalculatorData = "ERROR: Failed to load calculator data file";
inline constexpr const char* messageNoPrinterData = "ERROR Failed to load printer data";
inline constexpr const char* messageNoFacePicture = "ERROR: Failed to load the face picture";
inline constexpr const char* messageRollNotSaved = "ERROR: The paper roll could not be saved in ";
inline constexpr const char* messageRollKeptOpen =
    "\r\rThe printed lines stay in the program: close it again to try once more (if that "
    "fails too, it ends without them).";
inline constexpr const char* messageSettingsNotSaved = "ERROR: The settings could not be saved in ";
inline constexpr const char* confirmDiscardStart = "Discard the ";
inline constexpr const char* confirmDiscardEnd = " printed lines?";
inline constexpr const char* messageStateNotSaved =
    "ERROR: The calculator's state could not be saved in ";
inline constexpr const char* messageCopyWhileOff = "Nothing to copy: the calculator is off";
inline constexpr const char* messagePasteWhileOff = "Nothing pasted: the calculator is off";
inline constexpr const char* messagePasteTooLong = "Nothing pasted: too many keys are waiting";

// Presses the panel keeps for the machine while the microcode is busy (the printer can keep
// it busy for seconds); a press beyond them is refused with a sound and the sign below.
constexpr int typeAheadCapacity = 64;
inline constexpr const char* typeAheadFullSign = "KEYS FULL: WAIT";
inline constexpr const char* typeAheadFullSound = "swd";

// The main window's behaviour without the window: start-up from the data files, power,
// switches, keys, the mode-change dispatcher that runs the processor, and the printer.
class MainPanel : public RunLoopHost, public PrinterEvents {
  public:
    // The settings and the roll go to `userDataFolder` when the program folder cannot be
    // written; without one they stay beside the program.
    MainPanel(std::string programFolder, PanelServices services, std::string userDataFolder = {});

    // Takes the pictures laid over the face from their sheet (before start-up); without
    // them the panel uses plain pictures of the right sizes. False when the sheet is too
    // small.
    bool usePanelPictures(const Bitmap& sheet);

    // --- start-up -------------------------------------------------------------------
    // The first activation's sequence; false when it failed (its message has been shown
    // and the window asked to close).
    bool FormActivate();
    bool startupSucceeded() const { return startupSucceeded_; }

    // --- power, switches, dispatcher --------------------------------------------------
    void requestPower(bool on);
    void ChgModeTimerTimer();
    void setPrintMode(PrintModePosition position, bool withSound);
    void setAngle(AnglePosition position, bool withSound);
    // The click on a switch label (any mouse button). ON while on and OFF while off change
    // nothing; they withdraw a waiting request for the other position.
    void switchLabelClick(FacePart label);
    // A click on a switch's knob moves it to its next position (the last goes back to the
    // first). False when the part is no knob.
    bool switchKnobClick(FacePart knob);
    // The left button on a knob, in face pixels: let go where it went down, it is the
    // click above; dragged along the slot, the switch goes to the position whose label is
    // nearest the pointer when the button comes up. False when the part is no knob.
    bool switchKnobDown(FacePart knob, int x, int y);
    void switchKnobMove(int x, int y);
    void switchKnobUp(int x, int y);
    bool knobHeld() const { return knobHeld_ != FacePart::calculatorImage; }
    PowerPosition powerPosition() const { return power_; }
    PrintModePosition printModePosition() const { return printMode_; }
    AnglePosition anglePosition() const { return angle_; }
    bool powerIsOn() const { return power_ == PowerPosition::on; }

    // --- keys --------------------------------------------------------------------------
    void calculatorImageMouseMove(int x, int y);
    void calculatorImageMouseDown(bool leftButton);
    void calculatorImageMouseUp(bool leftButton);
    // A PC key pressed while another PC key holds a calculator key ends that one first
    // (rollover); only the PC key holding a key releases it. Esc closes on its release
    // only when its press came here too (a menu or dialog that took the press keeps the
    // program running).
    // Ctrl+C and Ctrl+V copy and paste; `text` is the character the key typed, which
    // decides + - * / whatever the layout (see keyIndicesForPcKey).
    void FormKeyDown(int32_t virtualKey, KeyModifiers modifiers, const std::string& text = {});
    void FormKeyUp(int32_t virtualKey);
    // Presses the key of the current key index: shows it pressed and, with the power on,
    // puts it at the end of the type-ahead. False when the type-ahead was full.
    bool press();
    void release();
    void setKeyIndex(int index) { keyIndex_ = index; }
    int keyIndex() const { return keyIndex_; }
    bool keyHeld() const { return keyHeld_; }
    void keyQueuePut(int32_t code);
    // Presses not yet handed to the machine, oldest first (key indices). Each goes to the
    // machine's queue, its code chosen by the shift bit of that moment, when the microcode
    // looks for a key and finds the queue empty.
    const std::deque<int>& typeAhead() const { return typeAhead_; }

    // --- display ---------------------------------------------------------------------
    const DisplayCells& shownCells() const { return display.cells(); }

    // --- printer and roll --------------------------------------------------------------
    // The paper feed button (any mouse button) and the feed timer's tick.
    void printFeedImageMouseDown();
    void feedTimerTimer();
    // "Discard Used Roll": asks first ("Discard the N printed lines?"), then tears the paper
    // off and writes the empty roll at once. True when discarded.
    bool DiscardRoll1Click();
    // The discard itself, for a front end that has asked in its own way.
    void tearOffRoll();
    // Writes the roll file; nothing is written after a failed start-up.
    bool saveRoll();
    // Writes the roll file when the roll differs from what was last written or read; true
    // when the file holds the roll (or nothing is kept). The window's roll timer calls it
    // every half second, so a printed or fed line is on disk within a second however the
    // program ends; a failed write is tried again at the next tick and said at the close.
    bool saveRollIfChanged();
    void drawRollCounter();

    // --- the face -----------------------------------------------------------------------
    // Every component with its place and stacking order; the display, the counter, the
    // paper, the head and the platen are shown by `shownPart`.
    FaceImages face;
    struct ShownPart {
        int left = parkedImageLeft;
        int top = 0;
        const Bitmap* picture = nullptr;
        bool visible = false;
    };
    // What a component shows now and where.
    ShownPart shownPart(FacePart part) const;
    int faceWidth() const { return face[FacePart::calculatorImage].width; }
    int faceHeight() const { return face[FacePart::calculatorImage].height; }

    // --- window, drag and close ---------------------------------------------------------
    // The display is the window's handle (any button); positions inside dispImage.
    void dispImageMouseDown(int x, int y);
    void dispImageMouseMove(int x, int y);
    void dispImageMouseUp();
    bool dragging() const { return dragging_; }
    // Menu "Close" and Esc: closes at once with the power off, else after the processor
    // has returned to the dispatcher.
    void closeCommand();
    // The two stages of closing the window: whether it may close now (saving the roll on
    // the way out), and what it does when it closes (writing the settings). Nothing is
    // written after a failed start-up, so a stored roll and settings survive it. A roll
    // that cannot be written is said, and the first time the window stays open with it.
    bool FormCloseQuery();
    void FormClose();
    // A run-time error of the processor closed the window.
    bool endedByRunTimeError() const { return runTimeError_; }
    WindowGeometry windowGeometry;

    // --- menu ----------------------------------------------------------------------------
    bool menuChecked(MenuCommand command) const;
    void menuCommand(MenuCommand command);
    void Sound1Click() { soundsOn = !soundsOn; }
    // X to the clipboard with all its digits; false (after a short message) when X holds
    // no number.
    bool Copy1Click();
    // Types the clipboard's number through the type-ahead; a refusal is said and changes
    // nothing.
    bool Paste1Click();
    bool pasteText(const std::string& text, char decimalSeparator = '.');
    // Fast: no pauses in the processor's run and the head at its fastest.
    void Fast1Click() { fastMode = !fastMode; }
    bool fastMode = false;
    // The window's zoom in percent, kept in the settings; the window draws it.
    int zoomPercent = 100;
    // Where the roll was last printed to a file, kept in the settings.
    std::string printFile;
    void LowPower1Click();
    void ShowKeyLegend1Click() { keyLegendOn = !keyLegendOn; }
    void ViewRoll1Click() { services_.window->showListingWindow(); }
    void PrintRoll1Click() { services_.window->printRoll(); }
    void PrintHeadSpeed1Click() { services_.window->showPrintHeadSpeedDialog(); }
    // Opens the help document; false (after a message naming the file) when it is missing
    // or no program shows it.
    bool Help1Click();
    void About1Click() { services_.messages->showInformation(aboutText); }
    void Minimize1Click() { services_.window->minimizeWindow(); }
    void Close1Click() { closeCommand(); }
    bool lowBatteryShown() const { return face[FacePart::pfLEDImage].visible; }

    // --- sounds and settings -----------------------------------------------------------
    // The settings as the writer stores them, and the reader's effect of a set.
    PanelSettings currentSettings() const;
    void applySettings(const PanelSettings& settings);
    const StorageFolder& storage() const { return storage_; }
    // Whether start-up reads the stored settings and roll and closing writes them. The
    // headless calculator runs from the defaults, whatever a window left behind.
    bool storedStateEnabled = true;
    void playSound(const std::string& name);
    bool soundsOn = true;
    bool keyLegendOn = false;
    int speedSetting = defaultSpeedSetting;
    int burstLength = computeBurstLength(defaultSpeedSetting);
    std::string keyLabelCaption;

    // --- headless running ----------------------------------------------------------------
    enum class RunOutcome { idle, error, wordLimit, stopped };
    // Runs the processor until it waits for a key with the printer idle, at most
    // `wordLimit` words and about runTimeLimit (either end gives wordLimit). Used by the
    // headless runner and the tests.
    RunOutcome runUntilIdle(uint64_t wordLimit);
    static constexpr std::chrono::milliseconds defaultRunTimeLimit{5000};
    std::chrono::milliseconds runTimeLimit = defaultRunTimeLimit;
    // Whether the run loop pauses for real (a window) or not at all (headless).
    bool pausesEnabled = true;

    // --- state other parts read -----------------------------------------------------------
    MachineState machine;
    InstructionTable instructionTable;
    AssemblyJob assembly;
    CalculatorData calculatorData;
    RollStore roll;
    CharacterSet characterSet;
    PrintMechanism printer{machine, roll, characterSet, *this};
    // The pictures the window shows: the display (dispImage, from display.maskImage), the
    // roll counter (pcntImage over pcntBaseImage); the paper, head and platen are the
    // printer's. The window may put its own blank pictures in before start-up.
    DisplayRenderer display;
    Bitmap rollCounterBase = rollCounterBasePicture();
    Bitmap rollCounterImage = rollCounterBase;
    Bitmap facePicture;
    int32_t requestFlags_ = 0;
    bool closeNow = false;
    // Lines appended to the roll since start-up (the roll itself keeps only the last 200).
    uint64_t rollLinesAppended = 0;

    // --- RunLoopHost ---------------------------------------------------------------------
    void renderDisplay() override;
    bool printerAtRest() override { return printer.printerAtRest(); }
    void renderPrintLine() override { printer.renderPrintLine(); }
    void startPrinting() override { printer.startPrinting(); }
    void keyTestFoundEmpty() override;
    bool printerBusy() override { return printer.busy(); }
    void printerTick() override;
    void processPendingMessages() override;
    void pause(int milliseconds) override;
    int32_t requestFlags() override;
    bool powerSwitchOn() override { return powerIsOn(); }
    uint64_t askAgainAtWord() override { return idleStopArmed_ ? wordLimitAt_ : UINT64_MAX; }

    // --- PrinterEvents -------------------------------------------------------------------
    void printPassStarted() override;
    void rollLineAdded() override;
    void printerWentIdle() override;
    void printerMoved() override;

  private:
    bool loadCalculator();
    void powerClick(bool on);
    void powerOnSequence();
    void powerOffSequence();
    // Step 5 of the dispatcher; false after a run-time error (shown, window closing).
    bool runProcessor();
    void fail(const std::string& message);
    // Steps 7e and 8: the face's size for the window, centred on the screen.
    void sizeAndCentreWindow();
    // The pictures of each switch's position at its place, the others parked.
    void showSwitchPictures();
    void recordWindowGeometry();

    std::string dataPath(const std::string& name) const { return folder_ + "/" + name; }

    std::string folder_;
    PanelServices services_;
    StorageFolder storage_;
    std::string key001_;
    bool dragging_ = false;
    int dragX_ = 0;
    int dragY_ = 0;
    bool dispatching_ = false;
    // The knob under the held button (calculatorImage for none), where it went down and
    // whether it has moved far enough to be a drag.
    FacePart knobHeld_ = FacePart::calculatorImage;
    int knobDownY_ = 0;
    bool knobDragged_ = false;
    // The roll as last written to or read from the roll file.
    std::vector<std::string> savedRoll_;
    bool rollSaveRefused_ = false;
    bool rollUnsaved_ = false;
    DamagedFile settingsDamage_;
    DamagedFile rollDamage_;
    bool runTimeError_ = false;
    bool firstActivation_ = true;
    bool startupSucceeded_ = false;

    // The window's place from the settings, used at start-up when it is on a screen.
    bool storedPlace_ = false;
    WindowPosition storedPosition_{};

    PowerPosition power_ = PowerPosition::off;
    PrintModePosition printMode_ = PrintModePosition::man;
    AnglePosition angle_ = AnglePosition::deg;

    // Hands the oldest waiting press to the machine's queue when that is empty.
    void feedTypeAhead();
    // The SHIFT lamp follows the machine's shift bit.
    void showShiftLamp();

    int keyIndex_ = -1;
    bool keyHeld_ = false;
    // Shift went down and no key came before it went up: it presses SHIFT then.
    bool shiftAlone_ = false;
    // The first power-on after start-up resumes from the state file.
    bool restorePending_ = false;
    void restoreState();
    bool saveState();
    // The PC key that holds the pressed key, -1 when the mouse holds it.
    int32_t heldVirtualKey_ = -1;
    int heldKeyIndex_ = -1;
    bool escapeDown_ = false;
    std::deque<int> typeAhead_;
    bool typeAheadFullShown_ = false;

    PixelText pixelText_;

    // Headless stop conditions, armed by runUntilIdle.
    bool idleStopArmed_ = false;
    bool idleReached_ = false;
    uint64_t wordLimitAt_ = 0;
    std::chrono::steady_clock::time_point idleDeadline_{};
    bool idleTimedOut_ = false;
};

}  // namespace quorvel
