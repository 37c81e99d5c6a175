#pragma once

// Shared by the instruction families of the executor; not part of the processor's API.

#include "processor/Executor.h"

namespace quorvel::detail {

void afterJump(MachineState& machine);
void checkAddressWord(MachineState& machine);

void executeReturn(MachineState& machine, int operand);
void executeCall(MachineState& machine, int operand);
void executeGoto(MachineState& machine, int32_t word, int operand, bool branchAddress);
void executeRomSelect(MachineState& machine, int operand);
void executeBankSwitch(MachineState& machine);
void executeKeysToRom(MachineState& machine);
void executeAToRom(MachineState& machine);

void executeArithmetic(MachineState& machine, int operand);

void executeStatus(MachineState& machine, int operand);
void executeLoadConstant(MachineState& machine, int operand);
void executeMachineControl(MachineState& machine, int operand, MachinePeripherals& peripherals);
void executeSaveRegisters(MachineState& machine, int operand);
void executeStack(MachineState& machine, int operand);
void executeSpecial(MachineState& machine, int operand, MachinePeripherals& peripherals);
void executeRam(MachineState& machine, int operand);
void executeCondition(MachineState& machine, int operand);

}  // namespace quorvel::detail
