#pragma once

// The handlers of the instruction families; the instruction set refers to them. Not part
// of the processor's API.

#include "processor/Executor.h"
#include "processor/JumpRules.h"

namespace quorvel::detail {

using Io = MachinePeripherals;
using Word = DecodedWord;

// The jumps are defined here, inline, since they make up much of the microcode: the run
// loop works them without a call.

// A delayed bank or page select takes effect at the jump.
inline void afterJump(MachineState& m) {
    if (m.delayedBankSelect >= 0) {
        m.programCounter = jump::withBank(m.programCounter, m.delayedBankSelect);
        m.delayedBankSelect = -1;
    }
    if (m.delayedPageSelect >= 0) {
        m.programCounter = jump::withPage(m.programCounter, m.delayedPageSelect);
        m.delayedPageSelect = -1;
    }
}

// A jump must not land on the address word of a test.
inline void checkAddressWord(MachineState& m) {
    const int32_t pc = m.programCounter;
    if (pc >= 0 && pc < m.romSize() && m.romImage[static_cast<size_t>(pc)].addressWord != 0)
        [[unlikely]] {
        m.errorText = errorAddressWord;
    }
}

inline void captureIfArmed(MachineState& m) {
    if (m.flagBits[7] == 1) {
        m.capturedAddress = m.programCounter & 63;
        m.flagBits[7] = 0;
    }
}

inline void takeGoto(MachineState& m, int32_t target) {
    m.programCounter = target;
    m.gotoOffset = 0;
    afterJump(m);
    m.programCounter = jump::foldGoto(m.programCounter);
    checkAddressWord(m);
}

// The 10-bit address word after a test, taken when the carry is clear.
inline void executeBranchWord(MachineState& m, int32_t word) {
    if (m.carry == 0) takeGoto(m, jump::branchWordTarget(m.currentAddress, word));
    m.carry = 0;
}

inline void doReturn(MachineState& m, const Word&, Io&) {
    if (m.returnStack.empty() || m.returnStack[0] < 0) [[unlikely]] {
        m.errorText = errorEmptyReturn;
    } else {
        m.programCounter = m.returnStack[0];
        if (m.returnStack.size() > 1) {
            m.returnStack[0] = m.returnStack[1];
            m.returnStack[1] = -1;
        } else {
            m.returnStack[0] = -1;
        }
    }
    m.delayedPageSelect = -1;
    m.delayedBankSelect = -1;
}

inline void call(MachineState& m, const Word& d, Io&) {
    if (m.returnStack.size() > 1) m.returnStack[1] = m.returnStack[0];
    if (!m.returnStack.empty()) m.returnStack[0] = m.programCounter;
    m.programCounter = jump::callTarget(m.programCounter, d.word & 255);
    afterJump(m);
    captureIfArmed(m);
    checkAddressWord(m);
}

inline void goTo(MachineState& m, const Word& d, Io&) {
    if (m.carry == 0)
        takeGoto(m, jump::gotoTarget(m.programCounter, m.gotoOffset + (d.word & 255)));
    m.carry = 0;
}

void nothing(MachineState&, const Word&, Io&);
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

namespace quorvel {

// The decoded form of the ROM word at `address` (inside the ROM), decoded again when
// romImage changed there since.
inline const DecodedWord& decodedWordAt(MachineState& m, int32_t address) {
    const RomWord& source = m.romImage[static_cast<size_t>(address)];
    DecodedWord& decoded = m.decodedRom[static_cast<size_t>(address)];
    if (decoded.word != source.word || decoded.addressWord != source.addressWord) [[unlikely]] {
        decoded = decodeWord(source.word, source.addressWord);
    }
    return decoded;
}

// Executes one decoded word (the program counter has already been advanced past it). The
// word after a test is its branch address, whatever it would decode to.
[[gnu::always_inline]] inline void executeDecoded(MachineState& m, const DecodedWord& d,
                                                  MachinePeripherals& io) {
    const std::array<int32_t, 3> history = m.pChangeHistory;
    m.pChangeHistory = {0, history[0], history[1]};
    if (m.ifPending) {
        m.ifPending = false;
        detail::executeBranchWord(m, d.word);
        return;
    }
    if (!d.readsCarry) m.carry = 0;
    switch (d.jump) {
        case JumpKind::goTo: detail::goTo(m, d, io); break;
        case JumpKind::call: detail::call(m, d, io); break;
        case JumpKind::doReturn: detail::doReturn(m, d, io); break;
        case JumpKind::none: d.handler(m, d, io); break;
    }
    m.ifPending = d.tests;
}

}  // namespace quorvel
