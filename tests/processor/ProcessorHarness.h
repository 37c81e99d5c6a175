#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "processor/Executor.h"
#include "processor/RunLoop.h"

namespace quorvel::test {

// Records what the instructions ask of the display and the printer.
struct FakePeripherals : RunLoopHost {
    int renders = 0;
    int printRenders = 0;
    int printStarts = 0;
    int emptyKeyTests = 0;
    bool headAtRest = true;

    // run-loop side
    bool busy = false;
    int ticks = 0;
    int dispatches = 0;
    int pauses = 0;
    int32_t flags = 0;
    bool powerOn = true;
    int flagsAfterDispatches = -1;  // set `flagsToRaise` on this dispatch
    int32_t flagsToRaise = 0;
    int32_t flagsOnEmptyKeyTest = 0;
    // A stop that depends on the words executed, as the headless runner's word limit does.
    const MachineState* machine = nullptr;
    uint64_t stopAtWord = UINT64_MAX;

    void renderDisplay() override { ++renders; }
    bool printerAtRest() override { return headAtRest; }
    void renderPrintLine() override { ++printRenders; }
    void startPrinting() override { ++printStarts; }
    void keyTestFoundEmpty() override {
        ++emptyKeyTests;
        flags |= flagsOnEmptyKeyTest;
    }
    bool printerBusy() override { return busy; }
    void printerTick() override { ++ticks; }
    void processPendingMessages() override {
        if (++dispatches == flagsAfterDispatches) flags = flagsToRaise;
    }
    void pause(int) override { ++pauses; }
    int32_t requestFlags() override {
        return flags | (machine && machine->wordsExecuted >= stopAtWord ? 0x40 : 0);
    }
    bool powerSwitchOn() override { return powerOn; }
    uint64_t askAgainAtWord() override { return stopAtWord; }
};

// A machine of the calculator's shape: 64 RAM registers, two ROM banks, 16 status bits,
// a two-entry return stack, highest P 13.
inline MachineState makeMachine(int highestP = 13) {
    MachineState m;
    MachineParameters p;
    p.ramSize = 64;
    p.romSize = 8192;
    p.statusBitCount = 16;
    p.returnStackDepth = 2;
    p.highestP = highestP;
    sizeMachine(m, p);
    resetMachine(m);
    return m;
}

// Executes one word as the run loop would: the word stands at `address`, and the counter
// has already moved past it.
inline void step(MachineState& m, FakePeripherals& io, int32_t word, int32_t address) {
    m.currentAddress = address;
    m.programCounter = address + 1;
    executeWord(m, word, io);
}

// Executes one word at the current program counter.
inline void step(MachineState& m, FakePeripherals& io, int32_t word) {
    step(m, io, word, m.programCounter);
}

// Register from its digits written most significant first, e.g. "00000000000005".
inline Register reg(const char* digits) {
    Register r{};
    for (int i = 0; i < registerDigits; ++i) {
        const char c = digits[i];
        r[topDigit - i] = (c >= '0' && c <= '9') ? c - '0' : c - 'A' + 10;
    }
    return r;
}

// Words by family.
constexpr int32_t arith(int op, int field) {
    return 0x300 + op * 8 + field;
}
constexpr int32_t gotoWord(int offset) {
    return 0x200 + offset;
}
constexpr int32_t jsb(int offset) {
    return 0x100 + offset;
}

}  // namespace quorvel::test
