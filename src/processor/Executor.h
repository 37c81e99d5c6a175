#pragma once

#include <cstdint>

#include "processor/InstructionSet.h"
#include "processor/MachineState.h"

namespace quorvel {

// What the instructions need from the display and the printer.
class MachinePeripherals {
  public:
    virtual ~MachinePeripherals() = default;
    // Redraws the display if it is marked changed (the display-on instruction asks for it).
    virtual void renderDisplay() = 0;
    // The print head stands at its rest position.
    virtual bool printerAtRest() = 0;
    // Draws the line buffer into the line picture and records its text.
    virtual void renderPrintLine() = 0;
    // Starts the head when the printer is idle; otherwise the rendered line waits.
    virtual void startPrinting() = 0;
    // Told whenever the key test finds no key waiting; runners use it to see that the
    // calculator is idle.
    virtual void keyTestFoundEmpty() {}
};

DecodedWord decodeWord(int32_t word, uint8_t addressWord = 0);

// Executes one instruction word on the machine (the program counter has already been
// advanced past it).
void executeWord(MachineState& machine, int32_t word, MachinePeripherals& peripherals);

// The step the run loop performs after every instruction: status bit 5 follows the print
// mode while bit 0 is set (else it is 1), and the key status bit is forced on.
inline void afterInstruction(MachineState& m) {
    auto& bits = m.statusBits;
    const size_t count = bits.size();
    if (count == 0 || bits[0] == 0) {
        if (count > 5) bits[5] = 1;
        return;
    }
    if (count > 5) bits[5] = m.printMode != printModeNorm ? 1 : 0;
    if (m.keyStatusBit >= 0 && static_cast<size_t>(m.keyStatusBit) < count) {
        bits[static_cast<size_t>(m.keyStatusBit)] = 1;
    }
}

// The character code the digit-print instruction writes for a digit value.
int32_t printCharCode(int32_t digit);

// The error texts of the instruction set.
inline constexpr const char* errorEmptyReturn = "ERROR: Return encountered with empty stack";
inline constexpr const char* errorAddressWord =
    "ERROR: The program counter is accessing a 10 bit [go to] address that followed a previous "
    "[if] when expecting an instruction";
inline constexpr const char* errorInvalidRom = "ERROR: Invalid ROM address";
inline constexpr const char* errorInvalidP = "ERROR: Invalid P register value";
inline constexpr const char* errorInvalidRamPrefix = "ERROR: Invalid RAM address  ";

}  // namespace quorvel
