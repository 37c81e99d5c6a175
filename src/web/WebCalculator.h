#pragma once

// The calculator in a browser page, without the browser: the page's event translation,
// frame pacing, face picture and stored files over the main panel. The bindings in
// WebMain.cpp connect it to the page's script; everything here also builds natively, so it
// is tested like the rest of the core.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "panel/DisplayCells.h"
#include "panel/MainPanel.h"
#include "printer/SpeedDialog.h"

namespace quorvel {

// What the page does for the calculator.
class PageServices {
  public:
    virtual ~PageServices() = default;
    virtual void showError(const std::string& text) = 0;
    virtual void showInformation(const std::string& text) = 0;
    virtual bool confirm(const std::string& text) = 0;
    virtual void playSound(const std::string& name) = 0;
    virtual void showListing() = 0;
    virtual void printRoll() = 0;
    virtual void showSpeedDialog() = 0;
    virtual bool openDocument(const std::string& path) = 0;
    // Copy's text for the browser's clipboard.
    virtual void setClipboardText(const std::string& text) = 0;
    // A UTF-8 text file offered as a download.
    virtual void downloadText(const std::string& fileName, const std::string& text) = 0;
};

// The display as a person reads it: no blank cells around it, an exponent after " E"
// ("5.00", "-1.234 E-05", "Error"); empty while the display is dark.
std::string readableDisplayText(const DisplayCells& cells);

// Key names as the headless runner takes them, separated by blanks, into key indexes.
// False at the first unknown name (the indexes before it are kept).
bool parseKeyNames(const std::string& text, std::vector<int>& keys);

// True when a stored file exists but cannot be read back, or holds a line `lineReadable`
// (when given) rejects: a later write must not replace it before it has been kept aside.
// A file holding an empty list is not damaged.
bool storedFileDamaged(const std::string& path, bool (*lineReadable)(const std::string&) = nullptr);
// A roll line the printer could have stored: "Blank" or 20 numeric fields.
bool rollLineReadable(const std::string& line);

// Bits of WebCalculator::frame's result.
enum FrameResult : int {
    frameWanted = 1,     // call frame again at the next animation frame
    faceRedrawn = 2,     // the face picture changed
    rollChanged = 4,     // the roll file was written; the listing shows it again
    stoppedForGood = 8,  // a start-up failure or a run-time error ended the calculator
};

class WebCalculator : private MessageBoxes,
                      private SoundOutput,
                      private EventDispatch,
                      private PanelTimers,
                      private PanelWindow {
  public:
    // `folder` holds the data files and the stored settings and roll.
    WebCalculator(const std::string& folder, PageServices& page);

    // Start-up from the folder; the sheet gives the pictures laid over the face (an empty
    // sheet keeps plain ones). False after a failure, which has been shown.
    bool start(const Bitmap& partsSheet);
    // The stored files start-up found damaged (file names); the page keeps them aside.
    const std::vector<std::string>& damagedFiles() const { return damagedFiles_; }

    // One animation frame at `nowMs` (a monotonic clock): the due timers, then as many
    // processor words as the time since the last frame allows at the desktop's pace.
    int frame(double nowMs);

    // --- the face --------------------------------------------------------------------
    int width() const { return panel_.faceWidth(); }
    int height() const { return panel_.faceHeight(); }
    // Four bytes a pixel; the see-through face colour has alpha 0.
    const std::vector<uint8_t>& faceRgba();
    // The topmost part under a point of the face.
    FacePart partAt(int x, int y) const { return panel_.partAt(x, y); }

    // Pointers in face pixels; `button` 0 left, 2 right. A second pointer while one holds a
    // key or a switch is ignored, so several fingers cannot confuse the held key. True
    // from pointerDown when the page should open its menu there.
    bool pointerDown(int pointerId, int x, int y, int button);
    void pointerMove(int pointerId, int x, int y);
    void pointerUp(int pointerId, int button);
    // A switch label and the FEED button worked through the page's own buttons.
    void switchLabelClick(FacePart label);
    void feed();
    // A key of the face pressed and released through the page's own buttons.
    void pressKeyIndex(int index);
    void releaseKeyIndex();

    // The PC keyboard, as virtual keys with modifiers and the character the key typed.
    void keyDown(int32_t virtualKey, KeyModifiers modifiers, const std::string& text = {});
    void keyUp(int32_t virtualKey);

    // Presses the keys one after another, each once the calculator waits for a key again.
    void pressKeysWhenReady(const std::vector<int>& keys);
    bool scriptedKeysPending() const { return scriptedNext_ < scripted_.size() || scriptedHeld_; }
    // Powers the calculator on unless it is on.
    void switchOn();

    // Text from the browser's clipboard (the paste event's, or one the page was let read)
    // typed through the calculator's paste rules; false when it was refused (and said).
    bool paste(const std::string& text);
    // The page's locale's decimal separator for pasted numbers.
    void setDecimalSeparator(char separator) { decimalSeparator_ = separator; }

    std::string displayText() const;
    const std::string& keyLegendCaption() const { return panel_.keyLegendCaption(); }

    // --- roll, menu, dialogs, storage ----------------------------------------------------
    // Each stored line as the tape shows it, oldest first.
    std::vector<std::string> rollCharacters() const;
    int rollSize() const { return panel_.session().roll().size(); }
    bool menuChecked(MenuCommand command) const { return panel_.menuChecked(command); }
    void menuCommand(MenuCommand command);
    // "Discard Used Roll" after the page's question.
    void discardRoll();
    PrintHeadSpeedDialog& speedDialog() { return speedDialog_; }
    // Writes the settings and the roll into the folder (the page then stores them).
    void saveState();

    MainPanel& panel() { return panel_; }
    const MainPanel& panel() const { return panel_; }

  private:
    // MessageBoxes, SoundOutput
    void showError(const std::string& text) override { page_.showError(text); }
    void showInformation(const std::string& text) override { page_.showInformation(text); }
    bool confirm(const std::string& text) override { return page_.confirm(text); }
    void playSound(const std::string& name) override { page_.playSound(name); }
    // EventDispatch: the page's events arrive between frames; the pace comes from the
    // frame's word budget, so the run loop neither dispatches nor sleeps.
    void processPendingMessages() override {}
    void sleepMilliseconds(int) override {}
    // PanelTimers
    void setModeTimerEnabled(bool enabled) override;
    void setFeedTimerEnabled(bool enabled) override;
    bool feedTimerEnabled() const override { return feedTimerOn_; }
    // PanelWindow
    void closeWindow() override { closed_ = true; }
    void faceChanged() override { faceDirty_ = true; }
    void refreshListing() override {}
    bool openDocument(const std::string& path) override { return page_.openDocument(path); }
    void showListingWindow() override { page_.showListing(); }
    void printRoll() override { page_.printRoll(); }
    void showPrintHeadSpeedDialog() override { page_.showSpeedDialog(); }
    void saveRollAsText() override;
    void setClipboardText(const std::string& text) override { page_.setClipboardText(text); }
    // The browser gives its clipboard only to a paste event: Paste arrives through paste().
    std::string clipboardText() const override { return {}; }
    char decimalSeparator() const override { return decimalSeparator_; }

    void composeFace();
    void runScriptedKeys();

    PageServices& page_;
    MainPanel panel_;
    PrintHeadSpeedDialog speedDialog_;
    std::string folder_;
    std::vector<std::string> damagedFiles_;

    bool started_ = false;
    bool closed_ = false;
    bool modeTimerOn_ = false;
    double modeTimerDue_ = 0;
    bool feedTimerOn_ = false;
    double feedTimerDue_ = 0;
    double lastFrame_ = -1;
    double now_ = 0;
    bool idle_ = false;
    char decimalSeparator_ = '.';

    Bitmap composed_;
    std::vector<uint8_t> rgba_;
    bool faceDirty_ = true;

    // The pointer whose button is down, and where it was last.
    int grabPointer_ = -1;
    int lastX_ = 0;
    int lastY_ = 0;

    std::vector<int> scripted_;
    size_t scriptedNext_ = 0;
    bool scriptedHeld_ = false;

    uint64_t savedAppended_ = 0;
    int savedSize_ = 0;
};

}  // namespace quorvel
