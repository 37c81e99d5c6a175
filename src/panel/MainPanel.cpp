#include "panel/MainPanel.h"

#include <cstdio>
#include <utility>

#include "assembler/ScrambledFile.h"

namespace quorvel {

namespace {

// A stop request of the headless runner; never set by the window.
constexpr int32_t idleStopRequest = 0x40000000;

std::string hex4(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value) & 0xFFFFu);
    return text;
}

}  // namespace

MainPanel::MainPanel(std::string programFolder, PanelServices services)
    : folder_(std::move(programFolder)), services_(services) {}

// ---------------------------------------------------------------- start-up

void MainPanel::fail(const std::string& message) {
    if (!message.empty()) services_.messages->showError(message);
    closeNow = true;
    services_.window->closeWindow();
}

bool MainPanel::FormActivate() {
    if (!firstActivation_) return startupSucceeded_;
    firstActivation_ = false;

    if (!loadInstructionTable(dataPath(instructionTableFileName(calculatorType)),
                              instructionTable)) {
        fail(messageInvalidTable);
        return false;
    }
    burstLength = computeBurstLength(speedSetting);
    if (!loadCalculator()) {
        closeNow = true;
        services_.window->closeWindow();
        return false;
    }
    startupSucceeded_ = true;
    requestPower(power_ == PowerPosition::on);
    return true;
}

bool MainPanel::loadCalculator() {
    clearDataBuffers(machine);
    roll.clear();
    drawRollCounter();
    keyLabelCaption.clear();

    if (!loadScrambledPicture(dataPath("PMnon.dat"), facePicture)) return false;
    if (!loadCalculatorData(dataPath(calculatorDataFileName(calculatorType)), calculatorType,
                            calculatorData)) {
        services_.messages->showError(messageNoCalculatorData);
        return false;
    }

    if (!characterSet.loadCharacterSet(characterSetType, folder_, *services_.messages)) {
        services_.messages->showError(messageNoPrinterData);
        return false;
    }
    printer.takeFreshPaper();

    MachineParameters parameters;
    std::string message;
    if (!parseMachineParameters(calculatorData.parameterLine, parameters, message)) {
        services_.messages->showError(message);
        return false;
    }
    sizeMachine(machine, parameters);

    assembly = AssemblyJob{};
    assembly.table = &instructionTable;
    assembly.calculatorType = calculatorType;
    assembly.romImage = &machine.romImage;
    if (!assembleMicrocode(dataPath("cal73.pfl"), assembly, *services_.messages)) return false;

    printer.platenLeft = platenHomeLeft;
    machine.keyStatusBit = 15;
    const int storedLines = roll.loadRoll(dataPath(rollFileName));
    roll.redrawRollTail(storedLines, printer);
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
    services_.messages->showError(machine.errorText + "\r" + "Addr: $" +
                                  hex4(machine.programCounter));
    closeNow = true;
    services_.window->closeWindow();
    return false;
}

void MainPanel::powerOnSequence() {
    if (power_ == PowerPosition::off) playSound("swc");
    power_ = PowerPosition::on;

    resetMachine(machine);
    clearRam(machine);
    machine.capturedAddress = 1;
    machine.keyCode = -1;
    machine.displayOn = false;
    machine.displayChanged = true;
    machine.ifPending = false;
    machine.errorText.clear();

    printer.resetPrintHead();
    setPrintMode(printMode_, false);
    machine.printLineBuffer = MachineState::blankPrintLine();

    requestFlags_ = requestRestart;
    services_.timers->setModeTimerEnabled(true);
}

void MainPanel::powerOffSequence() {
    if (power_ == PowerPosition::on) playSound("swc");
    power_ = PowerPosition::off;

    services_.timers->setFeedTimerEnabled(false);
    requestFlags_ = 0;
    // A running feed ends without storing its blank line; the display stays dark.
    printer.feedCountdown = 0;

    printer.resetPrintHead();
    machine.displayChanged = true;
    machine.displayOn = false;
    renderDisplay();
    afterInstruction(machine);
}

void MainPanel::setPrintMode(PrintModePosition position, bool withSound) {
    if (withSound && position != printMode_) {
        const bool jump = (position == PrintModePosition::man && printMode_ == PrintModePosition::norm) ||
                          (position == PrintModePosition::norm && printMode_ == PrintModePosition::man);
        playSound(jump ? "swi" : "swc");
    }
    printMode_ = position;
    switch (position) {
        case PrintModePosition::man: machine.printMode = printModeMan; break;
        case PrintModePosition::all: machine.printMode = printModeAll; break;
        case PrintModePosition::norm: machine.printMode = printModeNorm; break;
    }
}

void MainPanel::setAngle(AnglePosition position, bool withSound) {
    if (withSound && position != angle_) {
        const bool jump = (position == AnglePosition::deg && angle_ == AnglePosition::rad) ||
                          (position == AnglePosition::rad && angle_ == AnglePosition::deg);
        playSound(jump ? "swi" : "swc");
    }
    angle_ = position;
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
    if (leftButton) release();
}

void MainPanel::FormKeyDown(int32_t virtualKey, KeyModifiers modifiers) {
    const int index = keyIndexForVirtualKey(virtualKey, modifiers);
    if (index < 0) return;
    keyIndex_ = index;
    press();
}

void MainPanel::FormKeyUp(int32_t virtualKey) {
    if (virtualKey == vkEscape) return;
    release();
}

void MainPanel::press() {
    if (keyHeld_ || keyIndex_ < 0) return;
    keyHeld_ = true;
    if (!powerIsOn()) return;
    const KeyEntry& key = keyTable[keyIndex_];
    machine.keyCode = key.code;
    auto& shiftBit = machine.statusBits[13];
    if (key.kind == keyShiftKeeps && shiftBit) {
        machine.keyCode = key.alternateCode;
    } else if (key.kind == keyShiftClears && shiftBit) {
        shiftBit = 0;
        machine.keyCode = key.alternateCode;
    }
    keyQueuePut(machine.keyCode);
}

void MainPanel::release() {
    if (!keyHeld_) return;
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
}

void MainPanel::processPendingMessages() { services_.events->processPendingMessages(); }

void MainPanel::pause(int milliseconds) {
    if (pausesEnabled) services_.events->sleepMilliseconds(milliseconds);
}

int32_t MainPanel::requestFlags() {
    if (idleStopArmed_ && (idleReached_ || machine.wordsExecuted >= wordLimitAt_)) {
        return requestFlags_ | idleStopRequest;
    }
    return requestFlags_;
}

void MainPanel::keyTestFoundEmpty() {
    if (idleStopArmed_ && !printer.busy()) idleReached_ = true;
}

MainPanel::RunOutcome MainPanel::runUntilIdle(uint64_t wordLimit) {
    idleStopArmed_ = true;
    idleReached_ = false;
    wordLimitAt_ = machine.wordsExecuted + wordLimit;
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
    if (machine.wordsExecuted >= wordLimitAt_) return RunOutcome::wordLimit;
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

void MainPanel::printerWentIdle() { services_.window->refreshListing(); }

void MainPanel::printerMoved() { services_.window->faceChanged(); }

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

void MainPanel::DiscardRoll1Click() {
    if (soundsOn) services_.sounds->playSound("rip");
    printer.showFreshPaper();
    roll.clear();
    drawRollCounter();
    services_.window->refreshListing();
    services_.window->faceChanged();
}

bool MainPanel::saveRoll() { return roll.saveRoll(dataPath(rollFileName)); }

void MainPanel::drawRollCounter() {
    TextDrawing& text = services_.text ? *services_.text : pixelText_;
    roll.drawRollCounter(rollCounterImage, rollCounterBase, text);
}

}  // namespace quorvel
