#pragma once

// The handlers of the instruction families; the instruction set refers to them. Not part
// of the processor's API.

#include "processor/Executor.h"

namespace quorvel::detail {

using Io = MachinePeripherals;
using Word = DecodedWord;

void afterJump(MachineState& machine);
void checkAddressWord(MachineState& machine);
// The 10-bit address word after a test, taken when the carry is clear.
void executeBranchWord(MachineState& machine, int32_t word);

void nothing(MachineState&, const Word&, Io&);
void doReturn(MachineState& m, const Word& d, Io&);
void call(MachineState& m, const Word& d, Io&);
void goTo(MachineState& m, const Word& d, Io&);
void selectRomNow(MachineState& m, const Word& d, Io&);
void selectRomDelayed(MachineState& m, const Word& d, Io&);
void selectBankDelayed(MachineState& m, const Word& d, Io&);
void bankSwitch(MachineState& m, const Word& d, Io&);
void keysToRom(MachineState& m, const Word& d, Io&);
void aToRom(MachineState& m, const Word& d, Io&);

template <int Operation>
void arithmetic(MachineState& m, const Word& d, Io&);
// The same operation specialised for the field of a class-3 word; nullptr for the fields
// that follow P.
InstructionHandler fixedFieldArithmetic(int32_t word);

void clearStatusBit(MachineState& m, const Word& d, Io&);
void setStatusBit(MachineState& m, const Word& d, Io&);
void testStatusClear(MachineState& m, const Word& d, Io&);
void testStatusSet(MachineState& m, const Word& d, Io&);
void clearStatus(MachineState& m, const Word& d, Io&);
void setP(MachineState& m, const Word& d, Io&);
void testPDiffers(MachineState& m, const Word& d, Io&);
void testPEquals(MachineState& m, const Word& d, Io&);
void incrementP(MachineState& m, const Word& d, Io&);
void decrementP(MachineState& m, const Word& d, Io&);
void setFlag(MachineState& m, const Word& d, Io&);
void loadConstant(MachineState& m, const Word& d, Io&);

void displayToggle(MachineState& m, const Word& d, Io&);
void displayOff(MachineState& m, const Word& d, Io&);
void displayOn(MachineState& m, const Word& d, Io& io);
void clearRegisters(MachineState& m, const Word& d, Io&);
void clearDataRegisters(MachineState& m, const Word& d, Io&);
void baseTen(MachineState& m, const Word& d, Io&);
void baseSixteen(MachineState& m, const Word& d, Io&);

void exchangeM1(MachineState& m, const Word& d, Io&);
void exchangeM2(MachineState& m, const Word& d, Io&);
void m1ToC(MachineState& m, const Word& d, Io&);
void m2ToC(MachineState& m, const Word& d, Io&);
void stackPush(MachineState& m, const Word& d, Io&);
void stackPop(MachineState& m, const Word& d, Io&);
void stackRotate(MachineState& m, const Word& d, Io&);
void rotateLeftA(MachineState& m, const Word& d, Io&);

void offsetToCaptured(MachineState& m, const Word& d, Io&);
void capturedToOffset(MachineState& m, const Word& d, Io&);
void printModeToA(MachineState& m, const Word& d, Io&);
void yToA(MachineState& m, const Word& d, Io&);
void digitExchangeA(MachineState& m, const Word& d, Io&);
void digitToA(MachineState& m, const Word& d, Io&);
void printerReadyToS3(MachineState& m, const Word& d, Io& io);
void oneToS3(MachineState& m, const Word& d, Io&);
void keyReadyToS3(MachineState& m, const Word& d, Io& io);
void printPacked(MachineState& m, const Word& d, Io& io);
void printDigits(MachineState& m, const Word& d, Io& io);
void printPackedEol(MachineState& m, const Word& d, Io& io);

void cToDataAddress(MachineState& m, const Word& d, Io&);
void cToData(MachineState& m, const Word& d, Io&);
void dataToC(MachineState& m, const Word& d, Io&);
void cToDataRegister(MachineState& m, const Word& d, Io&);
void dataRegisterToC(MachineState& m, const Word& d, Io&);
void conditionToS3(MachineState& m, const Word& d, Io&);

}  // namespace quorvel::detail
