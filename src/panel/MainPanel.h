#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/CalculatorSession.h"
#include "panel/DisplayCells.h"
#include "panel/FaceModel.h"
#include "panel/KeyTable.h"
#include "panel/Settings.h"
#include "panel/StorageFolder.h"
#include "panel/SwitchPositions.h"
#include "panel/WindowBehaviour.h"
#include "panel/WindowCommands.h"
#include "platform/Bitmap.h"
#include "platform/PixelText.h"
#include "platform/Platform.h"

namespace quorvel {

struct PanelServices {
    MessageBoxes* messages = nullptr;
    SoundOutput* sounds = nullptr;
    EventDispatch* events = nullptr;
    PanelTimers* timers = nullptr;
    PanelWindow* window = nullptr;
    // The roll counter's text; a built-in pixel face when not given.
    TextDrawing* text = nullptr;
};

// Start-up messages of the window.
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

// A press beyond the type-ahead is refused with a sound and this sign.
inline constexpr const char* typeAheadFullSign = "KEYS FULL: WAIT";
inline constexpr const char* typeAheadFullSound = "swd";

// What a pointer pressed on the face asks of the front end.
enum class PointerResult {
    none,
    // The pop-up menu, at the pointer.
    openMenu,
    // The display was grabbed: the window follows the pointer (dispImageMouseMove).
    dragDisplay,
    // A plain part of the face was grabbed: the window moves with the pointer, by the
    // window system's own move or by dispImageMouseMove.
    moveWindow,
};

// The main window's behaviour without the window: start-up from the data files, the
// stored settings, roll and state, the face and its pointer, the PC keyboard, the menu,
// and closing. The calculator itself is its session.
class MainPanel : private SessionEvents {
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

    // --- the parts -------------------------------------------------------------------
    CalculatorSession& session() { return session_; }
    const CalculatorSession& session() const { return session_; }
    FaceModel& face() { return face_; }
    const FaceModel& face() const { return face_; }
    FaceModel::ShownPart shownPart(FacePart part) const { return face_.shownPart(part); }
    FacePart partAt(int x, int y) const { return face_.partAt(x, y); }
    int faceWidth() const { return face_.width(); }
    int faceHeight() const { return face_.height(); }
    const DisplayCells& shownCells() const { return session_.display().cells(); }

    // --- power and switches ------------------------------------------------------------
    void requestPower(bool on) { session_.requestPower(on); }
    // The mode-change timer fired.
    void ChgModeTimerTimer() { session_.dispatch(); }
    void setPrintMode(PrintModePosition position, bool withSound) {
        session_.setPrintMode(position, withSound);
    }
    void setAngle(AnglePosition position, bool withSound) {
        session_.setAngle(position, withSound);
    }
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
    bool knobHeld() const { return face_.knobHeld(); }
    PowerPosition powerPosition() const { return session_.powerPosition(); }
    PrintModePosition printModePosition() const { return session_.printModePosition(); }
    AnglePosition anglePosition() const { return session_.anglePosition(); }
    bool powerIsOn() const { return session_.powerIsOn(); }

    // --- the pointer -------------------------------------------------------------------
    // A button down, a move and the button up, in face pixels; `button` 0 left, 1 middle,
    // 2 right. A press while one is held is ignored. `windowMoves`: the front end can move
    // its window (a page cannot: the display is then a plain part of the face).
    PointerResult pointerDown(int x, int y, int button, bool windowMoves = true);
    // True when the key legend's caption changed.
    bool pointerMove(int x, int y);
    void pointerUp(int x, int y, int button);

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
    // The key legend label's text: the key under the pointer, or the full type-ahead's sign.
    const std::string& keyLegendCaption() const { return keyLabelCaption_; }

    // --- printer and roll --------------------------------------------------------------
    // The paper feed button (any mouse button) and the feed timer's tick.
    void printFeedImageMouseDown() { session_.startFeed(); }
    void feedTimerTimer() { session_.feedTick(keyHeld_); }
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
    // Shows the roll's size on the counter.
    void drawRollCounter();

    // --- window, drag and close ---------------------------------------------------------
    // The display is the window's handle (any button); positions in window pixels from
    // the display's corner.
    void dispImageMouseDown(int x, int y) { window_.dragStart(x, y); }
    void dispImageMouseMove(int x, int y) { window_.dragMove(x, y); }
    void dispImageMouseUp() { window_.dragEnd(faceWidth()); }
    bool dragging() const { return window_.dragging(); }
    const WindowGeometry& windowGeometry() const { return window_.geometry(); }
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
    bool endedByRunTimeError() const { return session_.endedByRunTimeError(); }

    // --- menu ----------------------------------------------------------------------------
    bool menuChecked(MenuCommand command) const;
    void menuCommand(MenuCommand command);
    // The items one by one.
    void Sound1Click() { session_.soundsOn = !session_.soundsOn; }
    void Fast1Click() { session_.fastMode = !session_.fastMode; }
    void LowPower1Click();
    void ShowKeyLegend1Click() { keyLegendOn = !keyLegendOn; }
    void ViewRoll1Click() { services_.window->showListingWindow(); }
    void PrintRoll1Click() { services_.window->printRoll(); }
    void PrintHeadSpeed1Click() { services_.window->showPrintHeadSpeedDialog(); }
    void About1Click() { services_.messages->showInformation(aboutText); }
    void Minimize1Click() { services_.window->minimizeWindow(); }
    void Close1Click() { closeCommand(); }
    // X to the clipboard with all its digits; false (after a short message) when X holds
    // no number.
    bool Copy1Click();
    // Types the clipboard's number through the type-ahead; a refusal is said and changes
    // nothing.
    bool Paste1Click();
    bool pasteText(const std::string& text, char decimalSeparator = '.');
    // Opens the help document; false (after a message naming the file) when it is missing
    // or no program shows it.
    bool Help1Click();
    bool lowBatteryShown() const { return face_.lowBatteryShown(); }

    // --- settings ----------------------------------------------------------------------
    // The settings as the writer stores them, and the reader's effect of a set.
    PanelSettings currentSettings() const;
    void applySettings(const PanelSettings& settings);
    const StorageFolder& storage() const { return storage_; }
    // Whether start-up reads the stored settings, roll and state and closing writes them.
    bool storedStateEnabled = true;
    bool keyLegendOn = false;
    int speedSetting = defaultSpeedSetting;
    // The window's zoom in percent; the window draws it.
    int zoomPercent = 100;
    // Where the roll was last printed to a file.
    std::string printFile;

  private:
    // SessionEvents
    void faceChanged() override { services_.window->faceChanged(); }
    void switchesChanged() override;
    void shiftLampChanged(bool lit) override;
    void rollCountChanged() override { drawRollCounter(); }
    void printingEnded() override { services_.window->refreshListing(); }
    void keyTaken() override;
    void closeRequested() override;
    void poweredOff() override;

    void fail(const std::string& message);
    bool loadCalculator();
    bool saveState();

    std::string folder_;
    PanelServices services_;
    CalculatorSession session_;
    FaceModel face_;
    WindowBehaviour window_;
    StorageFolder storage_;
    PixelText pixelText_;
    std::string key001_;
    std::string keyLabelCaption_;
    bool closeNow_ = false;

    // The roll as last written to or read from the roll file.
    std::vector<std::string> savedRoll_;
    bool rollSaveRefused_ = false;
    bool rollUnsaved_ = false;
    DamagedFile settingsDamage_;
    DamagedFile rollDamage_;
    bool firstActivation_ = true;
    bool startupSucceeded_ = false;

    int keyIndex_ = -1;
    bool keyHeld_ = false;
    // Shift went down and no key came before it went up: it presses SHIFT then.
    bool shiftAlone_ = false;
    // The PC key that holds the pressed key, -1 when the mouse holds it.
    int32_t heldVirtualKey_ = -1;
    bool escapeDown_ = false;
    bool typeAheadFullShown_ = false;

    // What the held pointer button holds.
    enum class Grab { none, label, knob, feed, key };
    Grab grab_ = Grab::none;
};

}  // namespace quorvel
