#include "processor/MachineState.h"

#include <algorithm>

namespace quorvel {

void sizeMachine(MachineState& machine, const MachineParameters& parameters) {
    machine.ram.assign(static_cast<size_t>(std::max(0, parameters.ramSize)), Register{});
    machine.romImage.assign(static_cast<size_t>(std::max(0, parameters.romSize)), RomWord{});
    machine.statusBits.assign(static_cast<size_t>(std::max(0, parameters.statusBitCount)), 0);
    machine.returnStack.assign(static_cast<size_t>(std::max(0, parameters.returnStackDepth)), -1);
    machine.highestP = parameters.highestP;
}

void clearDataBuffers(MachineState& machine) {
    machine.keyQueue.fill(0);
    machine.keyReleased = 1;
    machine.printLineBuffer = MachineState::blankPrintLine();
}

void resetMachine(MachineState& machine) {
    machine.delayedPageSelect = -1;
    machine.delayedBankSelect = -1;
    machine.programCounter = 0;
    machine.pRegister = 0;

    machine.flagBits.fill(0);
    std::fill(machine.returnStack.begin(), machine.returnStack.end(), -1);
    machine.pChangeHistory.fill(0);

    std::fill(machine.statusBits.begin(), machine.statusBits.end(), 0);
    machine.digitReg = 0;

    for (Register* r : {&machine.regA, &machine.regB, &machine.regC, &machine.stack1,
                        &machine.stack2, &machine.stack3, &machine.regM1, &machine.regM2}) {
        r->fill(0);
    }

    machine.capturedAddress = 0;
    machine.gotoOffset = 0;
    machine.numberBase = 10;
    machine.dataAddress = 0;

    clearDataBuffers(machine);
    machine.keyQueueOverflow = 0;
    machine.conditionFlags.fill(0);
    machine.wordsExecuted = 0;
}

void clearRam(MachineState& machine) {
    for (Register& r : machine.ram) r.fill(0);
    machine.dataAddress = 0;
}

}  // namespace quorvel
