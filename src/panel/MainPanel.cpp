#include "panel/MainPanel.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "panel/ClipboardNumber.h"
#include "panel/StateFile.h"

namespace quorvel {

namespace {

// A file's name as a message shows it.
std::string shownPath(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace

MainPanel::MainPanel(std::string programFolder, PanelServices services, std::string userDataFolder)
    : folder_(std::move(programFolder)),
      services_(services),
      session_(folder_, {.messages = services.messages,
                         .sounds = services.sounds,
                         .events = services.events,
                         .timers = services.timers,
                         .listener = this}),
      face_(session_.display(), session_.printer()),
      window_(*services_.window),
      storage_(folder_, std::move(userDataFolder)) {}

bool MainPanel::usePanelPictures(const Bitmap& sheet) {
    if (!face_.takePictures(sheet)) return false;
    session_.display().maskImage = face_[FacePart::maskImage].picture;
    session_.printer().paper = face_[FacePart::paper97Image].picture;
    return true;
}

// ---------------------------------------------------------------- start-up

void MainPanel::fail(const std::string& message) {
    if (!message.empty()) services_.messages->showError(message);
    closeNow_ = true;
    services_.window->closeWindow();
}

bool MainPanel::FormActivate() {
    if (!firstActivation_) return startupSucceeded_;
    firstActivation_ = false;

    // Opening a FIFO in a file's place would block the start for ever.
    const std::string special = specialFileMessage({storage_.readPath(settingsFileName),
                                                    session_.dataPath(facePictureFileName),
                                                    storage_.readPath(rollFileName)});
    if (!special.empty()) {
        fail(special);
        return false;
    }
    if (!session_.loadInstructionTable()) {
        fail({});
        return false;
    }
    switchesChanged();
    if (storedStateEnabled) {
        PanelSettings settings = currentSettings();
        readSettingsFile(storage_.readPath(settingsFileName), settings, &settingsDamage_);
        applySettings(settings);
    }
    session_.burstLength = computeBurstLength(speedSetting);
    if (!loadCalculator()) {
        fail({});
        return false;
    }
    window_.sizeAndPlace(faceWidth(), faceHeight(), zoomPercent);
    face_.parts().showUntaggedParts();
    startupSucceeded_ = true;
    // Said once: a damaged settings or roll file was set aside, and where it went.
    if (settingsDamage_) {
        services_.messages->showError(damagedFileMessage(settingsDamage_, "settings file"));
    }
    if (rollDamage_) services_.messages->showError(damagedFileMessage(rollDamage_, "roll file"));
    if (storedStateEnabled && powerIsOn()) {
        session_.resumeAtPowerOn(storage_.readPath(stateFileName));
    }
    session_.requestPower(powerIsOn());
    return true;
}

bool MainPanel::loadCalculator() {
    keyLabelCaption_.clear();
    std::string problem;
    if (!face_.loadFacePicture(session_.dataPath(facePictureFileName), problem)) {
        services_.messages->showError(std::string(messageNoFacePicture) + ": " + problem);
        return false;
    }
    if (!session_.loadCalculator()) return false;
    drawRollCounter();
    face_.parts().placeImages();
    face_[FacePart::dispImage].visible = true;

    RollStore& roll = session_.roll();
    const int storedLines =
        storedStateEnabled ? roll.loadRoll(storage_.readPath(rollFileName), &rollDamage_) : 0;
    savedRoll_ = roll.rollLines();
    // The lines read in front of the damage go to disk anew, beside the set-aside file.
    rollUnsaved_ = static_cast<bool>(rollDamage_);
    session_.printer().redrawRollTail(roll.rollLines(), storedLines);
    drawRollCounter();
    return true;
}

// ---------------------------------------------------------------- session events

void MainPanel::switchesChanged() {
    face_.showSwitches(powerPosition(), printModePosition(), anglePosition());
    services_.window->faceChanged();
}

void MainPanel::shiftLampChanged(bool lit) {
    face_.showShiftLamp(lit);
    services_.window->faceChanged();
}

void MainPanel::keyTaken() {
    if (!typeAheadFullShown_) return;
    typeAheadFullShown_ = false;
    keyLabelCaption_.clear();
    services_.window->faceChanged();
}

void MainPanel::closeRequested() {
    closeNow_ = true;
    services_.window->closeWindow();
}

void MainPanel::poweredOff() {
    if (!startupSucceeded_ || !storedStateEnabled) return;
    std::error_code error;
    std::filesystem::remove(storage_.writePath(stateFileName), error);
    std::filesystem::remove(storage_.readPath(stateFileName), error);
}

bool MainPanel::saveState() {
    if (!startupSucceeded_ || !storedStateEnabled || endedByRunTimeError() || !powerIsOn()) {
        return true;
    }
    const std::string path = storage_.writePath(stateFileName);
    if (saveStateFile(path, session_.machine())) return true;
    services_.messages->showError(messageStateNotSaved + shownPath(path));
    return false;
}

// ---------------------------------------------------------------- switches

void MainPanel::switchLabelClick(FacePart label) {
    switch (label) {
        case FacePart::offImage: session_.powerClick(false); break;
        case FacePart::onImage: session_.powerClick(true); break;
        case FacePart::manImage: setPrintMode(PrintModePosition::man, true); break;
        case FacePart::allImage: setPrintMode(PrintModePosition::all, true); break;
        case FacePart::normImage: setPrintMode(PrintModePosition::norm, true); break;
        case FacePart::degImage: setAngle(AnglePosition::deg, true); break;
        case FacePart::grdImage: setAngle(AnglePosition::grd, true); break;
        case FacePart::radImage: setAngle(AnglePosition::rad, true); break;
        default: break;
    }
}

bool MainPanel::switchKnobClick(FacePart knob) {
    switch (knob) {
        case FacePart::offSWimage:
        case FacePart::onSWimage: session_.powerClick(!powerIsOn()); return true;
        case FacePart::manSWimage:
        case FacePart::allSWimage:
        case FacePart::nrmSWimage:
            setPrintMode(
                static_cast<PrintModePosition>((static_cast<int>(printModePosition()) + 1) % 3),
                true);
            return true;
        case FacePart::degSWimage:
        case FacePart::grdSWimage:
        case FacePart::radSWimage:
            setAngle(static_cast<AnglePosition>((static_cast<int>(anglePosition()) + 1) % 3), true);
            return true;
        default: return false;
    }
}

bool MainPanel::switchKnobDown(FacePart knob, int /*x*/, int y) {
    return face_.knobDown(knob, y);
}

void MainPanel::switchKnobMove(int /*x*/, int y) {
    face_.knobMove(y);
}

void MainPanel::switchKnobUp(int /*x*/, int y) {
    const FacePart clicked = face_.knobUp(y);
    // A label's click: the same position changes nothing and makes no sound.
    if (isSwitchLabel(clicked)) {
        switchLabelClick(clicked);
    } else {
        switchKnobClick(clicked);
    }
}

// ---------------------------------------------------------------- the pointer

PointerResult MainPanel::pointerDown(int x, int y, int button, bool windowMoves) {
    if (grab_ != Grab::none || window_.dragging()) return PointerResult::none;
    const bool left = button == 0;
    const bool right = button == 2;
    const FacePart part = partAt(x, y);
    if (isSwitchLabel(part)) {
        switchLabelClick(part);
        grab_ = Grab::label;
    } else if (isSwitchKnob(part)) {
        if (left && switchKnobDown(part, x, y)) grab_ = Grab::knob;
    } else if (part == FacePart::printFeedImage) {
        printFeedImageMouseDown();
        grab_ = Grab::feed;
    } else if (part == FacePart::dispImage && windowMoves) {
        return PointerResult::dragDisplay;
    } else if (part == FacePart::calculatorImage || part == FacePart::paper97Image ||
               part == FacePart::dispImage) {
        if (right) return PointerResult::openMenu;
        if (part != FacePart::calculatorImage) return PointerResult::none;
        calculatorImageMouseMove(x, y);
        // Any plain part of the face is a handle for the window.
        if (left && keyIndex_ < 0 && windowMoves) return PointerResult::moveWindow;
        grab_ = Grab::key;
        calculatorImageMouseDown(left);
    }
    return PointerResult::none;
}

bool MainPanel::pointerMove(int x, int y) {
    const std::string before = keyLabelCaption_;
    if (grab_ == Grab::knob) {
        switchKnobMove(x, y);
    } else if (grab_ == Grab::key ||
               (grab_ == Grab::none && partAt(x, y) == FacePart::calculatorImage)) {
        calculatorImageMouseMove(x, y);
    } else if (grab_ == Grab::none) {
        keyLabelCaption_.clear();
    }
    return keyLabelCaption_ != before;
}

void MainPanel::pointerUp(int x, int y, int button) {
    const Grab grab = std::exchange(grab_, Grab::none);
    if (grab == Grab::knob) {
        switchKnobUp(x, y);
    } else if (grab == Grab::key) {
        calculatorImageMouseUp(button == 0);
    }
}

// ---------------------------------------------------------------- keys

void MainPanel::calculatorImageMouseMove(int x, int y) {
    keyIndex_ = keyIndexAt(x, y);
    if (keyIndex_ < 0) {
        keyLabelCaption_.clear();
    } else if (keyLegendOn) {
        keyLabelCaption_ = keyTable[keyIndex_].legend;
    }
}

void MainPanel::calculatorImageMouseDown(bool leftButton) {
    if (leftButton) press();
}

void MainPanel::calculatorImageMouseUp(bool leftButton) {
    if (!leftButton) return;
    if (window_.dragging()) {
        window_.forgetDrag();
        return;
    }
    release();
}

void MainPanel::FormKeyDown(int32_t virtualKey, KeyModifiers modifiers, const std::string& text) {
    if (virtualKey == vkEscape) escapeDown_ = true;
    if (virtualKey == vkShift) {
        shiftAlone_ = !modifiers.control && !modifiers.alt;
        return;
    }
    shiftAlone_ = false;
    if (modifiers.control && !modifiers.alt && !modifiers.shift) {
        if (virtualKey == 'C') Copy1Click();
        if (virtualKey == 'V') Paste1Click();
        return;
    }
    const std::vector<int> keys = keyIndicesForPcKey(virtualKey, modifiers, text);
    if (keys.empty()) return;
    if (keyHeld_ && heldVirtualKey_ >= 0) {
        if (virtualKey == heldVirtualKey_) return;
        release();
    }
    if (keyHeld_) return;  // the mouse holds a key
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        keyIndex_ = keys[i];
        if (!press()) return;
        release();
    }
    keyIndex_ = keys.back();
    press();
    if (keyHeld_) heldVirtualKey_ = virtualKey;
}

void MainPanel::FormKeyUp(int32_t virtualKey) {
    if (virtualKey == vkShift) {
        if (!shiftAlone_) return;
        shiftAlone_ = false;
        if (keyHeld_) return;
        keyIndex_ = 0;
        if (press()) release();
        return;
    }
    if (virtualKey == vkEscape) {
        const bool pressedHere = escapeDown_;
        escapeDown_ = false;
        if (!pressedHere) return;
        window_.recordGeometry(faceWidth());
        closeCommand();
        return;
    }
    // A rolled-over key going up after the next one went down.
    if (keyHeld_ && heldVirtualKey_ >= 0 && virtualKey != heldVirtualKey_) return;
    release();
}

bool MainPanel::press() {
    if (keyHeld_ || keyIndex_ < 0) return true;
    if (!session_.acceptsPress()) {
        // Refused, and said so: the key does not go down.
        session_.playSoundAlways(typeAheadFullSound);
        keyLabelCaption_ = typeAheadFullSign;
        typeAheadFullShown_ = true;
        services_.window->faceChanged();
        return false;
    }
    keyHeld_ = true;
    heldVirtualKey_ = -1;
    face_.showKeyDown(keyTable[keyIndex_]);
    services_.window->faceChanged();
    session_.pressKey(keyIndex_);
    return true;
}

void MainPanel::release() {
    if (!keyHeld_) return;
    face_.showKeyUp();
    services_.window->faceChanged();
    keyHeld_ = false;
    session_.releaseKey();
}

// ---------------------------------------------------------------- roll

bool MainPanel::Copy1Click() {
    const ClipboardText copied = copyNumberText(session_.machine());
    if (!copied.ok || !powerIsOn()) {
        services_.messages->showInformation(copied.ok ? messageCopyWhileOff : copied.message);
        return false;
    }
    services_.window->setClipboardText(copied.text);
    return true;
}

bool MainPanel::Paste1Click() {
    return pasteText(services_.window->clipboardText(), services_.window->decimalSeparator());
}

bool MainPanel::pasteText(const std::string& text, char decimalSeparator) {
    const PastedKeys pasted = keysForPastedText(text, decimalSeparator);
    std::string refusal = pasted.message;
    if (pasted.ok && !powerIsOn()) refusal = messagePasteWhileOff;
    if (!pasted.ok || !refusal.empty()) {
        services_.messages->showInformation(refusal);
        return false;
    }
    // All keys are checked before any goes in, so a refusal changes nothing.
    std::vector<int> indices;
    for (const std::string& name : pasted.keys) {
        const int index = keyIndexForLegend(name);
        if (index < 0) return false;
        indices.push_back(index);
    }
    if (!session_.typeKeys(indices)) {
        services_.messages->showInformation(messagePasteTooLong);
        return false;
    }
    return true;
}

bool MainPanel::DiscardRoll1Click() {
    const int lines = session_.roll().size();
    if (lines > 0 && !services_.messages->confirm(confirmDiscardStart + std::to_string(lines) +
                                                  confirmDiscardEnd)) {
        return false;
    }
    tearOffRoll();
    return true;
}

void MainPanel::tearOffRoll() {
    session_.tearOffRoll();
    saveRollIfChanged();
    services_.window->refreshListing();
    services_.window->faceChanged();
}

bool MainPanel::saveRoll() {
    if (!startupSucceeded_ || !storedStateEnabled) return false;
    if (!session_.roll().saveRoll(storage_.writePath(rollFileName))) return false;
    savedRoll_ = session_.roll().rollLines();
    rollUnsaved_ = false;
    return true;
}

bool MainPanel::saveRollIfChanged() {
    if (!startupSucceeded_ || !storedStateEnabled) return true;
    if (!rollUnsaved_ && session_.roll().rollLines() == savedRoll_) return true;
    return saveRoll();
}

void MainPanel::drawRollCounter() {
    TextDrawing& text = services_.text ? *services_.text : pixelText_;
    face_.drawRollCounter(session_.roll(), text);
}

// ---------------------------------------------------------------- settings

PanelSettings MainPanel::currentSettings() const {
    PanelSettings settings;
    settings.power = powerPosition();
    settings.key001 = key001_;
    settings.speedSetting = speedSetting;
    settings.keyLegend = keyLegendOn;
    settings.sounds = session_.soundsOn;
    settings.leftMoveSpeed = session_.printer().leftMoveSpeed;
    settings.rightMoveSpeed = session_.printer().rightMoveSpeed;
    settings.printMode = printModePosition();
    settings.angle = anglePosition();
    if (startupSucceeded_) {
        const WindowPosition position = services_.window->windowPosition();
        settings.windowPlaced = true;
        settings.windowLeft = position.left;
        settings.windowTop = position.top;
    } else {
        settings.windowPlaced = window_.hasStoredPlace();
        settings.windowLeft = window_.storedPlace().left;
        settings.windowTop = window_.storedPlace().top;
    }
    settings.zoomPercent = zoomPercent;
    settings.fast = session_.fastMode;
    settings.printFile = printFile;
    return settings;
}

void MainPanel::applySettings(const PanelSettings& settings) {
    // Power and print mode only move their switches: the start-up's power request powers
    // the machine, and power on applies the print mode.
    session_.placeSwitches(settings.power, settings.printMode);
    key001_ = settings.key001;
    speedSetting = settings.speedSetting;
    keyLegendOn = settings.keyLegend;
    session_.soundsOn = settings.sounds;
    session_.printer().leftMoveSpeed = settings.leftMoveSpeed;
    session_.printer().rightMoveSpeed = settings.rightMoveSpeed;
    setAngle(settings.angle, false);
    window_.storePlace(settings.windowPlaced, {settings.windowLeft, settings.windowTop});
    zoomPercent = nearestZoom(settings.zoomPercent);
    session_.fastMode = settings.fast;
    printFile = settings.printFile;
}

// ---------------------------------------------------------------- close

void MainPanel::closeCommand() {
    if (!powerIsOn()) {
        services_.window->closeWindow();
        return;
    }
    session_.askToClose();
}

bool MainPanel::FormCloseQuery() {
    if (!closeNow_ && powerIsOn()) {
        session_.askToClose();
        return false;
    }
    if (saveRollIfChanged()) return true;
    const std::string failed = messageRollNotSaved + shownPath(storage_.writePath(rollFileName));
    if (endedByRunTimeError() || rollSaveRefused_) {
        services_.messages->showError(failed);
        return true;
    }
    // Kept for another try (a disk made free, a folder made writable); the calculator runs on.
    rollSaveRefused_ = true;
    services_.messages->showError(failed + messageRollKeptOpen);
    closeNow_ = false;
    session_.restartAfterRefusedClose();
    return false;
}

void MainPanel::FormClose() {
    if (!startupSucceeded_ || !storedStateEnabled) return;
    saveState();
    const std::string path = storage_.writePath(settingsFileName);
    if (!writeSettingsFile(path, currentSettings())) {
        services_.messages->showError(messageSettingsNotSaved + shownPath(path));
    }
}

// ---------------------------------------------------------------- menu

bool MainPanel::menuChecked(MenuCommand command) const {
    switch (command) {
        case MenuCommand::sounds: return session_.soundsOn;
        case MenuCommand::lowBattery: return lowBatteryShown();
        case MenuCommand::keyLegend: return keyLegendOn;
        case MenuCommand::fast: return session_.fastMode;
        default: return false;
    }
}

void MainPanel::menuCommand(MenuCommand command) {
    switch (command) {
        case MenuCommand::copy: Copy1Click(); break;
        case MenuCommand::paste: Paste1Click(); break;
        case MenuCommand::fast: Fast1Click(); break;
        case MenuCommand::saveRollText: services_.window->saveRollAsText(); break;
        case MenuCommand::sounds: Sound1Click(); break;
        case MenuCommand::lowBattery: LowPower1Click(); break;
        case MenuCommand::keyLegend: ShowKeyLegend1Click(); break;
        case MenuCommand::viewRoll: ViewRoll1Click(); break;
        case MenuCommand::printRoll: PrintRoll1Click(); break;
        case MenuCommand::discardRoll: DiscardRoll1Click(); break;
        case MenuCommand::printHeadSpeed: PrintHeadSpeed1Click(); break;
        case MenuCommand::help: Help1Click(); break;
        case MenuCommand::about: About1Click(); break;
        case MenuCommand::minimize: Minimize1Click(); break;
        case MenuCommand::close: Close1Click(); break;
        case MenuCommand::zoom:
        case MenuCommand::separator: break;
    }
}

void MainPanel::LowPower1Click() {
    face_.toggleLowBatteryLamp();
    services_.window->faceChanged();
}

bool MainPanel::Help1Click() {
    std::error_code error;
    const std::string page = session_.dataPath(helpPageName);
    if (std::filesystem::is_regular_file(page, error) && services_.window->showHelpDocument(page)) {
        return true;
    }
    const std::string path = session_.dataPath(helpDocumentName);
    if (!std::filesystem::is_regular_file(path, error)) {
        services_.messages->showError(messageNoHelpDocument + shownPath(path));
        return false;
    }
    if (!services_.window->openDocument(path)) {
        services_.messages->showError(messageNoPdfViewer + shownPath(path));
        return false;
    }
    return true;
}

}  // namespace quorvel
