#include "panel/CalculatorSession.h"

#include <cstdio>
#include <utility>

#include "io/ScrambledFile.h"
#include "panel/ClipboardNumber.h"
#include "panel/KeyTable.h"
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

}  // namespace

CalculatorSession::CalculatorSession(std::string dataFolder, SessionServices services)
    : folder_(std::move(dataFolder)),
      services_(services),
      listener_(services.listener ? *services.listener : noListener_) {}

// ---------------------------------------------------------------- start-up

bool CalculatorSession::loadInstructionTable() {
    const std::string tablePath = dataPath(instructionTableFileName(calculatorType));
    const std::string special = specialFileMessage(
        {tablePath, dataPath(calculatorDataFileName(calculatorType)),
         dataPath(CharacterSet::characterFileName(characterSetType)), dataPath(microcodeFileName)});
    if (!special.empty()) {
        services_.messages->showError(special);
        return false;
    }
    if (quorvel::loadInstructionTable(tablePath, instructionTable_)) return true;
    services_.messages->showError(withFileProblem(messageInvalidTable, tablePath));
    return false;
}

bool CalculatorSession::loadCalculator() {
    clearDataBuffers(machine_);
    roll_.clear();

    const std::string dataFile = dataPath(calculatorDataFileName(calculatorType));
    CalculatorData calculatorData;
    if (!loadCalculatorData(dataFile, calculatorType, calculatorData)) {
        services_.messages->showError(withFileProblem(messageNoCalculatorData, dataFile));
        return false;
    }
    if (!characterSet_.loadCharacterSet(characterSetType, folder_, *services_.messages)) {
        services_.messages->showError(messageNoPrinterData);
        return false;
    }
    printer_.takeFreshPaper();

    MachineParameters parameters;
    std::string message;
    if (!parseMachineParameters(calculatorData.parameterLine, parameters, message,
                                calculatorDataFileName(calculatorType))) {
        services_.messages->showError(message);
        return false;
    }
    sizeMachine(machine_, parameters);

    assembly_ = AssemblyJob{};
    assembly_.table = &instructionTable_;
    assembly_.calculatorType = calculatorType;
    assembly_.romImage = &machine_.romImage;
    if (!assembleMicrocode(dataPath(microcodeFileName), assembly_, *services_.messages)) {
        return false;
    }
    printer_.platenLeft = platenHomeLeft;
    machine_.keyStatusBit = 15;
    return true;
}

// ---------------------------------------------------------------- power and dispatcher

void CalculatorSession::requestPower(bool on) {
    requestFlags_ = on ? requestPowerOn : requestPowerOff;
    services_.timers->setModeTimerEnabled(true);
}

void CalculatorSession::powerClick(bool on) {
    if (on != powerIsOn()) {
        requestPower(on);
        return;
    }
    requestFlags_ &= ~(requestPowerOn | requestPowerOff);
}

void CalculatorSession::dispatch() {
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
            listener_.closeRequested();
            return;
        }
        if (flags & requestPowerOn) powerOnSequence();
        if (flags & requestPowerOff) powerOffSequence();
        if (powerIsOn() && !runProcessor()) return;
    }
}

void CalculatorSession::restartAfterRefusedClose() {
    if (!powerIsOn()) return;
    requestFlags_ = requestRestart;
    services_.timers->setModeTimerEnabled(true);
}

bool CalculatorSession::runProcessor() {
    if (runProgram(machine_, *this, burstLength, !assembly_.listing.empty())) return true;
    runTimeError_ = true;
    services_.messages->showError(machine_.errorText + "\r" + "Addr: $" +
                                  hex4(machine_.programCounter));
    listener_.closeRequested();
    return false;
}

void CalculatorSession::powerOnSequence() {
    if (power_ == PowerPosition::off) playSound("swc");
    power_ = PowerPosition::on;  // the switches are shown by setPrintMode below

    resetMachine(machine_);
    clearRam(machine_);
    typeAhead_.clear();
    machine_.capturedAddress = 1;
    machine_.keyCode = -1;
    machine_.displayOn = false;
    machine_.displayChanged = true;
    machine_.ifPending = false;
    machine_.errorText.clear();

    printer_.resetPrintHead();
    setPrintMode(printMode_, false);
    machine_.printLineBuffer = MachineState::blankPrintLine();
    if (!resumePath_.empty()) restoreState();

    requestFlags_ = requestRestart;
    services_.timers->setModeTimerEnabled(true);
}

void CalculatorSession::powerOffSequence() {
    if (power_ == PowerPosition::on) playSound("swc");
    power_ = PowerPosition::off;
    listener_.switchesChanged();

    services_.timers->setFeedTimerEnabled(false);
    requestFlags_ = 0;
    typeAhead_.clear();
    // A running feed ends without storing its blank line; the display stays dark.
    printer_.feedCountdown = 0;

    printer_.resetPrintHead();
    machine_.displayChanged = true;
    machine_.displayOn = false;
    renderDisplay();
    afterInstruction(machine_);
    // A real power-off forgets everything, and so does the next start.
    resumePath_.clear();
    listener_.poweredOff();
}

void CalculatorSession::resumeAtPowerOn(std::string statePath) {
    resumePath_ = std::move(statePath);
}

void CalculatorSession::restoreState() {
    const std::string path = std::exchange(resumePath_, {});
    const StateFileResult result = loadStateFile(path, machine_);
    if (result == StateFileResult::restored) {
        resumePrinterAfterRestore(printer_, machine_);
        renderDisplay();
        return;
    }
    if (result == StateFileResult::missing) return;
    // Powered on fresh: the machine was left as the reset made it.
    setFileAside(path);
    services_.messages->showInformation(stateFileNote(result));
}

void CalculatorSession::setPrintMode(PrintModePosition position, bool withSound) {
    if (withSound && position != printMode_) {
        const bool jump =
            (position == PrintModePosition::man && printMode_ == PrintModePosition::norm) ||
            (position == PrintModePosition::norm && printMode_ == PrintModePosition::man);
        playSound(jump ? "swi" : "swc");
    }
    printMode_ = position;
    listener_.switchesChanged();
    switch (position) {
        case PrintModePosition::man: machine_.printMode = printModeMan; break;
        case PrintModePosition::all: machine_.printMode = printModeAll; break;
        case PrintModePosition::norm: machine_.printMode = printModeNorm; break;
    }
}

void CalculatorSession::setAngle(AnglePosition position, bool withSound) {
    if (withSound && position != angle_) {
        const bool jump = (position == AnglePosition::deg && angle_ == AnglePosition::rad) ||
                          (position == AnglePosition::rad && angle_ == AnglePosition::deg);
        playSound(jump ? "swi" : "swc");
    }
    angle_ = position;
    listener_.switchesChanged();
    machine_.radFlag = position == AnglePosition::rad;
    machine_.grdFlag = position == AnglePosition::grd;
}

void CalculatorSession::placeSwitches(PowerPosition power, PrintModePosition printMode) {
    power_ = power;
    printMode_ = printMode;
    listener_.switchesChanged();
}

void CalculatorSession::playSound(const std::string& name) {
    if (!soundsOn || name.empty() || printer_.busy()) return;
    services_.sounds->playSound(name);
}

void CalculatorSession::playSoundAlways(const std::string& name) {
    if (soundsOn) services_.sounds->playSound(name);
}

// ---------------------------------------------------------------- keys

bool CalculatorSession::pressKey(int keyIndex) {
    if (!acceptsPress()) return false;
    if (powerIsOn()) typeAhead_.push_back(keyIndex);
    return true;
}

bool CalculatorSession::typeKeys(const std::vector<int>& keyIndices) {
    if (typeAhead_.size() + keyIndices.size() > typeAheadCapacity) return false;
    typeAhead_.insert(typeAhead_.end(), keyIndices.begin(), keyIndices.end());
    return true;
}

void CalculatorSession::feedTypeAhead() {
    if (typeAhead_.empty() || machine_.keyQueue[0] != 0) return;
    const KeyEntry& key = keyTable[typeAhead_.front()];
    typeAhead_.pop_front();
    machine_.keyCode = key.code;
    auto& shiftBit = machine_.statusBits[shiftStatusBit];
    if (key.kind == keyShiftKeeps && shiftBit) {
        machine_.keyCode = key.alternateCode;
    } else if (key.kind == keyShiftClears && shiftBit) {
        shiftBit = 0;
        machine_.keyCode = key.alternateCode;
    }
    keyQueuePut(machine_.keyCode);
    listener_.keyTaken();
}

void CalculatorSession::keyQueuePut(int32_t code) {
    if (code < 0) return;
    for (int32_t& slot : machine_.keyQueue) {
        if (slot == 0) {
            slot = code;
            machine_.keyQueueOverflow = 0;
            return;
        }
    }
    machine_.keyQueueOverflow = 1;
}

// ---------------------------------------------------------------- run-loop host

void CalculatorSession::renderDisplay() {
    if (display_.redraw(machine_)) listener_.faceChanged();
    showShiftLamp();
}

void CalculatorSession::showShiftLamp() {
    const bool lit = powerIsOn() && machine_.statusBitCount() > shiftStatusBit &&
                     machine_.statusBits[shiftStatusBit] != 0;
    if (lit == shiftLit_) return;
    shiftLit_ = lit;
    listener_.shiftLampChanged(lit);
}

void CalculatorSession::processPendingMessages() {
    services_.events->processPendingMessages();
}

void CalculatorSession::pause(int milliseconds) {
    if (pausesEnabled && !fastMode) services_.events->sleepMilliseconds(milliseconds);
}

int32_t CalculatorSession::requestFlags() {
    if (!idleStopArmed_) return requestFlags_;
    // Asked at every refresh point, so a print loop is stopped within the time limit too.
    if (!idleTimedOut_ && std::chrono::steady_clock::now() >= idleDeadline_) idleTimedOut_ = true;
    if (idleReached_ || idleTimedOut_ || machine_.wordsExecuted >= wordLimitAt_) {
        return requestFlags_ | idleStopRequest;
    }
    return requestFlags_;
}

void CalculatorSession::printerTick() {
    // Fast moves the head a step at every tick.
    if (fastMode) printer_.headCountdown = 1;
    printer_.printerTick();
}

void CalculatorSession::keyTestFoundEmpty() {
    showShiftLamp();
    // The microcode looks for a key: the next press is handed over now, so its shift is
    // chosen by the state the keys before it left.
    if (!typeAhead_.empty()) {
        feedTypeAhead();
        return;
    }
    if (idleStopArmed_ && !printer_.busy()) idleReached_ = true;
}

CalculatorSession::RunOutcome CalculatorSession::runUntilIdle(uint64_t wordLimit) {
    idleStopArmed_ = true;
    idleReached_ = false;
    idleTimedOut_ = false;
    wordLimitAt_ = machine_.wordsExecuted + wordLimit;
    idleDeadline_ = std::chrono::steady_clock::now() + runTimeLimit;
    bool ok = true;
    if (requestFlags_ != 0) {
        dispatch();
        ok = machine_.errorText.empty();
    } else if (powerIsOn()) {
        ok = runProcessor();
    }
    idleStopArmed_ = false;
    if (!ok) return RunOutcome::error;
    if (idleReached_) return RunOutcome::idle;
    if (machine_.wordsExecuted >= wordLimitAt_ || idleTimedOut_) return RunOutcome::wordLimit;
    return RunOutcome::stopped;
}

// ---------------------------------------------------------------- printer events

void CalculatorSession::printPassStarted() {
    if (soundsOn && powerIsOn()) services_.sounds->playSound("prn");
}

void CalculatorSession::rollLineAdded() {
    ++rollLinesAppended_;
    listener_.rollCountChanged();
}

void CalculatorSession::printerWentIdle() {
    listener_.printingEnded();
}

void CalculatorSession::printerMoved() {
    listener_.faceChanged();
}

// ---------------------------------------------------------------- paper feed and roll

void CalculatorSession::startFeed() {
    if (printer_.busy() || services_.timers->feedTimerEnabled() || !powerIsOn()) return;
    printer_.feedCountdown = feedTicksPerLine;
    services_.timers->setFeedTimerEnabled(true);
    // The display stays dark while the paper moves.
    machine_.displayOn = false;
    machine_.displayChanged = true;
    renderDisplay();
    playSound("fed");
}

void CalculatorSession::feedTick(bool keyHeld) {
    if (!services_.timers->feedTimerEnabled()) return;
    const bool lineDone = printer_.feedTick();
    listener_.faceChanged();
    if (!lineDone) return;
    listener_.printingEnded();
    if (keyHeld) {
        printer_.feedCountdown = feedTicksPerLine;
        playSound("fed");
        return;
    }
    services_.timers->setFeedTimerEnabled(false);
    machine_.displayOn = true;
    machine_.displayChanged = true;
    renderDisplay();
}

void CalculatorSession::tearOffRoll() {
    playSoundAlways("rip");
    printer_.showFreshPaper();
    roll_.clear();
    listener_.rollCountChanged();
}

}  // namespace quorvel
