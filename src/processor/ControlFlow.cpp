// Decoding and dispatch, and the instructions that change the program counter.

#include "processor/ExecutorInternal.h"
#include "processor/JumpRules.h"

namespace quorvel {

namespace detail {

void afterJump(MachineState& m) {
    if (m.delayedBankSelect >= 0) {
        m.programCounter = jump::withBank(m.programCounter, m.delayedBankSelect);
        m.delayedBankSelect = -1;
    }
    if (m.delayedPageSelect >= 0) {
        m.programCounter = jump::withPage(m.programCounter, m.delayedPageSelect);
        m.delayedPageSelect = -1;
    }
}

void checkAddressWord(MachineState& m) {
    const int32_t pc = m.programCounter;
    if (pc >= 0 && pc < m.romSize() && m.romImage[static_cast<size_t>(pc)].addressWord != 0) {
        m.errorText = errorAddressWord;
    }
}

namespace {

void captureIfArmed(MachineState& m) {
    if (m.flagBits[7] == 1) {
        m.capturedAddress = m.programCounter & 63;
        m.flagBits[7] = 0;
    }
}

void takeGoto(MachineState& m, int32_t target) {
    m.programCounter = target;
    m.gotoOffset = 0;
    afterJump(m);
    m.programCounter = jump::foldGoto(m.programCounter);
    checkAddressWord(m);
}

}  // namespace

void executeBranchWord(MachineState& m, int32_t word) {
    if (m.carry == 0) takeGoto(m, jump::branchWordTarget(m.currentAddress, word));
    m.carry = 0;
}

void nothing(MachineState&, const Word&, Io&) {}

void doReturn(MachineState& m, const Word&, Io&) {
    if (m.returnStack.empty() || m.returnStack[0] < 0) {
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

void call(MachineState& m, const Word& d, Io&) {
    if (m.returnStack.size() > 1) m.returnStack[1] = m.returnStack[0];
    if (!m.returnStack.empty()) m.returnStack[0] = m.programCounter;
    m.programCounter = jump::callTarget(m.programCounter, d.word & 255);
    afterJump(m);
    captureIfArmed(m);
    checkAddressWord(m);
}

void goTo(MachineState& m, const Word& d, Io&) {
    if (m.carry == 0)
        takeGoto(m, jump::gotoTarget(m.programCounter, m.gotoOffset + (d.word & 255)));
    m.carry = 0;
}

void selectRomNow(MachineState& m, const Word& d, Io&) {
    m.programCounter = jump::withPage(m.programCounter, ((d.word >> 4) & 15) * 256);
    if (m.programCounter >= m.romSize()) m.errorText = errorInvalidRom;
}

void selectRomDelayed(MachineState& m, const Word& d, Io&) {
    m.delayedPageSelect = ((d.word >> 4) & 15) * 256;
}

void selectBankDelayed(MachineState& m, const Word& d, Io&) {
    m.delayedBankSelect = (d.word & 0x10) ? 4096 : 0;
}

void bankSwitch(MachineState& m, const Word&, Io&) {
    m.programCounter ^= 4096;
}

void keysToRom(MachineState& m, const Word&, Io&) {
    if (m.keyCode < 0) m.keyCode = 0;
    m.programCounter = (m.programCounter & 0x1F00) + m.keyCode;
    captureIfArmed(m);
}

void aToRom(MachineState& m, const Word&, Io&) {
    m.programCounter = (m.programCounter & 0x1F00) + m.regA[2] * 16 + m.regA[1];
    afterJump(m);
}

}  // namespace detail

namespace {

// The handlers known to leave the status bits alone and call no peripheral, so that the run
// loop may leave out its status step after them (register arithmetic too). Any other handler
// is followed by the step.
bool leavesStatusAlone(InstructionHandler handler) {
    using namespace detail;
    static constexpr InstructionHandler quiet[] = {
        nothing,     doReturn,    call,       goTo,       setP,          testPDiffers,
        testPEquals, incrementP,  decrementP, loadConstant, selectRomNow, selectRomDelayed,
        selectBankDelayed, bankSwitch, exchangeM1, exchangeM2, m1ToC, m2ToC,
        stackPush,   stackPop,    stackRotate, rotateLeftA, cToDataAddress, cToData,
        dataToC,     cToDataRegister, dataRegisterToC};
    for (InstructionHandler h : quiet) {
        if (h == handler) return true;
    }
    return false;
}

}  // namespace

DecodedWord decodeWord(int32_t word, uint8_t addressWord) {
    DecodedWord d;
    d.word = word;
    d.addressWord = addressWord;
    const InstructionFamily* family = familyOf(word);
    if (!family) {
        d.handler = detail::nothing;
        d.writesStatus = false;
        return d;
    }
    d.handler = family->handler;
    d.tests = family->tests;
    d.writesDisplay = family->writesDisplay;
    d.readsCarry = family->readsCarry;
    d.writesStatus = !leavesStatusAlone(family->handler);
    if (family->argument == ArgumentKind::field) {
        d.writesStatus = false;
        d.first = fieldDigits[word & 7][0];
        d.last = fieldDigits[word & 7][1];
        if (InstructionHandler fixed = detail::fixedFieldArithmetic(word)) d.handler = fixed;
    }
    return d;
}

void executeWord(MachineState& m, int32_t word, MachinePeripherals& peripherals) {
    executeDecoded(m, decodeWord(word), peripherals);
}

}  // namespace quorvel
