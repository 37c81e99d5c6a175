#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "processor/InstructionSet.h"
#include "processor/RomImage.h"

namespace quorvel {

constexpr int topDigit = 13;
constexpr int registerDigits = 14;
constexpr int printColumns = 20;
constexpr int blankPrintCode = 63;
constexpr int keyQueueSlots = 7;

// A register of 14 digits, digit 0 the least significant. Digits are plain integers:
// nothing clamps them to the number base.
using Register = std::array<int32_t, registerDigits>;

// Print-mode values as the processor reads them.
enum PrintModeValue : int32_t { printModeAll = 1, printModeNorm = 2, printModeMan = 4 };

// The emulated processor's whole state, together with the small set of inputs and outputs
// through which the front panel and the printer meet it.
struct MachineState {
    // Registers.
    Register regA{}, regB{}, regC{};
    Register stack1{}, stack2{}, stack3{};
    Register regM1{}, regM2{};
    int32_t digitReg = 0;
    int32_t pRegister = 0;
    int32_t highestP = 13;
    int32_t carry = 0;
    bool ifPending = false;
    int32_t numberBase = 10;

    // Sequencing.
    int32_t programCounter = 0;
    int32_t currentAddress = 0;
    std::vector<int32_t> returnStack = std::vector<int32_t>(2, -1);
    int32_t delayedPageSelect = -1;
    int32_t delayedBankSelect = -1;
    int32_t capturedAddress = 0;
    int32_t gotoOffset = 0;
    std::array<int32_t, 3> pChangeHistory{};

    // Status and flags.
    std::vector<uint8_t> statusBits = std::vector<uint8_t>(16, 0);
    std::array<uint8_t, 8> flagBits{};
    std::array<uint8_t, 4> conditionFlags{};
    int32_t keyStatusBit = 15;

    // Data storage.
    std::vector<Register> ram;
    int32_t dataAddress = 0;

    // Keyboard.
    int32_t keyCode = -1;
    std::array<int32_t, keyQueueSlots> keyQueue{};
    uint8_t keyReleased = 1;
    uint8_t keyQueueOverflow = 0;

    // Display, switches and printer as the processor sees them.
    bool displayOn = false;
    bool displayChanged = false;
    int32_t printMode = printModeMan;
    bool radFlag = false;
    bool grdFlag = false;
    std::array<int32_t, printColumns> printLineBuffer = blankPrintLine();

    std::string errorText;

    std::vector<RomWord> romImage;
    // romImage decoded for the run loop; a word is decoded again where romImage changed.
    std::vector<DecodedWord> decodedRom;

    // Words executed since the last power-on reset; a figure for tools and tests.
    uint64_t wordsExecuted = 0;
    // When set, called by the run loop after every word it executes; true ends the run as
    // a request would. For tracing tools: without it the loop does not look per word.
    std::function<bool(const MachineState&)> wordObserver;

    int32_t ramSize() const { return static_cast<int32_t>(ram.size()); }
    int32_t romSize() const { return static_cast<int32_t>(romImage.size()); }
    int32_t statusBitCount() const { return static_cast<int32_t>(statusBits.size()); }

    static std::array<int32_t, printColumns> blankPrintLine() {
        std::array<int32_t, printColumns> line{};
        line.fill(blankPrintCode);
        return line;
    }
};

// Sizes taken from the calculator data file.
struct MachineParameters {
    int32_t ramSize = 0;
    int32_t romSize = 0;
    int32_t statusBitCount = 16;
    int32_t returnStackDepth = 2;
    int32_t highestP = 13;
};

// Creates RAM, status bits, return stack and ROM image at the given sizes, all clear.
void sizeMachine(MachineState& machine, const MachineParameters& parameters);

// The power-on reset of the registers and sequencing state.
void resetMachine(MachineState& machine);
// Every RAM digit to 0, data address 0.
void clearRam(MachineState& machine);
// Key queue empty, key released, print line blank.
void clearDataBuffers(MachineState& machine);

}  // namespace quorvel
