// Decoding and dispatch, and the instructions that change the program counter.

#include "processor/ExecutorInternal.h"

namespace quorvel {

namespace detail {

void nothing(MachineState&, const Word&, Io&) {}

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
    static constexpr InstructionHandler quiet[] = {nothing,
                                                   doReturn,
                                                   call,
                                                   goTo,
                                                   setP,
                                                   testPDiffers,
                                                   testPEquals,
                                                   incrementP,
                                                   decrementP,
                                                   loadConstant,
                                                   selectRomNow,
                                                   selectRomDelayed,
                                                   selectBankDelayed,
                                                   bankSwitch,
                                                   exchangeM1,
                                                   exchangeM2,
                                                   m1ToC,
                                                   m2ToC,
                                                   stackPush,
                                                   stackPop,
                                                   stackRotate,
                                                   rotateLeftA,
                                                   cToDataAddress,
                                                   cToData,
                                                   dataToC,
                                                   cToDataRegister,
                                                   dataRegisterToC};
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
    if (family->handler == detail::goTo) d.jump = JumpKind::goTo;
    if (family->handler == detail::call) d.jump = JumpKind::call;
    if (family->handler == detail::doReturn) d.jump = JumpKind::doReturn;
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
