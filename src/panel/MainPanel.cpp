#include "panel/MainPanel.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "io/ScrambledFile.h"
#include "panel/ClipboardNumber.h"
#include "panel/StateFile.h"

namespace quorvel {

namespace {

// A stop request of the headless runner; never set by the window.
constexpr int32_t idleStopRequest = 0x40000000;

std::string hex4(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value) & 0xFFFFu);
    return text;
}

// A file's name as a message shows it.
std::string shownPath(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace

MainPanel::MainPanel(std::string programFolder, PanelServices services, std::string userDataFolder)
    : folder_(std::move(programFolder)),
      services_(services),
      storage_(folder_, std::move(userDataFolder)) {}

bool MainPanel::usePanelPictures(const Bitmap& sheet) {
    if (!takePanelPictures(sheet, face)) return false;
    display.maskImage = face[FacePart::maskImage].picture;
    printer.paper = face[FacePart::paper97Image].picture;
    rollCounterBase = face[FacePart::pcntBaseImage].picture;
    rollCounterImage = rollCounterBase;
    return true;
}

// ---------------------------------------------------------------- start-up

void MainPanel::fail(const std::string& message) {
    if (!message.empty()) services_.messages->showError(message);
    closeNow = true;
    services_.window->closeWindow();
}

bool MainPanel::FormActivate() {
    if (!firstActivation_) return startupSucceeded_;
    firstActivation_ = false;

    // Opening a FIFO in a file's place would block the start for ever.
    const std::string special = specialFileMessage(
        {dataPath(instructionTableFileName(calculatorType)), storage_.readPath(settingsFileName),
         dataPath(facePictureFileName), dataPath(calculatorDataFileName(calculatorType)),
         dataPath(CharacterSet::characterFileName(characterSetType)), dataPath("cal73.pfl"),
         storage_.readPath(rollFileName)});
    if (!special.empty()) {
        fail(special);
        return false;
    }
    const std::string tablePath = dataPath(instructionTableFileName(calculatorType));
    if (!loadInstructionTable(tablePath, instructionTable)) {
        fail(withFileProblem(messageInvalidTable, tablePath));
        return false;
    }
    showSwitchPictures();
    if (storedStateEnabled) {
        PanelSettings settings = currentSettings();
        readSettingsFile(storage_.readPath(settingsFileName), settings, &settingsDamage_);
        applySettings(settings);
    }
    burstLength = computeBurstLength(speedSetting);
    if (!loadCalculator()) {
        closeNow = true;
        services_.window->closeWindow();
        return false;
    }
    sizeAndCentreWindow();
    face.showUntaggedParts();
    startupSucceeded_ = true;
    // Said once: a damaged settings or roll file was set aside, and where it went.
    if (settingsDamage_) {
        services_.messages->showError(damagedFileMessage(settingsDamage_, "settings file"));
    }
    if (rollDamage_) services_.messages->showError(damagedFileMessage(rollDamage_, "roll file"));
    restorePending_ = storedStateEnabled && power_ == PowerPosition::on;
    requestPower(power_ == PowerPosition::on);
    return true;
}

void MainPanel::sizeAndCentreWindow() {
    services_.window->setClientSize(faceWidth(), faceHeight());
    int screenWidth = 0, screenHeight = 0;
    services_.window->screenSize(screenWidth, screenHeight);
    const int width = faceWidth() * zoomPercent / 100;
    const int height = faceHeight() * zoomPercent / 100;
    if (storedPlace_ && services_.window->placeOnScreen(storedPosition_, width, height)) {
        services_.window->moveWindow(storedPosition_);
    } else {
        services_.window->moveWindow(
            centredWindowPosition(screenWidth, screenHeight, width, height));
    }
    // So the listing window opens beside the calculator before it was ever moved.
    recordWindowGeometry();
}

bool MainPanel::loadCalculator() {
    clearDataBuffers(machine);
    roll.clear();
    drawRollCounter();
    keyLabelCaption.clear();

    if (!loadScrambledPicture(dataPath(facePictureFileName), facePicture)) {
        services_.messages->showError(std::string(messageNoFacePicture) + ": " +
                                      pictureFileProblem(dataPath(facePictureFileName)));
        return false;
    }
    face[FacePart::calculatorImage].setPicture(facePicture);
    const std::string dataFile = dataPath(calculatorDataFileName(calculatorType));
    if (!loadCalculatorData(dataFile, calculatorType, calculatorData)) {
        services_.messages->showError(withFileProblem(messageNoCalculatorData, dataFile));
        return false;
    }
    sizeAndCentreWindow();

    if (!characterSet.loadCharacterSet(characterSetType, folder_, *services_.messages)) {
        services_.messages->showError(messageNoPrinterData);
        return false;
    }
    printer.takeFreshPaper();

    MachineParameters parameters;
    std::string message;
    if (!parseMachineParameters(calculatorData.parameterLine, parameters, message,
                                calculatorDataFileName(calculatorType))) {
        services_.messages->showError(message);
        return false;
    }
    sizeMachine(machine, parameters);
    face.placeImages();
    face[FacePart::dispImage].visible = true;

    assembly = AssemblyJob{};
    assembly.table = &instructionTable;
    assembly.calculatorType = calculatorType;
    assembly.romImage = &machine.romImage;
    if (!assembleMicrocode(dataPath("cal73.pfl"), assembly, *services_.messages)) return false;

    printer.platenLeft = platenHomeLeft;
    machine.keyStatusBit = 15;
    const int storedLines =
        storedStateEnabled ? roll.loadRoll(storage_.readPath(rollFileName), &rollDamage_) : 0;
    savedRoll_ = roll.rollLines();
    // The lines read in front of the damage go to disk anew, beside the set-aside file.
    rollUnsaved_ = static_cast<bool>(rollDamage_);
    printer.redrawRollTail(roll.rollLines(), storedLines);
    drawRollCounter();
    return true;
}

// ---------------------------------------------------------------- power and dispatcher

void MainPanel::requestPower(bool on) {
    requestFlags_ = on ? requestPowerOn : requestPowerOff;
    services_.timers->setModeTimerEnabled(true);
}

void MainPanel::ChgModeTimerTimer() {
    services_.timers->setModeTimerEnabled(false);
    // The timer can fire again while the processor runs inside this handler and lets the
    // window process its events; the running handler takes the flags at its next check.
    if (dispatching_) return;
    dispatching_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{dispatching_};
    for (;;) {
        const int32_t flags = requestFlags_;
        requestFlags_ = 0;
        if (flags == 0) return;
        if (flags & requestClose) {
            closeNow = true;
            services_.window->closeWindow();
            return;
        }
        if (flags & requestPowerOn) powerOnSequence();
        if (flags & requestPowerOff) powerOffSequence();
        if (powerIsOn() && !runProcessor()) return;
    }
}

bool MainPanel::runProcessor() {
    if (runProgram(machine, *this, burstLength, !assembly.listing.empty())) return true;
    runTimeError_ = true;
    services_.messages->showError(machine.errorText + "\r" + "Addr: $" +
                                  hex4(machine.programCounter));
    closeNow = true;
    services_.window->closeWindow();
    return false;
}

void MainPanel::powerOnSequence() {
    if (power_ == PowerPosition::off) playSound("swc");
    power_ = PowerPosition::on;
    showSwitchPictures();

    resetMachine(machine);
    clearRam(machine);
    typeAhead_.clear();
    machine.capturedAddress = 1;
    machine.keyCode = -1;
    machine.displayOn = false;
    machine.displayChanged = true;
    machine.ifPending = false;
    machine.errorText.clear();

    printer.resetPrintHead();
    setPrintMode(printMode_, false);
    machine.printLineBuffer = MachineState::blankPrintLine();
    if (restorePending_) restoreState();

    requestFlags_ = requestRestart;
    services_.timers->setModeTimerEnabled(true);
}

void MainPanel::powerOffSequence() {
    if (power_ == PowerPosition::on) playSound("swc");
    power_ = PowerPosition::off;
    showSwitchPictures();

    services_.timers->setFeedTimerEnabled(false);
    requestFlags_ = 0;
    typeAhead_.clear();
    // A running feed ends without storing its blank line; the display stays dark.
    printer.feedCountdown = 0;

    printer.resetPrintHead();
    machine.displayChanged = true;
    machine.displayOn = false;
    renderDisplay();
    afterInstruction(machine);
    // A real power-off forgets everything, and so does the next start.
    restorePending_ = false;
    if (startupSucceeded_ && storedStateEnabled) {
        std::error_code error;
        std::filesystem::remove(storage_.writePath(stateFileName), error);
        std::filesystem::remove(storage_.readPath(stateFileName), error);
    }
}

void MainPanel::restoreState() {
    restorePending_ = false;
    const std::string path = storage_.readPath(stateFileName);
    const StateFileResult result = loadStateFile(path, machine);
    if (result == StateFileResult::restored) {
        resumePrinterAfterRestore(printer, machine);
        renderDisplay();
        return;
    }
    if (result == StateFileResult::missing) return;
    // Powered on fresh: the machine was left as the reset made it.
    setFileAside(path);
    services_.messages->showInformation(stateFileNote(result));
}

bool MainPanel::saveState() {
    if (!startupSucceeded_ || !storedStateEnabled || runTimeError_ || !powerIsOn()) return true;
    const std::string path = storage_.writePath(stateFileName);
    if (saveStateFile(path, machine)) return true;
    services_.messages->showError(messageStateNotSaved + shownPath(path));
    return false;
}

void MainPanel::setPrintMode(PrintModePosition position, bool withSound) {
    if (withSound && position != printMode_) {
        const bool jump =
            (position == PrintModePosition::man && printMode_ == PrintModePosition::norm) ||
            (position == PrintModePosition::norm && printMode_ == PrintModePosition::man);
        playSound(jump ? "swi" : "swc");
    }
    printMode_ = position;
    showSwitchPictures();
    switch (position) {
        case PrintModePosition::man:
            machine.printMode = printModeMan;
            break;
        case PrintModePosition::all:
            machine.printMode = printModeAll;
            break;
        case PrintModePosition::norm:
            machine.printMode = printModeNorm;
            break;
    }
}

void MainPanel::setAngle(AnglePosition position, bool withSound) {
    if (withSound && position != angle_) {
        const bool jump = (position == AnglePosition::deg && angle_ == AnglePosition::rad) ||
                          (position == AnglePosition::rad && angle_ == AnglePosition::deg);
        playSound(jump ? "swi" : "swc");
    }
    angle_ = position;
    showSwitchPictures();
    machine.radFlag = position == AnglePosition::rad;
    machine.grdFlag = position == AnglePosition::grd;
}

void MainPanel::playSound(const std::string& name) {
    if (!soundsOn || name.empty() || printer.busy()) return;
    services_.sounds->playSound(name);
}

// ---------------------------------------------------------------- keys

void MainPanel::calculatorImageMouseMove(int x, int y) {
    keyIndex_ = keyIndexAt(x, y);
    if (keyIndex_ < 0) {
        keyLabelCaption.clear();
    } else if (keyLegendOn) {
        keyLabelCaption = keyTable[keyIndex_].legend;
    }
}

void MainPanel::calculatorImageMouseDown(bool leftButton) {
    if (leftButton) press();
}

void MainPanel::calculatorImageMouseUp(bool leftButton) {
    if (!leftButton) return;
    if (dragging_) {
        dragging_ = false;
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
        recordWindowGeometry();
        closeCommand();
        return;
    }
    // A rolled-over key going up after the next one went down.
    if (keyHeld_ && heldVirtualKey_ >= 0 && virtualKey != heldVirtualKey_) return;
    release();
}

bool MainPanel::press() {
    if (keyHeld_ || keyIndex_ < 0) return true;
    if (powerIsOn() && typeAhead_.size() >= typeAheadCapacity) {
        // Refused, and said so: the key does not go down.
        if (soundsOn) services_.sounds->playSound(typeAheadFullSound);
        keyLabelCaption = typeAheadFullSign;
        typeAheadFullShown_ = true;
        services_.window->faceChanged();
        return false;
    }
    keyHeld_ = true;
    heldVirtualKey_ = -1;
    heldKeyIndex_ = keyIndex_;
    const KeyEntry& key = keyTable[keyIndex_];
    ImageComponent& paste = face[FacePart::pasteImage];
    paste.setPicture(cropBitmap(face[FacePart::buttsImage].picture, key.picture.left,
                                key.picture.top, key.face.width(), key.face.height()));
    paste.left = key.face.left;
    paste.top = key.face.top;
    services_.window->faceChanged();
    if (!powerIsOn()) return true;
    typeAhead_.push_back(keyIndex_);
    return true;
}

void MainPanel::feedTypeAhead() {
    if (typeAhead_.empty() || machine.keyQueue[0] != 0) return;
    const KeyEntry& key = keyTable[typeAhead_.front()];
    typeAhead_.pop_front();
    machine.keyCode = key.code;
    auto& shiftBit = machine.statusBits[13];
    if (key.kind == keyShiftKeeps && shiftBit) {
        machine.keyCode = key.alternateCode;
    } else if (key.kind == keyShiftClears && shiftBit) {
        shiftBit = 0;
        machine.keyCode = key.alternateCode;
    }
    keyQueuePut(machine.keyCode);
    if (typeAheadFullShown_) {
        typeAheadFullShown_ = false;
        keyLabelCaption.clear();
        services_.window->faceChanged();
    }
}

void MainPanel::release() {
    if (!keyHeld_) return;
    face[FacePart::pasteImage].left = faceWidth() + 10;
    services_.window->faceChanged();
    keyHeld_ = false;
    machine.keyReleased = 1;
}

void MainPanel::keyQueuePut(int32_t code) {
    if (code < 0) return;
    for (int32_t& slot : machine.keyQueue) {
        if (slot == 0) {
            slot = code;
            machine.keyQueueOverflow = 0;
            return;
        }
    }
    machine.keyQueueOverflow = 1;
}

// ---------------------------------------------------------------- run-loop host

void MainPanel::renderDisplay() {
    if (display.redraw(machine)) services_.window->faceChanged();
    showShiftLamp();
}

void MainPanel::showShiftLamp() {
    ImageComponent& lamp = face[FacePart::shiftLampImage];
    const bool lit = powerIsOn() && machine.statusBitCount() > shiftStatusBit &&
                     machine.statusBits[shiftStatusBit] != 0;
    if (lamp.visible == lit) return;
    lamp.visible = lit;
    services_.window->faceChanged();
}

void MainPanel::processPendingMessages() {
    services_.events->processPendingMessages();
}

void MainPanel::pause(int milliseconds) {
    if (pausesEnabled && !fastMode) services_.events->sleepMilliseconds(milliseconds);
}

int32_t MainPanel::requestFlags() {
    if (!idleStopArmed_) return requestFlags_;
    // Asked at every refresh point, so a print loop is stopped within the time limit too.
    if (!idleTimedOut_ && std::chrono::steady_clock::now() >= idleDeadline_) idleTimedOut_ = true;
    if (idleReached_ || idleTimedOut_ || machine.wordsExecuted >= wordLimitAt_) {
        return requestFlags_ | idleStopRequest;
    }
    return requestFlags_;
}

void MainPanel::printerTick() {
    // Fast moves the head a step at every tick.
    if (fastMode) printer.headCountdown = 1;
    printer.printerTick();
}

void MainPanel::keyTestFoundEmpty() {
    showShiftLamp();
    // The microcode looks for a key: the next press is handed over now, so its shift is
    // chosen by the state the keys before it left.
    if (!typeAhead_.empty()) {
        feedTypeAhead();
        return;
    }
    if (idleStopArmed_ && !printer.busy()) idleReached_ = true;
}

MainPanel::RunOutcome MainPanel::runUntilIdle(uint64_t wordLimit) {
    idleStopArmed_ = true;
    idleReached_ = false;
    idleTimedOut_ = false;
    wordLimitAt_ = machine.wordsExecuted + wordLimit;
    idleDeadline_ = std::chrono::steady_clock::now() + runTimeLimit;
    bool ok = true;
    if (requestFlags_ != 0) {
        ChgModeTimerTimer();
        ok = machine.errorText.empty();
    } else if (powerIsOn()) {
        ok = runProcessor();
    }
    idleStopArmed_ = false;
    if (!ok) return RunOutcome::error;
    if (idleReached_) return RunOutcome::idle;
    if (machine.wordsExecuted >= wordLimitAt_ || idleTimedOut_) return RunOutcome::wordLimit;
    return RunOutcome::stopped;
}

// ---------------------------------------------------------------- printer events

void MainPanel::printPassStarted() {
    if (soundsOn && powerIsOn()) services_.sounds->playSound("prn");
}

void MainPanel::rollLineAdded() {
    ++rollLinesAppended;
    drawRollCounter();
}

void MainPanel::printerWentIdle() {
    services_.window->refreshListing();
}

void MainPanel::printerMoved() {
    services_.window->faceChanged();
}

// ---------------------------------------------------------------- paper feed and roll

void MainPanel::printFeedImageMouseDown() {
    if (printer.busy() || services_.timers->feedTimerEnabled() || !powerIsOn()) return;
    printer.feedCountdown = feedTicksPerLine;
    services_.timers->setFeedTimerEnabled(true);
    // The display stays dark while the paper moves.
    machine.displayOn = false;
    machine.displayChanged = true;
    renderDisplay();
    playSound("fed");
}

void MainPanel::feedTimerTimer() {
    if (!services_.timers->feedTimerEnabled()) return;
    const bool lineDone = printer.feedTick();
    services_.window->faceChanged();
    if (!lineDone) return;
    services_.window->refreshListing();
    if (keyHeld_) {
        printer.feedCountdown = feedTicksPerLine;
        playSound("fed");
        return;
    }
    services_.timers->setFeedTimerEnabled(false);
    machine.displayOn = true;
    machine.displayChanged = true;
    renderDisplay();
}

bool MainPanel::Copy1Click() {
    const ClipboardText copied = copyNumberText(machine);
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
    if (pasted.ok && powerIsOn() && typeAhead_.size() + pasted.keys.size() > typeAheadCapacity) {
        refusal = messagePasteTooLong;
    }
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
    typeAhead_.insert(typeAhead_.end(), indices.begin(), indices.end());
    return true;
}

bool MainPanel::DiscardRoll1Click() {
    if (roll.size() > 0 &&
        !services_.messages->confirm(confirmDiscardStart + std::to_string(roll.size()) +
                                     confirmDiscardEnd)) {
        return false;
    }
    tearOffRoll();
    return true;
}

void MainPanel::tearOffRoll() {
    if (soundsOn) services_.sounds->playSound("rip");
    printer.showFreshPaper();
    roll.clear();
    drawRollCounter();
    saveRollIfChanged();
    services_.window->refreshListing();
    services_.window->faceChanged();
}

bool MainPanel::saveRoll() {
    if (!startupSucceeded_ || !storedStateEnabled) return false;
    if (!roll.saveRoll(storage_.writePath(rollFileName))) return false;
    savedRoll_ = roll.rollLines();
    rollUnsaved_ = false;
    return true;
}

bool MainPanel::saveRollIfChanged() {
    if (!startupSucceeded_ || !storedStateEnabled) return true;
    if (!rollUnsaved_ && roll.rollLines() == savedRoll_) return true;
    return saveRoll();
}

void MainPanel::drawRollCounter() {
    TextDrawing& text = services_.text ? *services_.text : pixelText_;
    roll.drawRollCounter(rollCounterImage, rollCounterBase, text);
}

// ---------------------------------------------------------------- switches and face

void MainPanel::showSwitchPictures() {
    showSwitchPosition(face, {FacePart::offSWimage, FacePart::onSWimage},
                       power_ == PowerPosition::on ? 1 : 0, powerSwitchPlace);
    showSwitchPosition(face, {FacePart::manSWimage, FacePart::allSWimage, FacePart::nrmSWimage},
                       static_cast<int>(printMode_), printModeSwitchPlace);
    showSwitchPosition(face, {FacePart::degSWimage, FacePart::grdSWimage, FacePart::radSWimage},
                       static_cast<int>(angle_), angleSwitchPlace);
    services_.window->faceChanged();
}

void MainPanel::powerClick(bool on) {
    if (on != powerIsOn()) {
        requestPower(on);
        return;
    }
    requestFlags_ &= ~(requestPowerOn | requestPowerOff);
}

void MainPanel::switchLabelClick(FacePart label) {
    switch (label) {
        case FacePart::offImage:
            powerClick(false);
            break;
        case FacePart::onImage:
            powerClick(true);
            break;
        case FacePart::manImage:
            setPrintMode(PrintModePosition::man, true);
            break;
        case FacePart::allImage:
            setPrintMode(PrintModePosition::all, true);
            break;
        case FacePart::normImage:
            setPrintMode(PrintModePosition::norm, true);
            break;
        case FacePart::degImage:
            setAngle(AnglePosition::deg, true);
            break;
        case FacePart::grdImage:
            setAngle(AnglePosition::grd, true);
            break;
        case FacePart::radImage:
            setAngle(AnglePosition::rad, true);
            break;
        default:
            break;
    }
}

bool MainPanel::switchKnobClick(FacePart knob) {
    switch (knob) {
        case FacePart::offSWimage:
        case FacePart::onSWimage:
            powerClick(!powerIsOn());
            return true;
        case FacePart::manSWimage:
        case FacePart::allSWimage:
        case FacePart::nrmSWimage:
            setPrintMode(static_cast<PrintModePosition>((static_cast<int>(printMode_) + 1) % 3),
                         true);
            return true;
        case FacePart::degSWimage:
        case FacePart::grdSWimage:
        case FacePart::radSWimage:
            setAngle(static_cast<AnglePosition>((static_cast<int>(angle_) + 1) % 3), true);
            return true;
        default:
            return false;
    }
}

bool MainPanel::switchKnobDown(FacePart knob, int /*x*/, int y) {
    if (switchLabelsOfKnob(knob).empty()) return false;
    knobHeld_ = knob;
    knobDownY_ = y;
    knobDragged_ = false;
    return true;
}

void MainPanel::switchKnobMove(int /*x*/, int y) {
    // A hand's tremble during a click is no drag; the slots run from top to bottom.
    constexpr int dragThreshold = 3;
    if (knobHeld() && std::abs(y - knobDownY_) > dragThreshold) knobDragged_ = true;
}

void MainPanel::switchKnobUp(int x, int y) {
    if (!knobHeld()) return;
    switchKnobMove(x, y);
    const FacePart knob = knobHeld_;
    knobHeld_ = FacePart::calculatorImage;
    if (!knobDragged_) {
        switchKnobClick(knob);
        return;
    }
    FacePart nearest = FacePart::calculatorImage;
    int nearestDistance = 0;
    for (const FacePart label : switchLabelsOfKnob(knob)) {
        const ImageComponent& part = face[label];
        const int distance = std::abs(y - (part.top + part.height / 2));
        if (nearest == FacePart::calculatorImage || distance < nearestDistance) {
            nearest = label;
            nearestDistance = distance;
        }
    }
    // The label's click: the same position changes nothing and makes no sound.
    switchLabelClick(nearest);
}

MainPanel::ShownPart MainPanel::shownPart(FacePart part) const {
    const ImageComponent& component = face[part];
    ShownPart shown{component.left, component.top, &component.picture, component.visible};
    switch (part) {
        case FacePart::dispImage:
            shown.picture = &display.image();
            break;
        case FacePart::pcntImage:
            shown.picture = &rollCounterImage;
            break;
        case FacePart::paper97Image:
            shown.picture = &printer.paperImage();
            break;
        case FacePart::prnHdImage:
            shown.left = printer.headPos;
            break;
        case FacePart::platenImage:
            shown.left = printer.platenLeft;
            break;
        case FacePart::keyLabel:
            shown.picture = nullptr;
            break;
        default:
            break;
    }
    return shown;
}

// ---------------------------------------------------------------- settings

PanelSettings MainPanel::currentSettings() const {
    PanelSettings settings;
    settings.power = power_;
    settings.key001 = key001_;
    settings.speedSetting = speedSetting;
    settings.keyLegend = keyLegendOn;
    settings.sounds = soundsOn;
    settings.leftMoveSpeed = printer.leftMoveSpeed;
    settings.rightMoveSpeed = printer.rightMoveSpeed;
    settings.printMode = printMode_;
    settings.angle = angle_;
    if (startupSucceeded_) {
        const WindowPosition position = services_.window->windowPosition();
        settings.windowPlaced = true;
        settings.windowLeft = position.left;
        settings.windowTop = position.top;
    } else {
        settings.windowPlaced = storedPlace_;
        settings.windowLeft = storedPosition_.left;
        settings.windowTop = storedPosition_.top;
    }
    settings.zoomPercent = zoomPercent;
    settings.fast = fastMode;
    settings.printFile = printFile;
    return settings;
}

void MainPanel::applySettings(const PanelSettings& settings) {
    // Power and print mode only move their switches: the start-up's power request powers
    // the machine, and power on applies the print mode.
    power_ = settings.power;
    printMode_ = settings.printMode;
    key001_ = settings.key001;
    speedSetting = settings.speedSetting;
    keyLegendOn = settings.keyLegend;
    soundsOn = settings.sounds;
    printer.leftMoveSpeed = settings.leftMoveSpeed;
    printer.rightMoveSpeed = settings.rightMoveSpeed;
    setAngle(settings.angle, false);
    storedPlace_ = settings.windowPlaced;
    storedPosition_ = {settings.windowLeft, settings.windowTop};
    zoomPercent = nearestZoom(settings.zoomPercent);
    fastMode = settings.fast;
    printFile = settings.printFile;
}

// ---------------------------------------------------------------- window, drag and close

void MainPanel::recordWindowGeometry() {
    const WindowPosition position = services_.window->windowPosition();
    windowGeometry = {position.left, position.left + faceWidth(), position.top};
}

void MainPanel::dispImageMouseDown(int x, int y) {
    dragX_ = x;
    dragY_ = y;
    services_.window->showDragCursor(true);
    dragging_ = true;
}

void MainPanel::dispImageMouseMove(int x, int y) {
    if (!dragging_) return;
    WindowPosition position = services_.window->windowPosition();
    position.left += x - dragX_;
    position.top += y - dragY_;
    services_.window->moveWindow(position);
}

void MainPanel::dispImageMouseUp() {
    if (!dragging_) return;
    services_.window->showDragCursor(false);
    recordWindowGeometry();
    dragging_ = false;
}

void MainPanel::closeCommand() {
    if (!powerIsOn()) {
        services_.window->closeWindow();
        return;
    }
    requestFlags_ = requestClose;
}

bool MainPanel::FormCloseQuery() {
    if (!closeNow && powerIsOn()) {
        requestFlags_ |= requestClose;
        return false;
    }
    if (saveRollIfChanged()) return true;
    const std::string failed = messageRollNotSaved + shownPath(storage_.writePath(rollFileName));
    if (runTimeError_ || rollSaveRefused_) {
        services_.messages->showError(failed);
        return true;
    }
    // Kept for another try (a disk made free, a folder made writable); the calculator runs on.
    rollSaveRefused_ = true;
    services_.messages->showError(failed + messageRollKeptOpen);
    closeNow = false;
    if (powerIsOn()) {
        requestFlags_ = requestRestart;
        services_.timers->setModeTimerEnabled(true);
    }
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
        case MenuCommand::sounds:
            return soundsOn;
        case MenuCommand::lowBattery:
            return lowBatteryShown();
        case MenuCommand::keyLegend:
            return keyLegendOn;
        case MenuCommand::fast:
            return fastMode;
        default:
            return false;
    }
}

void MainPanel::menuCommand(MenuCommand command) {
    switch (command) {
        case MenuCommand::copy:
            Copy1Click();
            break;
        case MenuCommand::paste:
            Paste1Click();
            break;
        case MenuCommand::fast:
            Fast1Click();
            break;
        case MenuCommand::saveRollText:
            services_.window->saveRollAsText();
            break;
        case MenuCommand::sounds:
            Sound1Click();
            break;
        case MenuCommand::lowBattery:
            LowPower1Click();
            break;
        case MenuCommand::keyLegend:
            ShowKeyLegend1Click();
            break;
        case MenuCommand::viewRoll:
            ViewRoll1Click();
            break;
        case MenuCommand::printRoll:
            PrintRoll1Click();
            break;
        case MenuCommand::discardRoll:
            DiscardRoll1Click();
            break;
        case MenuCommand::printHeadSpeed:
            PrintHeadSpeed1Click();
            break;
        case MenuCommand::help:
            Help1Click();
            break;
        case MenuCommand::about:
            About1Click();
            break;
        case MenuCommand::minimize:
            Minimize1Click();
            break;
        case MenuCommand::close:
            Close1Click();
            break;
        case MenuCommand::zoom:
        case MenuCommand::separator:
            break;
    }
}

void MainPanel::LowPower1Click() {
    ImageComponent& lamp = face[FacePart::pfLEDImage];
    lamp.visible = !lamp.visible;
    services_.window->faceChanged();
}

bool MainPanel::Help1Click() {
    std::error_code error;
    const std::string page = dataPath(helpPageName);
    if (std::filesystem::is_regular_file(page, error) && services_.window->showHelpDocument(page)) {
        return true;
    }
    const std::string path = dataPath(helpDocumentName);
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
