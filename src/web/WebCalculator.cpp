#include "web/WebCalculator.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "io/ScrambledFile.h"
#include "panel/HeadlessCalculator.h"
#include "panel/Settings.h"
#include "printer/RollEntry.h"
#include "printer/RollText.h"

namespace quorvel {

namespace {

constexpr int modeTimerMilliseconds = 25;
constexpr int feedTimerMilliseconds = 40;
// A frame after a long gap (a hidden tab, a debugger) runs as if this much time had passed,
// so the calculator does not race to catch up.
constexpr double longestFrameMilliseconds = 100;
// Feed ticks a frame may catch up on.
constexpr int maxFeedTicksPerFrame = 4;
// Fast runs this many times the desktop's pace: as fast as a frame allows without
// making the page stutter.
constexpr double fastPaceFactor = 16;

}  // namespace

std::string readableDisplayText(const DisplayCells& cells) {
    std::istringstream words(displayCellText(cells));
    std::string word, text;
    int count = 0;
    while (words >> word) {
        if (count == 1) text += " E";
        if (count > 1) text += ' ';
        text += word;
        ++count;
    }
    return text;
}

bool parseKeyNames(const std::string& text, std::vector<int>& keys) {
    std::istringstream names(text);
    std::string name;
    while (names >> name) {
        const int index = keyIndexForName(name);
        if (index < 0) return false;
        keys.push_back(index);
    }
    return true;
}

bool rollLineReadable(const std::string& line) {
    return readRollEntry(line).firstUnreadable < 0;
}

bool storedFileDamaged(const std::string& path, bool (*lineReadable)(const std::string&)) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes) || bytes.empty()) return false;
    std::vector<std::string> lines;
    if (loadScrambledList(path, lines)) {
        return lineReadable && !std::all_of(lines.begin(), lines.end(), lineReadable);
    }
    // The container of an empty roll holds no line, which the reader reports as a failure.
    const std::string probe = path + ".empty";
    std::vector<unsigned char> empty;
    const bool madeEmpty = saveScrambledList(probe, {}) && readWholeFile(probe, empty);
    std::remove(probe.c_str());
    return !(madeEmpty && bytes == empty);
}

WebCalculator::WebCalculator(const std::string& folder, PageServices& page)
    : page_(page),
      panel_(folder,
             {.messages = this, .sounds = this, .events = this, .timers = this, .window = this}),
      speedDialog_(panel_.session().printer().leftMoveSpeed,
                   panel_.session().printer().rightMoveSpeed),
      folder_(folder) {
    panel_.session().pausesEnabled = false;
}

bool WebCalculator::start(const Bitmap& partsSheet) {
    if (storedFileDamaged(folder_ + "/" + settingsFileName)) {
        damagedFiles_.push_back(settingsFileName);
    }
    if (storedFileDamaged(folder_ + "/" + rollFileName, rollLineReadable)) {
        damagedFiles_.push_back(rollFileName);
    }
    if (!partsSheet.empty()) panel_.usePanelPictures(partsSheet);
    started_ = panel_.FormActivate();
    if (!started_) closed_ = true;
    savedAppended_ = panel_.session().rollLinesAppended();
    savedSize_ = panel_.session().roll().size();
    faceDirty_ = true;
    return started_;
}

void WebCalculator::setModeTimerEnabled(bool enabled) {
    if (enabled && !modeTimerOn_) modeTimerDue_ = now_ + modeTimerMilliseconds;
    modeTimerOn_ = enabled;
}

void WebCalculator::setFeedTimerEnabled(bool enabled) {
    if (enabled && !feedTimerOn_) feedTimerDue_ = now_ + feedTimerMilliseconds;
    feedTimerOn_ = enabled;
    idle_ = false;
}

int WebCalculator::frame(double nowMs) {
    if (closed_ || !started_) return stoppedForGood;
    // The first frame follows start-up at once, as the desktop's dispatcher does, with
    // time enough for the power-on.
    double elapsed = lastFrame_ < 0 ? longestFrameMilliseconds : nowMs - lastFrame_;
    elapsed = std::clamp(elapsed, 0.0, longestFrameMilliseconds);
    lastFrame_ = nowMs;
    now_ = nowMs;

    for (int ticks = 0; feedTimerOn_ && nowMs >= feedTimerDue_; ++ticks) {
        if (ticks == maxFeedTicksPerFrame) {
            feedTimerDue_ = nowMs + feedTimerMilliseconds;
            break;
        }
        feedTimerDue_ += feedTimerMilliseconds;
        panel_.feedTimerTimer();
    }

    const bool modeTimerDue = modeTimerOn_ && nowMs >= modeTimerDue_;
    if (modeTimerDue || (panel_.powerIsOn() && !idle_)) {
        // The desktop runs a burst of words between 5 ms pauses.
        const double pace = panel_.session().fastMode ? fastPaceFactor : 1;
        const double words = pace * elapsed * panel_.session().burstLength / pauseMilliseconds;
        const auto budget = static_cast<uint64_t>(std::max(1.0, words));
        if (modeTimerDue && panel_.session().pendingRequests() == 0) modeTimerOn_ = false;
        switch (panel_.session().runUntilIdle(budget)) {
            case CalculatorSession::RunOutcome::idle: idle_ = true; break;
            case CalculatorSession::RunOutcome::error: closed_ = true; break;
            case CalculatorSession::RunOutcome::wordLimit:
            case CalculatorSession::RunOutcome::stopped: idle_ = false; break;
        }
    }
    if (!closed_) runScriptedKeys();

    int result = 0;
    if (panel_.session().rollLinesAppended() != savedAppended_ ||
        panel_.session().roll().size() != savedSize_) {
        savedAppended_ = panel_.session().rollLinesAppended();
        savedSize_ = panel_.session().roll().size();
        panel_.saveRoll();
        faceDirty_ = true;
        result |= rollChanged;
    }
    if (faceDirty_) result |= faceRedrawn;
    if (closed_) return result | stoppedForGood;
    const bool busy = modeTimerOn_ || feedTimerOn_ || panel_.session().printer().busy() ||
                      (panel_.powerIsOn() && (!idle_ || scriptedKeysPending()));
    if (busy) result |= frameWanted;
    return result;
}

void WebCalculator::runScriptedKeys() {
    if (!idle_ || !panel_.powerIsOn() || modeTimerOn_) return;
    if (scriptedHeld_) {
        panel_.release();
        scriptedHeld_ = false;
    }
    if (scriptedNext_ >= scripted_.size() || panel_.keyHeld()) return;
    panel_.setKeyIndex(scripted_[scriptedNext_++]);
    panel_.press();
    scriptedHeld_ = true;
    idle_ = false;
}

void WebCalculator::pressKeysWhenReady(const std::vector<int>& keys) {
    scripted_.insert(scripted_.end(), keys.begin(), keys.end());
    idle_ = false;
}

void WebCalculator::switchOn() {
    if (!panel_.powerIsOn()) panel_.requestPower(true);
    idle_ = false;
}

std::string WebCalculator::displayText() const {
    return readableDisplayText(panel_.shownCells());
}

// ---------------------------------------------------------------- the face

void WebCalculator::composeFace() {
    composed_.resize(width(), height(), transparentFaceColour);
    for (FacePart part : panel_.face().parts().stackingOrder()) {
        if (part == FacePart::keyLabel) continue;
        const FaceModel::ShownPart shown = panel_.shownPart(part);
        if (!shown.visible || !shown.picture || shown.picture->empty()) continue;
        composed_.copyFrom(*shown.picture, 0, 0, shown.picture->width(), shown.picture->height(),
                           shown.left, shown.top);
    }
    rgba_.resize(static_cast<size_t>(composed_.width()) * composed_.height() * 4);
    uint8_t* out = rgba_.data();
    for (int y = 0; y < composed_.height(); ++y) {
        const uint8_t* in = composed_.row(y);
        for (int x = 0; x < composed_.width(); ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            const bool seeThrough = in[0] == transparentFaceColour.red &&
                                    in[1] == transparentFaceColour.green &&
                                    in[2] == transparentFaceColour.blue;
            out[3] = seeThrough ? 0 : 255;
        }
    }
    faceDirty_ = false;
}

const std::vector<uint8_t>& WebCalculator::faceRgba() {
    if (faceDirty_ || rgba_.empty()) composeFace();
    return rgba_;
}

// ---------------------------------------------------------------- input

bool WebCalculator::pointerDown(int pointerId, int x, int y, int button) {
    if (grabPointer_ >= 0 || closed_) return false;
    idle_ = false;
    // A page cannot move its window: the display is a plain part of the face.
    const PointerResult result = panel_.pointerDown(x, y, button, false);
    if (result == PointerResult::openMenu) return true;
    grabPointer_ = pointerId;
    lastX_ = x;
    lastY_ = y;
    return false;
}

void WebCalculator::pointerMove(int pointerId, int x, int y) {
    // A second finger neither presses nor moves the held key.
    if (grabPointer_ >= 0 && pointerId != grabPointer_) return;
    lastX_ = x;
    lastY_ = y;
    panel_.pointerMove(x, y);
}

void WebCalculator::pointerUp(int pointerId, int button) {
    if (grabPointer_ < 0 || pointerId != grabPointer_) return;
    grabPointer_ = -1;
    idle_ = false;
    panel_.pointerUp(lastX_, lastY_, button);
}

void WebCalculator::switchLabelClick(FacePart label) {
    if (closed_ || !isSwitchLabel(label)) return;
    panel_.switchLabelClick(label);
    idle_ = false;
}

void WebCalculator::feed() {
    if (closed_) return;
    panel_.printFeedImageMouseDown();
    idle_ = false;
}

void WebCalculator::pressKeyIndex(int index) {
    if (index < 0 || index >= keyCount || closed_) return;
    panel_.setKeyIndex(index);
    panel_.press();
    idle_ = false;
}

void WebCalculator::releaseKeyIndex() {
    panel_.release();
    idle_ = false;
}

void WebCalculator::keyDown(int32_t virtualKey, KeyModifiers modifiers, const std::string& text) {
    // A page cannot close itself: Esc does nothing here.
    if (virtualKey == vkEscape || closed_) return;
    panel_.FormKeyDown(virtualKey, modifiers, text);
    idle_ = false;
}

void WebCalculator::keyUp(int32_t virtualKey) {
    if (virtualKey == vkEscape || closed_) return;
    panel_.FormKeyUp(virtualKey);
    idle_ = false;
}

// ---------------------------------------------------------------- roll, menu, storage

std::vector<std::string> WebCalculator::rollCharacters() const {
    std::vector<std::string> lines;
    lines.reserve(panel_.session().roll().rollLines().size());
    for (const std::string& line : panel_.session().roll().rollLines()) {
        lines.push_back(panel_.session().characterSet().lineCharacters(line));
    }
    return lines;
}

void WebCalculator::menuCommand(MenuCommand command) {
    if (closed_ && command != MenuCommand::about && command != MenuCommand::help) return;
    panel_.menuCommand(command);
    faceDirty_ = true;
    idle_ = false;
}

bool WebCalculator::paste(const std::string& text) {
    if (closed_) return false;
    idle_ = false;
    return panel_.pasteText(text, decimalSeparator_);
}

void WebCalculator::saveRollAsText() {
    page_.downloadText("quorvel-roll.txt",
                       rollText(panel_.session().roll(), panel_.session().characterSet()));
}

void WebCalculator::discardRoll() {
    if (closed_) return;
    panel_.tearOffRoll();  // the page has asked already
    idle_ = false;
}

void WebCalculator::saveState() {
    if (!started_) return;
    panel_.FormClose();
    panel_.saveRoll();
}

}  // namespace quorvel
